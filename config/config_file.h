// The configuration file (.kt9): the form's control states and the working
// frequency as an INI profile, and the default file that New reads.
#pragma once

#include <string>
#include <vector>

#include "config/form.h"
#include "config/profile.h"

namespace kestrin {

// Value of Version/"Programming Software", written on every save.
extern const char* const kProgrammingSoftware;

// One stored key and what the window's control for it can hold.
struct ConfigKey {
    enum class Kind { Number, Flag, Text, CapCode, Frequency };
    std::string section, key;
    Kind kind = Kind::Number;
    int min = 0, max = 0;  // a Number's values; a Text's longest length (max)
    std::string allowed;   // the same in words: "0 to 4", "0 (AlphaNumeric) or 1 (Numeric)"
};

// Every stored key but Version's, in the order a new file lists them.
const std::vector<ConfigKey>& ConfigKeys();

// Writes every stored key, in the order a new file lists them.
void WriteFormToProfile(const FormSnapshot& form, IniProfile& profile);

// Reads every stored key but Version (and Freq/Value unless readFreq) into
// form, bringing each value within what its control can hold. Returns false
// and leaves form untouched when the profile holds none of the
// configuration's sections.
bool ReadFormFromProfile(const IniProfile& profile, FormSnapshot& form, bool readFreq);

// Saves the form into path, keeping whatever else an existing file holds; the
// file is replaced in one piece or not at all. False with an error text when
// the save could not be completed.
bool SaveConfigFile(const std::string& path, const FormSnapshot& form, std::string* error);

// Opens path into form. An unreadable file, or one that is no configuration
// file, gives false with an error text and leaves form untouched.
bool OpenConfigFile(const std::string& path, FormSnapshot& form, bool readFreq, std::string* error);

// The part of path after its last '/' or '\\'; the whole path when it has
// neither.
std::string FileNameOf(const std::string& path);

}  // namespace kestrin

// Backups of what a transmitter held before it was programmed, kept in the
// user's data folder as the raw image and as a configuration file that Open
// loads.
#pragma once

#include <ctime>
#include <string>

#include "config/eeprom.h"
#include "config/form.h"

namespace kestrin {

// "2026-12-10_134501_0100000": local date and time, then the Button Cap Code
// the image holds ("unknown" when those bytes are not seven digits).
std::string BackupBaseName(std::time_t when, const eeprom_union& image);

// Every setting the form can show from an image; the test-call interval,
// which the read-back leaves alone, from its ticks in whole seconds.
FormSnapshot BackupForm(const eeprom_union& image);

// Writes BASE.img (the 512 bytes) and BASE.kt9 into folder, creating the
// folder; an existing backup of the same name is never replaced (a suffix
// is added). kt9Path receives the configuration file's path.
bool WriteBackup(const std::string& folder, std::time_t when, const eeprom_union& image,
                 std::string* kt9Path, std::string* error);

// A raw image file of exactly 512 bytes.
bool ReadImageFile(const std::string& path, eeprom_union& image, std::string* error);

// Local time as "2026-12-10T13:45:01+01:00", "13:45:01" and "2026-12-10_134501".
std::string IsoLocalTime(std::time_t when);
std::string ClockTime(std::time_t when);
std::string FileStamp(std::time_t when);

}  // namespace kestrin

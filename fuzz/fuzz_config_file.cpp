// The configuration-file loader over any file: every loaded value lies within
// its control's range, and saving the loaded form into the same file and
// opening it again gives the same form.
#include <string>

#include "config/config_file.h"
#include "fuzz/form_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    kestrin::IniProfile profile = kestrin::IniProfile::Parse(file);
    kestrin::FormSnapshot form = kestrin::StartupForm();
    if (!kestrin::ReadFormFromProfile(profile, form, true)) return 0;
    fuzz::CheckForm(form);

    kestrin::WriteFormToProfile(form, profile);
    kestrin::FormSnapshot again;
    FUZZ_CHECK(
        kestrin::ReadFormFromProfile(kestrin::IniProfile::Parse(profile.Serialize()), again, true));
    FUZZ_CHECK(fuzz::SameForm(form, again));
    return 0;
}

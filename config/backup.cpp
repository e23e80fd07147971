#include "config/backup.h"

#include <cmath>
#include <mutex>

#include "config/config_file.h"
#include "config/data_folder.h"
#include "config/decode.h"
#include "config/file_access.h"

namespace kestrin {

namespace {

// The C library's local time is one buffer for the whole process.
std::tm Local(std::time_t when) {
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    const std::tm* t = std::localtime(&when);
    return t ? *t : std::tm{};
}

std::string Format(std::time_t when, const char* format) {
    const std::tm t = Local(when);
    char buf[64];
    const std::size_t n = std::strftime(buf, sizeof buf, format, &t);
    return std::string(buf, n);
}

bool Exists(const std::string& path) {
    std::string ignored;
    return ReadWholeFile(path, ignored, nullptr) != ReadResult::kMissing;
}

}  // namespace

std::string IsoLocalTime(std::time_t when) {
    std::string zone = Format(when, "%z");  // +0100
    if (zone.size() == 5) zone.insert(3, ":");
    return Format(when, "%Y-%m-%dT%H:%M:%S") + zone;
}

std::string ClockTime(std::time_t when) { return Format(when, "%H:%M:%S"); }

std::string FileStamp(std::time_t when) { return Format(when, "%Y-%m-%d_%H%M%S"); }

std::string BackupBaseName(std::time_t when, const eeprom_union& image) {
    std::string id(image.cfg.PMsgButtonId, kSlotIdLen);
    for (char c : id)
        if (c < '0' || c > '9') {
            id = "unknown";
            break;
        }
    return FileStamp(when) + "_" + id;
}

FormSnapshot BackupForm(const eeprom_union& image) {
    FormSnapshot form = StartupForm();
    DecodeImage(image, form);
    // One tick is 4.2209 s; the spin controls hold whole seconds up to 24 h 59 min 59 s.
    long seconds = std::lround(image.cfg.TestRepTmr * 4.2209);
    seconds = std::min(seconds, 24L * 3600 + 59 * 60 + 59);
    form.testHour = static_cast<int>(seconds / 3600);
    form.testMin = static_cast<int>(seconds % 3600 / 60);
    form.testSec = static_cast<int>(seconds % 60);
    return form;
}

bool WriteBackup(const std::string& folder, std::time_t when, const eeprom_union& image,
                 std::string* kt9Path, std::string* error) {
    if (!MakeFolders(folder, error)) return false;
    const std::string base = BackupBaseName(when, image);
    std::string stem = JoinPath(folder, base);
    for (int n = 2; Exists(stem + ".img") || Exists(stem + ".kt9"); ++n)
        stem = JoinPath(folder, base + "-" + std::to_string(n));
    const std::string raw(reinterpret_cast<const char*>(image.raw), kImageSize);
    if (!WriteFileAtomically(stem + ".img", raw, error)) return false;
    if (!SaveConfigFile(stem + ".kt9", BackupForm(image), error)) return false;
    if (kt9Path) *kt9Path = stem + ".kt9";
    return true;
}

bool ReadImageFile(const std::string& path, eeprom_union& image, std::string* error) {
    std::string bytes;
    if (ReadWholeFile(path, bytes, error) != ReadResult::kOk) return false;
    if (bytes.size() != kImageSize) {
        if (error)
            *error = FileErrorText(
                "Cannot open", path,
                "not a transmitter image (" + std::to_string(bytes.size()) + " bytes, not 512)");
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), image.raw);
    return true;
}

}  // namespace kestrin

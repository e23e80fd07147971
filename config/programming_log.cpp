#include "config/programming_log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "config/backup.h"
#include "config/data_folder.h"
#include "config/file_access.h"

namespace kestrin {

namespace {

std::string Field(const std::string& value) {
    std::string v = value;
    for (char& c : v)
        if (c == '\r' || c == '\n') c = ' ';
    if (v.find_first_of(",\"") == std::string::npos && (v.empty() || v.front() != ' ')) return v;
    std::string out = "\"";
    for (char c : v) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

}  // namespace

std::string LogHeader() {
    std::string h = "time,outcome,configuration";
    for (const MessageInfo& m : kMessages) h += std::string(",") + m.prefix + " Cap Code";
    return h + ",frequency (Hz),transmitter,backup";
}

std::string LogLine(const LogEntry& e) {
    std::string line = Field(IsoLocalTime(e.when)) + "," + Field(e.outcome) + "," +
                       Field(e.configuration.empty() ? "unsaved" : e.configuration);
    for (const std::string& code : e.capCodes) line += "," + Field(code);
    return line + "," + std::to_string(e.frequency) + "," + Field(e.transmitter) + "," +
           Field(e.backup);
}

bool AppendToLog(const std::string& folder, const LogEntry& entry, std::string* error) {
    if (!MakeFolders(folder, error)) return false;
    const std::string path = JoinPath(folder, kLogFileName);
    std::string existing;
    const ReadResult r = ReadWholeFile(path, existing, error);
    // Nothing but a regular file of ours is appended to: a FIFO would hold
    // the run's end for good.
    if (r != ReadResult::kOk && r != ReadResult::kMissing && r != ReadResult::kTooLarge)
        return false;
    std::FILE* f = std::fopen(path.c_str(), "ab");
    if (!f) {
        if (error) *error = FileErrorText("Cannot write", path, std::strerror(errno));
        return false;
    }
    std::string text;
    if (r == ReadResult::kMissing || (r == ReadResult::kOk && existing.empty()))
        text = LogHeader() + "\n";
    else if (r == ReadResult::kOk && existing.back() != '\n')
        text = "\n";  // a line cut short before must not swallow this one
    text += LogLine(entry) + "\n";
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    if (!ok || !closed) {
        if (error) *error = FileErrorText("Cannot write", path, std::strerror(errno));
        return false;
    }
    return true;
}

}  // namespace kestrin

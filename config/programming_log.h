// The programming log: one CSV line per programming run, in the user's data
// folder, so an installer can tell later what went into which transmitter.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>
#include <string>

#include "config/form.h"

namespace kestrin {

constexpr const char* kLogFileName = "programming-log.csv";

struct LogEntry {
    std::time_t when = 0;
    std::string outcome;        // "verified", "sent, not verified", "differences: 3", ...
    std::string configuration;  // the file name, or "unsaved"
    std::array<std::string, kMsgCount> capCodes;  // in the form's message order
    uint32_t frequency = 0;                       // Hz
    std::string transmitter;                      // its information text
    std::string backup;                           // backup file name, or empty
};

std::string LogHeader();
// One line, CRLF-free: fields with commas, quotes or line breaks are quoted,
// and line breaks inside a field become spaces.
std::string LogLine(const LogEntry& entry);

// Appends the entry to folder/programming-log.csv, creating the folder and
// the file (with its header line) as needed. False with a text naming the
// file and the cause when it cannot be written.
bool AppendToLog(const std::string& folder, const LogEntry& entry, std::string* error);

}  // namespace kestrin

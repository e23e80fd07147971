// kestrin-cli: the command-line front end over the same core as the window,
// for scripted and fleet work. No toolkit is linked.
#pragma once

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "config/form.h"

namespace kestrin::cli {

// 0: done; 1: done, but a problem was found (differences, a refused value);
// 2: a usage or I/O error.
enum Exit { kOk = 0, kProblem = 1, kError = 2 };

struct Args {
    std::string command;
    std::vector<std::string> files;
    std::map<std::string, std::string> values;  // "-o", "--image", "--device", "--sim-state"
    std::set<std::string> flags;                // "--no-verify", "--log", "--yes", ...
    bool Has(const std::string& flag) const { return flags.count(flag) > 0; }
    std::string Value(const std::string& name) const {
        const auto it = values.find(name);
        return it == values.end() ? std::string() : it->second;
    }
};

int Check(const Args& args);
int Show(const Args& args);
int Set(const Args& args);
int Diff(const Args& args);
int Report(const Args& args);
int Program(const Args& args);
int Read(const Args& args);
int Devices(const Args& args);
int Command(const Args& args);

// Messages for a person: standard error, one line each, naming the file.
void Error(const std::string& text);

// 8-bit (Windows-1252) text of the form in UTF-8 for the terminal; control
// characters become their visible pictures, so a file cannot steer the
// terminal.
std::string Printable(const std::string& text);
// The same for a text of several lines, keeping its line breaks.
std::string PrintableLines(const std::string& text);

// A configuration from a .kt9 file, as Open reads it (frequency included).
bool LoadConfig(const std::string& path, FormSnapshot& form);

// The form a side of diff names: a .kt9 file, a backup .img, or "device:".
bool LoadSide(const std::string& side, const Args& args, FormSnapshot& form);

// --- platform (terminal_*.cpp) ------------------------------------------
bool StderrIsTerminal();
bool StdinIsTerminal();
// Ctrl-C sets the flag instead of ending the program, and interrupts a
// question being asked on the terminal.
void CatchInterrupt(std::atomic<bool>& flag);
// Bytes to standard output exactly as given (no line-end translation).
bool WriteStdoutBytes(const std::string& bytes);
void SetEnvironment(const std::string& name, const std::string& value);

}  // namespace kestrin::cli

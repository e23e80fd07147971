#include <fcntl.h>
#include <io.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "cli/cli.h"

namespace kestrin::cli {

namespace {
std::atomic<bool>* interruptFlag = nullptr;
void OnInterrupt(int) {
    if (interruptFlag) interruptFlag->store(true);
    std::signal(SIGINT, OnInterrupt);  // the handler is reset on every signal
}
}  // namespace

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }
bool StdinIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

void CatchInterrupt(std::atomic<bool>& flag) {
    interruptFlag = &flag;
    std::signal(SIGINT, OnInterrupt);
}

bool WriteStdoutBytes(const std::string& bytes) {
    // The report's CRLF line ends go out as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

void SetEnvironment(const std::string& name, const std::string& value) {
    _putenv_s(name.c_str(), value.c_str());
}

}  // namespace kestrin::cli

#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "cli/cli.h"

namespace kestrin::cli {

namespace {
std::atomic<bool>* interruptFlag = nullptr;
void OnInterrupt(int) {
    if (interruptFlag) interruptFlag->store(true);
}
}  // namespace

bool StderrIsTerminal() { return isatty(STDERR_FILENO) == 1; }
bool StdinIsTerminal() { return isatty(STDIN_FILENO) == 1; }

void CatchInterrupt(std::atomic<bool>& flag) {
    interruptFlag = &flag;
    struct sigaction sa {};
    sa.sa_handler = OnInterrupt;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = 0;  // no restart: a question waiting on the terminal gives up
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
}

bool WriteStdoutBytes(const std::string& bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size() &&
           std::fflush(stdout) == 0;
}

void SetEnvironment(const std::string& name, const std::string& value) {
    setenv(name.c_str(), value.c_str(), 1);
}

}  // namespace kestrin::cli

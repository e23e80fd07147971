// kestrin-cli COMMAND [options]: the commands, their help and their options.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/cli.h"

namespace kestrin::cli {
namespace {

struct CommandSpec {
    const char* name;
    int (*run)(const Args&);
    int minFiles, maxFiles;  // positional arguments
    std::vector<std::string> valueOptions;
    std::vector<std::string> flagOptions;
    const char* usage;
    const char* help;
};

const char* const kDeviceHelp =
    "\n"
    "Device options:\n"
    "  --device simulator|serial|d2xx  how the adapters are reached (else KESTRIN_DEVICE, else\n"
    "                          the vendor library when it loads, else the kernel's serial\n"
    "                          driver); KESTRIN_TRACE and KESTRIN_SIM_FAULTS apply as in the\n"
    "                          window\n"
    "  --sim-state FILE        with the simulator: keep the simulated transmitter's image in\n"
    "                          FILE between runs, so separate commands see one transmitter\n";

const std::vector<CommandSpec>& Commands() {
    static const std::vector<CommandSpec> commands = {
        {"check", Check, 1, 1000, {}, {},
         "check FILE.kt9...",
         "Reads each file as File > Open does and reports every value Open would bring\n"
         "within its control's range, cut or drop, every Cap Code Program would refuse, and\n"
         "a working frequency Program would refuse. Exit 1 if any file has one.\n"},
        {"show", Show, 1, 1, {}, {},
         "show FILE.kt9",
         "The configuration one setting a line, grouped as the window's pages.\n"},
        {"set", Set, 2, 1000, {"-o"}, {},
         "set FILE.kt9 KEY=VALUE... [-o OUT.kt9]",
         "Changes keys of the file (Button.ID=0100123, Freq.Value=433002500,\n"
         "Accl.Enabled=1) and saves it, or OUT.kt9, in one piece; everything else in the\n"
         "file is kept. A value the window's control could not hold is refused with the\n"
         "key and its allowed range, and nothing is written (exit 1).\n"},
        {"diff", Diff, 2, 2, {"--device", "--sim-state"}, {},
         "diff A B",
         "Every setting that differs between two configurations, in the words of show.\n"
         "Each side is a .kt9 file, a backup .img, or device: (read back from the\n"
         "transmitter). Exit 1 when they differ.\n"},
        {"report", Report, 1, 1, {"-o"}, {},
         "report FILE.kt9 [-o OUT.txt]",
         "Exactly the text file File > Output Text File writes for the configuration, to\n"
         "standard output or OUT.txt.\n"},
        {"program", Program, 1, 1, {"--device", "--sim-state"},
         {"--no-verify", "--log", "--no-log", "--yes"},
         "program FILE.kt9 [--no-verify] [--yes] [--no-log]",
         "Programs the transmitter in the shoe as the Program button does: the same Cap\n"
         "Code and frequency checks, a backup of what it holds, the run, and a read-back that\n"
         "compares every setting (with the read cable). Progress goes to standard error;\n"
         "Ctrl-C stops the run before its next packet. Every run is appended to the\n"
         "programming log the window keeps (--log, the default; --no-log leaves it out).\n"
         "  --no-verify  send only; do not read back\n"
         "  --yes        program even if the transmitter's present configuration cannot be\n"
         "               kept (otherwise asked on a terminal, refused elsewhere)\n"
         "Exit 0 only when the transmitter was verified (or with --no-verify, when the run\n"
         "completed); 1 when it holds something else or could not be checked, or the run\n"
         "was refused or cancelled; 2 when the shoe cannot be reached.\n"},
        {"read", Read, 0, 0, {"-o", "--image", "--device", "--sim-state"}, {},
         "read -o OUT.kt9 [--image OUT.img]",
         "Reads the transmitter back and saves it as a configuration file (and its raw\n"
         "512-byte image).\n"},
        {"devices", Devices, 0, 0, {"--device", "--sim-state"}, {},
         "devices",
         "Every adapter the chosen way of reaching them sees, which is the programming\n"
         "shoe and which the read cable, and for each one that cannot be used, why.\n"
         "Exit 1 when no programming shoe can be used.\n"},
        {"command", Command, 1, 1, {"--device", "--sim-state"}, {},
         "command status|reset",
         "Sends \"Transmit Status Information\" or \"Reset Kestrin\" to the transmitter.\n"},
    };
    return commands;
}

const char* const kVersion = "kestrin-cli 1.8.3";

void ToolHelp(std::FILE* to) {
    std::fprintf(to,
                 "Usage: kestrin-cli COMMAND [options]\n"
                 "Configures Kestrin TQ9 transmitters and their .kt9 files from scripts.\n\n"
                 "Commands:\n");
    for (const CommandSpec& c : Commands()) std::fprintf(to, "  %s\n", c.usage);
    std::fprintf(to,
                 "\n'kestrin-cli COMMAND --help' explains a command. Exit status: 0 done, 1 done "
                 "but a\nproblem was found, 2 a usage or I/O error.\n"
                 "  --version  the tool's version\n");
}

bool IsValueOption(const CommandSpec& c, const std::string& a) {
    for (const std::string& o : c.valueOptions)
        if (o == a) return true;
    return false;
}
bool IsFlag(const CommandSpec& c, const std::string& a) {
    for (const std::string& o : c.flagOptions)
        if (o == a) return true;
    return false;
}

}  // namespace
}  // namespace kestrin::cli

int main(int argc, char** argv) {
    using namespace kestrin::cli;
    if (argc < 2) {
        ToolHelp(stderr);
        return kError;
    }
    const std::string first = argv[1];
    if (first == "--help" || first == "-h" || first == "help") {
        ToolHelp(stdout);
        return kOk;
    }
    if (first == "--version") {
        std::printf("%s\n", kVersion);
        return kOk;
    }
    const CommandSpec* spec = nullptr;
    for (const CommandSpec& c : Commands())
        if (first == c.name) spec = &c;
    if (!spec) {
        Error("kestrin-cli: \"" + first + "\" is not a command; see kestrin-cli --help");
        return kError;
    }

    Args args;
    args.command = first;
    for (int i = 2; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--help" || a == "-h") {
            std::printf("Usage: kestrin-cli %s\n\n%s", spec->usage, spec->help);
            if (IsValueOption(*spec, "--device")) std::printf("%s", kDeviceHelp);
            return kOk;
        }
        if (IsValueOption(*spec, a)) {
            if (i + 1 >= argc) {
                Error("kestrin-cli " + args.command + ": " + a + " needs a value");
                return kError;
            }
            args.values[a] = argv[++i];
        } else if (IsFlag(*spec, a)) {
            args.flags.insert(a);
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            Error("kestrin-cli " + args.command + ": unknown option " + a + "; see kestrin-cli " +
                  args.command + " --help");
            return kError;
        } else {
            args.files.push_back(a);
        }
    }
    const int n = static_cast<int>(args.files.size());
    if (n < spec->minFiles || n > spec->maxFiles) {
        Error(std::string("Usage: kestrin-cli ") + spec->usage);
        return kError;
    }
    return spec->run(args);
}

// Commands that reach the transmitter: program, read, devices, command, and
// the device: side of diff.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cli/cli.h"
#include "config/backup.h"
#include "config/codes.h"
#include "config/config_file.h"
#include "config/data_folder.h"
#include "config/encode.h"
#include "config/file_access.h"
#include "config/programming_log.h"
#include "device/connection.h"
#include "device/ftdi.h"
#include "device/link.h"
#include "device/operations.h"
#include "device/payloads.h"
#include "device/verified_run.h"
#include "pages/frequency.h"
#include "sim/sim_backend.h"

namespace kestrin::cli {

namespace {

CancelFlag cancelFlag{false};

// The way to the adapters, as the window chooses it, or as --device says;
// with --sim-state the simulated transmitter starts from that file.
class Device {
  public:
    bool Open(const Args& args) {
        const std::string device = args.Value("--device");
        if (!device.empty()) {
            if (device != "simulator" && device != "serial" && device != "d2xx") {
                Error("kestrin-cli " + args.command + ": --device " + device +
                      " is not one of simulator, serial, d2xx");
                return false;
            }
            SetEnvironment("KESTRIN_DEVICE", device);
        }
        SelectAdapterBackendFromEnvironment();
        // Scripts that test themselves against the simulator need not wait
        // for a shoe that is not there.
        if (AdapterBackendName() == "simulator" && std::getenv("KESTRIN_SIM_FAST"))
            SetPause([](int) {});
        statePath_ = args.Value("--sim-state");
        if (!statePath_.empty()) {
            if (AdapterBackendName() != "simulator") {
                Error("kestrin-cli " + args.command +
                      ": --sim-state needs the simulator (--device simulator)");
                return false;
            }
            std::string bytes, error;
            const ReadResult r = ReadWholeFile(statePath_, bytes, &error);
            if (r == ReadResult::kOk) {
                eeprom_union image{};
                if (!ReadImageFile(statePath_, image, &error)) {
                    Error("--sim-state: " + error);
                    return false;
                }
                sim::SimulatorModel().SetImage(image);
            } else if (r != ReadResult::kMissing) {
                Error("--sim-state: " + error);
                return false;
            }
        }
        connection_ = Connect();
        return true;
    }
    ~Device() {
        Disconnect(connection_);
        if (statePath_.empty()) return;
        const eeprom_union& image = sim::SimulatorModel().Image();
        std::string error;
        if (!WriteFileAtomically(statePath_,
                                 std::string(reinterpret_cast<const char*>(image.raw), kImageSize),
                                 &error))
            Error("--sim-state: " + error);
    }
    const Connection& connection() const { return connection_; }

    // The shoe, or a message naming why there is none.
    bool NeedShoe(const std::string& command) const {
        if (connection_.handles.shoe) return true;
        Error("kestrin-cli " + command + ": no programming shoe can be used" + Why() +
              "; 'kestrin-cli devices' tells more");
        return false;
    }
    bool NeedCable(const std::string& command) const {
        if (connection_.handles.cable) return true;
        Error("kestrin-cli " + command + ": no read cable (\"" + kReadCableDescription +
              "\") can be used; 'kestrin-cli devices' tells more");
        return false;
    }

  private:
    std::string Why() const {
        for (const AdapterSeen& s : connection_.seen)
            if (IsProgrammingShoe(s.serial, s.description) && !s.problem.empty())
                return " (" + s.serial + ": " + s.problem + ")";
        if (connection_.seen.empty()) return " (no adapters are connected)";
        return std::string();
    }
    std::string statePath_;
    Connection connection_;
};

// Progress on standard error: a bar on a terminal, plain lines elsewhere.
class ProgressPrinter {
  public:
    explicit ProgressPrinter(int total, bool backupFirst)
        : total_(total), backup_(backupFirst), terminal_(StderrIsTerminal()) {}
    ~ProgressPrinter() {
        if (terminal_ && shown_) std::fputc('\n', stderr);
    }
    void operator()(int done, int total) {
        total_ = total;
        const std::string what = Phase(done);
        if (terminal_) {
            const int width = 30, filled = total > 0 ? done * width / total : width;
            std::fprintf(stderr, "\r[%s%s] %2d/%d %-34s", std::string(filled, '#').c_str(),
                         std::string(width - filled, '.').c_str(), done, total, what.c_str());
        } else {
            std::fprintf(stderr, "progress %d/%d %s\n", done, total, what.c_str());
        }
        std::fflush(stderr);
        shown_ = true;
    }

  private:
    std::string Phase(int done) const {
        const int before = backup_ ? 2 : 0;
        if (done <= before) return "backup read " + std::to_string(done) + " of 2";
        if (done <= before + kRunPackets)
            return "packet " + std::to_string(done - before) + " of " +
                   std::to_string(kRunPackets);
        return "check read " + std::to_string(done - before - kRunPackets) + " of 2";
    }
    int total_;
    bool backup_, terminal_, shown_ = false;
};

bool AskOnTerminal(const std::string& why, bool yes) {
    std::fprintf(stderr, "\n%s\n", why.c_str());
    if (yes) {
        std::fprintf(stderr, "Programming anyway (--yes).\n");
        return true;
    }
    if (!StdinIsTerminal()) {
        std::fprintf(stderr, "Not programmed: give --yes to program anyway.\n");
        return false;
    }
    std::fprintf(stderr, "Program the transmitter anyway? What it holds now will be lost. [y/N] ");
    std::fflush(stderr);
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, stdin) || cancelFlag) return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

}  // namespace

bool LoadDeviceSide(const Args& args, FormSnapshot& form) {
    Device device;
    if (!device.Open(args) || !device.NeedShoe("diff") || !device.NeedCable("diff")) return false;
    const ReadBackResult r = ReadBack(device.connection().handles, crc_total, nullptr, cancelFlag);
    if (!r.outcome.ok()) {
        Error("kestrin-cli diff: device: " + ReadMessage(r.outcome));
        return false;
    }
    eeprom_union image{};
    std::copy(r.image->begin(), r.image->end(), image.raw);
    form = BackupForm(image);
    return true;
}

int Program(const Args& args) {
    const std::string& file = args.files[0];
    FormSnapshot form;
    if (!LoadConfig(file, form)) return kError;
    // The window's own checks, before anything is sent.
    for (int m = 0; m < kMsgCount; ++m) {
        const auto code = ParseCapCode(form.msg[m].id);
        if (!code || !CapCodeAccepted(*code)) {
            Error(file + ": [" + kMessages[m].prefix + "] ID: Cap Code \"" + form.msg[m].id +
                  "\" is refused: Please ensure all Cap Codes are correct");
            return kProblem;
        }
    }
    if (!IsProgrammableFreq(form.freq)) {
        Error(file + ": [Freq] Value: " + std::to_string(form.freq) +
              " Hz is refused: Please ensure the frequency is between 433.000 000 and 470.000 "
              "000 MHz and outside the unavailable band");
        return kProblem;
    }

    Device device;
    if (!device.Open(args) || !device.NeedShoe("program")) return kError;
    const Adapters& handles = device.connection().handles;

    RunRequest request;
    eeprom_union manDown{};
    EncodeForm(form, request.cfg, manDown);
    request.cfg.freq = form.freq;
    request.cfg.freqNum = FreqToSynthWord(form.freq);
    request.manDownLvl = manDown.cfg.ManDownLvl;
    request.manDownSamples = manDown.cfg.ManDownSamples;
    request.verify = !args.Has("--no-verify");
    const std::string data = UserDataFolder();
    if (!data.empty()) request.backupFolder = JoinPath(data, "backups");
    if (!handles.cable)
        std::fprintf(stderr, "No read cable: the run will be sent but not verified.\n");

    CatchInterrupt(cancelFlag);
    RunReport report;
    {
        ProgressPrinter printer(RunSteps(request, handles.cable != nullptr),
                                handles.cable && !request.backupFolder.empty());
        const bool yes = args.Has("--yes");
        report = ProgramAndVerify(
            handles, request, crc_total,
            [&printer](int done, int total) { printer(done, total); }, cancelFlag,
            [yes](const std::string& why) { return AskOnTerminal(why, yes); });
    }

    std::printf("%s: %s\n", file.c_str(), VerdictSummary(report).c_str());
    const std::string details = VerdictDetails(report, 1000);
    if (report.verdict != Verdict::Verified && !details.empty())
        std::printf("%s\n", PrintableLines(details).c_str());
    if (!report.backupPath.empty()) std::printf("Backup: %s\n", report.backupPath.c_str());

    if (!args.Has("--no-log")) {
        LogEntry entry;
        entry.when = std::time(nullptr);
        entry.outcome = LogOutcome(report);
        entry.configuration = FileNameOf(file);
        for (int m = 0; m < kMsgCount; ++m) entry.capCodes[m] = CapCodeField(form.msg[m].id);
        entry.frequency = form.freq;
        entry.transmitter = report.transmitterInfo;
        entry.backup = FileNameOf(report.backupPath);
        std::string error;
        if (!AppendToLog(data, entry, &error))
            Error("The programming log could not be written (" + error +
                  "); programming is not affected.");
    }

    switch (report.verdict) {
        case Verdict::Verified:
            return kOk;
        case Verdict::NotVerified:
            return request.verify ? kProblem : kOk;
        case Verdict::Failed:
            return report.run.result == Result::ShoeUnplugged ||
                           report.run.result == Result::WriteFailed
                       ? kError
                       : kProblem;
        default:
            return kProblem;
    }
}

int Read(const Args& args) {
    const std::string out = args.Value("-o"), image = args.Value("--image");
    if (out.empty()) {
        Error("Usage: kestrin-cli read -o OUT.kt9 [--image OUT.img]");
        return kError;
    }
    Device device;
    if (!device.Open(args) || !device.NeedShoe("read") || !device.NeedCable("read"))
        return kError;
    CatchInterrupt(cancelFlag);
    const ReadBackResult r = ReadBack(device.connection().handles, crc_total, nullptr, cancelFlag);
    if (r.infoArrived) std::printf("Transmitter: %s\n", Printable(r.infoText).c_str());
    if (!r.outcome.ok()) {
        Error("kestrin-cli read: " + ReadMessage(r.outcome));
        return kError;
    }
    eeprom_union held{};
    std::copy(r.image->begin(), r.image->end(), held.raw);
    std::string error;
    if (!SaveConfigFile(out, BackupForm(held), &error)) {
        Error(error);
        return kError;
    }
    if (!image.empty() &&
        !WriteFileAtomically(image, std::string(reinterpret_cast<const char*>(held.raw), kImageSize),
                             &error)) {
        Error(error);
        return kError;
    }
    std::printf("Saved %s%s\n", out.c_str(), image.empty() ? "" : (" and " + image).c_str());
    return kOk;
}

int Devices(const Args& args) {
    Device device;
    if (!device.Open(args)) return kError;
    const Connection& c = device.connection();
    std::printf("Adapters through %s:\n", c.backend.c_str());
    if (c.seen.empty()) {
        std::printf("  none%s\n", AdapterOpenProblem().empty()
                                      ? ""
                                      : (": " + AdapterOpenProblem()).c_str());
    }
    for (const AdapterSeen& s : c.seen) {
        std::string role;
        if (s.role == AdapterSeen::Role::Shoe)
            role = "programming shoe" +
                   (c.shoeVersion.empty() ? std::string() : ", version " + c.shoeVersion);
        else if (s.role == AdapterSeen::Role::Cable)
            role = "read cable";
        else
            role = "not used";
        std::printf("  serial \"%s\", description \"%s\": %s\n", Printable(s.serial).c_str(),
                    Printable(s.description).c_str(), role.c_str());
        if (!s.problem.empty()) std::printf("    %s\n", s.problem.c_str());
    }
    std::printf("Programming shoe: %s\n", c.handles.shoe ? "connected" : "none usable");
    std::printf("Read cable: %s\n", c.handles.cable ? "connected" : "none usable");
    return c.handles.shoe ? kOk : kProblem;
}

int Command(const Args& args) {
    const std::string what = args.files[0];
    Bytes payload;
    if (what == "status")
        payload = {'S'};
    else if (what == "reset")
        payload = {'R'};
    else {
        Error("kestrin-cli command: \"" + what + "\" is not a command; use status or reset");
        return kError;
    }
    Device device;
    if (!device.Open(args) || !device.NeedShoe("command")) return kError;
    const Outcome o = SendCommand(device.connection().handles, payload, crc_total);
    if (!o.ok()) {
        Error("kestrin-cli command: " + CommandMessage(o));
        return kError;
    }
    std::printf("%s sent.\n", what == "status" ? "Transmit Status Information" : "Reset Kestrin");
    return kOk;
}

}  // namespace kestrin::cli

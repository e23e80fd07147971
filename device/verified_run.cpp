#include "device/verified_run.h"

#include <algorithm>

#include "config/backup.h"
#include "device/link.h"
#include "device/payloads.h"

namespace kestrin {

namespace {

// Progress of one stage, counted on from the steps before it.
Progress Stage(const Progress& progress, int before, int total) {
    return [progress, before, total](int done, int) {
        if (progress) progress(before + done, total);
    };
}

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

}  // namespace

int RunSteps(const RunRequest& request, bool cablePresent) {
    int steps = kRunPackets;
    if (cablePresent && !request.backupFolder.empty()) steps += 2;
    if (cablePresent && request.verify) steps += 2;
    return steps;
}

RunReport ProgramAndVerify(const Adapters& adapters, const RunRequest& request,
                           boost::crc_ccitt_type& runCrc, const Progress& progress,
                           const CancelFlag& cancel, const ProgramAnyway& programAnyway,
                           std::time_t now) {
    RunReport report;
    report.cablePresent = adapters.cable != nullptr;
    const int total = RunSteps(request, report.cablePresent);
    int done = 0;

    // 1. What the transmitter holds now, kept before it is overwritten.
    if (report.cablePresent && !request.backupFolder.empty()) {
        const ReadBackResult before = ReadBack(adapters, runCrc, Stage(progress, 0, total), cancel);
        done = 2;
        if (before.outcome.result == Result::Cancelled) {
            report.verdict = Verdict::Cancelled;
            report.run = {Result::Cancelled, kStartPacket};
            return report;
        }
        report.transmitterInfo = before.infoText;
        if (before.outcome.ok()) {
            report.backupRead = true;
            eeprom_union image{};
            std::copy(before.image->begin(), before.image->end(), image.raw);
            std::string error;
            if (!WriteBackup(request.backupFolder, now, image, &report.backupPath, &error))
                report.backupProblem = "Its configuration was read but could not be kept: " + error;
        } else {
            report.backupProblem = "The transmitter did not answer the backup read: " +
                                   FirstLine(ReadMessage(before.outcome));
        }
        if (!report.backupProblem.empty() &&
            !(programAnyway && programAnyway(report.backupProblem))) {
            report.verdict = Verdict::Cancelled;
            report.run = {Result::Cancelled, kStartPacket};
            return report;
        }
    }

    // 2. The run.
    report.run = ProgramRun(adapters, request.cfg, request.manDownLvl, request.manDownSamples,
                            runCrc, Stage(progress, done, total), cancel);
    done += kRunPackets;
    if (!report.run.ok()) {
        report.verdict =
            report.run.result == Result::Cancelled ? Verdict::Cancelled : Verdict::Failed;
        return report;
    }
    if (!report.cablePresent || !request.verify) {
        report.verdict = Verdict::NotVerified;
        return report;
    }

    // 3. What it holds now, against what was sent.
    Pause(kVerifySettleMs);
    report.check = ReadBack(adapters, runCrc, Stage(progress, done, total), cancel);
    if (!report.check.infoText.empty()) report.transmitterInfo = report.check.infoText;
    switch (report.check.outcome.result) {
        case Result::Completed: {
            eeprom_union held{};
            std::copy(report.check.image->begin(), report.check.image->end(), held.raw);
            report.differences =
                CompareWithImage(request.cfg, request.manDownLvl, request.manDownSamples, held);
            report.verdict = report.differences.empty() ? Verdict::Verified : Verdict::Differences;
            break;
        }
        case Result::IncompleteReply:
            report.verdict = Verdict::VerifyIncomplete;
            break;
        case Result::Cancelled:
            report.verdict = Verdict::VerifyCancelled;
            break;
        default:
            report.verdict = Verdict::VerifyNoReply;
            break;
    }
    return report;
}

std::string LogOutcome(const RunReport& r) {
    switch (r.verdict) {
        case Verdict::Verified:
            return "verified";
        case Verdict::Differences:
            return "differences: " + std::to_string(r.differences.size());
        case Verdict::Failed:
            return "failed: " + FirstLine(RunMessage(r.run));
        case Verdict::Cancelled:
            return "cancelled";
        default:
            return "sent, not verified";
    }
}

std::string VerdictSummary(const RunReport& r) {
    switch (r.verdict) {
        case Verdict::Verified:
            return "Programmed and verified";
        case Verdict::NotVerified:
            return r.cablePresent ? "Sent, not verified"
                                  : "Sent but not verified: no read cable is connected";
        case Verdict::Differences:
            return "NOT verified: the transmitter holds " + std::to_string(r.differences.size()) +
                   (r.differences.size() == 1 ? " setting" : " settings") + " other than sent";
        case Verdict::VerifyNoReply:
            return "Sent but not verified: the transmitter did not answer the check";
        case Verdict::VerifyIncomplete:
            return "Sent but not verified: the transmitter's answer was incomplete";
        case Verdict::VerifyCancelled:
            return "Sent but not verified: the check was cancelled";
        case Verdict::Failed:
            return "Programming failed";
        case Verdict::Cancelled:
            return r.run.packet == kStartPacket ? "Programming cancelled: nothing was sent"
                                                : "Programming cancelled";
    }
    return std::string();
}

std::string VerdictDetails(const RunReport& r, std::size_t maxLines) {
    const std::string again = "Check Kestrin's power and probe, then program again.";
    switch (r.verdict) {
        case Verdict::Verified:
            return std::string();
        case Verdict::NotVerified:
            return r.cablePresent
                       ? "The configuration was sent but not read back, so it is not known "
                         "what the transmitter holds."
                       : "The configuration was sent but not verified because no read cable "
                         "is connected: it is not known what the transmitter holds.";
        case Verdict::Differences: {
            std::string text =
                "The transmitter does not hold the configuration that was sent. Read back, it "
                "holds:\n\n";
            for (const std::string& line : DifferenceLines(r.differences, maxLines))
                text += line + "\n";
            return text +
                   "\nProgram it again. If the same settings differ again, do not use this "
                   "transmitter: have it checked.";
        }
        case Verdict::VerifyNoReply:
            return "The configuration was sent, but the transmitter did not answer the read-back "
                   "that checks it, so it is not known what it holds.\n" +
                   again;
        case Verdict::VerifyIncomplete:
            return "The configuration was sent, but the transmitter's answer to the read-back "
                   "that checks it was incomplete, so it is not known what it holds.\n" +
                   again;
        case Verdict::VerifyCancelled:
            return "The configuration was sent, but its check was cancelled, so it is not "
                   "known what the transmitter holds.";
        case Verdict::Failed:
        case Verdict::Cancelled:
            return RunMessage(r.run);
    }
    return std::string();
}

}  // namespace kestrin

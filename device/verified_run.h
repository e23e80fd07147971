// A programming run as the operator means it: keep what the transmitter held,
// send the configuration, then read it back and name every setting the
// transmitter does not hold as sent. The window and the command-line tool
// both program through this.
#pragma once

#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "config/eeprom.h"
#include "config/verify.h"
#include "device/operations.h"

namespace kestrin {

// Time the transmitter is given to store a run before it is read back.
constexpr int kVerifySettleMs = 500;

struct RunRequest {
    Config cfg;  // encoded, freqNum holding the synthesizer word
    uint8_t manDownLvl = 0, manDownSamples = 0;
    bool verify = true;        // read back after the run when the cable is there
    std::string backupFolder;  // empty: no backup is read or kept
};

enum class Verdict {
    Verified,          // every setting the same
    NotVerified,       // sent; no read cable, or verification not asked for
    Differences,       // the transmitter holds something else
    VerifyNoReply,     // sent; the transmitter did not answer the check
    VerifyIncomplete,  // sent; its answer was cut short
    VerifyCancelled,   // sent; the check was cancelled
    Failed,            // the run did not complete
    Cancelled,         // the run was stopped, or never started on request
};

struct RunReport {
    Verdict verdict = Verdict::Failed;
    Outcome run;  // the programming run itself
    bool cablePresent = false;
    bool backupRead = false;    // the transmitter answered the backup read
    std::string backupPath;     // the backup's .kt9, when one was kept
    std::string backupProblem;  // why none was kept, when one was wanted
    ReadBackResult check;       // the verification read
    std::vector<Difference> differences;
    std::string transmitterInfo;  // its information text, from either read
};

// Called on the operation's thread when the present configuration cannot be
// kept (the text says why); true to program anyway.
using ProgramAnyway = std::function<bool(const std::string& why)>;

// Steps the progress counts for a request: backup read, run, verification.
int RunSteps(const RunRequest& request, bool cablePresent);

RunReport ProgramAndVerify(const Adapters& adapters, const RunRequest& request,
                           boost::crc_ccitt_type& runCrc, const Progress& progress,
                           const CancelFlag& cancel, const ProgramAnyway& programAnyway,
                           std::time_t now = std::time(nullptr));

// For the log: "verified", "sent, not verified", "differences: N",
// "failed: REASON", "cancelled".
std::string LogOutcome(const RunReport& report);

// One line for the operator: "Programmed and verified", "Sent but not
// verified: no read cable is connected", ...
std::string VerdictSummary(const RunReport& report);

// The whole account for a warning: what went wrong and what to do; empty for
// a verified run.
std::string VerdictDetails(const RunReport& report, std::size_t maxDifferenceLines = 20);

}  // namespace kestrin

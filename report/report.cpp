#include "report/report.h"

#include "config/file_access.h"
#include "config/texts.h"
#include "pages/frequency.h"
#include "pages/readouts.h"

namespace kestrin {

namespace {

// Item text of a choice; an index the choice cannot hold shows nothing.
std::string Item(const std::vector<std::string>& items, int index) {
    return index >= 0 && static_cast<std::size_t>(index) < items.size() ? items[index]
                                                                        : std::string();
}

std::string SpeedText(int speed) {
    return speed == kSpeed2400 ? kSpeed2400Item : Item(kSpeedItems, speed);
}

std::string MessageLine(const MessageForm& m, const std::string& text) {
    return Item(kTypeItems, m.type) + "-" + SpeedText(m.speed) + " to " + m.id + " Beep type " +
           Item(kToneItems, m.tone) + ", \"" + text + "\"";
}

std::string Increasing(bool inc) {
    return inc ? " second intervals increasing per transmission"
               : " second intervals not increasing per transmission";
}

void Heading(std::vector<std::string>& out, const char* title) {
    out.emplace_back(title);
    out.emplace_back("------------");
}

}  // namespace

std::vector<std::string> ReportLines(const FormSnapshot& f) {
    auto readout = [&](SliderId s) { return SliderReadout(s, f.slider[s]); };
    const MessageForm& reed = f.msg[kReed];

    std::vector<std::string> out;
    out.emplace_back("KST TQ9 PARAMETERS");
    out.emplace_back();
    out.push_back("Frequency: " + FormatFreq(f.freq));
    out.emplace_back();
    out.emplace_back(f.mode == 1   ? "Fall Detection Enabled"
                     : f.mode == 2 ? "ManDown Detection Enabled"
                                   : "Fall Detection Disabled");
    out.emplace_back();

    Heading(out, "Button Pressed Message");
    out.push_back(MessageLine(f.msg[kButton], f.msg[kButton].text));
    out.push_back("Repeat " + std::to_string(f.buttonRepeats) + " times at " +
                  Item(kRepeatTimeItems, f.buttonRepeatTime) + " second intervals");
    out.emplace_back();

    Heading(out, "Pull Cord Removed Message");
    out.push_back(MessageLine(f.msg[kCord], f.msg[kCord].text));
    out.push_back("Repeating at " + Item(kRepeatTimeItems, f.cordRepeatTime) +
                  Increasing(f.cordIncTime));
    out.emplace_back();

    Heading(out, "Magnet Wand Touched to Kestrin Message");
    out.push_back(MessageLine(reed, reed.text));
    out.push_back(MessageLine(reed, f.fallOn));
    out.push_back(MessageLine(reed, f.fallOff));
    out.emplace_back();

    Heading(out, "Battery Low Message");
    out.push_back(MessageLine(f.msg[kBatLow], f.msg[kBatLow].text));
    out.emplace_back();

    Heading(out, "Battery Shutdown Message");
    out.push_back(MessageLine(f.msg[kBatShut], f.msg[kBatShut].text));
    out.emplace_back();

    Heading(out, "Test Call Message");
    out.push_back(MessageLine(f.msg[kTest], f.msg[kTest].text));
    out.push_back("Repeating every " + std::to_string(f.testHour) + ":" +
                  std::to_string(f.testMin) + ":" + std::to_string(f.testSec));
    out.emplace_back();

    Heading(out, "Reset Message");
    out.push_back(MessageLine(f.msg[kReset], f.msg[kReset].text));
    out.emplace_back();

    if (f.mode != 1 && f.mode != 2) return out;

    Heading(out, "Fall Detected Message");
    out.push_back(MessageLine(f.msg[kFall], f.msg[kFall].text));
    out.push_back("Repeat " + Item(kFallRepeatNumItems, f.fallRepeatNum) + " times at " +
                  Item(kRepeatTimeItems, f.fallRepeatTime) + Increasing(f.fallIncTime));
    out.emplace_back();

    if (f.mode == 1) {
        Heading(out, "Fall Detection");
        out.push_back("Free Fall detected below " + readout(kSliderFreeFallThresh) +
                      " for longer than " + readout(kSliderFreeFallTime) + ". Timing out after " +
                      readout(kSliderFreeFallTimeout));
        out.push_back("Shock detected above " + readout(kSliderShockThresh) + " for longer than " +
                      readout(kSliderShockTime) + ". Timing out after " +
                      readout(kSliderShockTimeout));
        out.push_back("Stability detected at a threshold of " + readout(kSliderStabilityThresh) +
                      " for longer than " + readout(kSliderStabilityTime) + ". Timing out after " +
                      readout(kSliderStabilityTimeout));
        out.push_back("Tilt detected at a value of " + readout(kSliderAngle));
    } else {
        Heading(out, "Man Down Detection");
        out.push_back("Man Down alarm triggered if a threshold of " + readout(kSliderManMove) +
                      " is not exceeded for " + readout(kSliderManSamples));
    }
    return out;
}

std::string ReportText(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        // Control bytes of a text show as in its field, so no text breaks
        // the one-item-a-line layout.
        out += DisplayUtf8(line);
        out += "\r\n";
    }
    return out;
}

bool WriteReport(const std::string& path, const std::vector<std::string>& lines,
                 std::string* error) {
    return WriteFileAtomically(path, ReportText(lines), error);
}

}  // namespace kestrin

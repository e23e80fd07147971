// A read-back reply of any bytes: extraction takes a full image or none,
// decoding brings every value within its control, encoding the decoded form
// keeps every record within its slot, the form survives a configuration file,
// and its report keeps one item a line.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "config/config_file.h"
#include "config/decode.h"
#include "config/encode.h"
#include "device/framing.h"
#include "device/payloads.h"
#include "fuzz/form_checks.h"
#include "report/report.h"

namespace {

void CheckRecord(const std::string& record, kestrin::SlotPlace slot) {
    FUZZ_CHECK(record.size() <= kestrin::kSlotTextOffset + slot.textLen);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrin;
    const Bytes reply(data, data + size);
    const auto image = ExtractImage(reply);
    if (!image) return 0;
    // Whatever follows the kept bytes cannot change the image.
    if (reply.size() < kImageReplyCapacity) {
        Bytes longer = reply;
        longer.push_back(0x03);
        const auto again = ExtractImage(longer);
        FUZZ_CHECK(again && *again == *image);
    }

    eeprom_union im{};
    std::memcpy(im.raw, image->data(), image->size());
    FormSnapshot form = StartupForm();
    DecodeImage(im, form);
    fuzz::CheckForm(form);

    Config cfg;
    eeprom_union out = im;
    EncodeForm(form, cfg, out);
    CheckRecord(cfg.PMsgBtryLow, slot::BtryLow);
    CheckRecord(cfg.PMsgBtryShutDown, slot::BtryShutDown);
    CheckRecord(cfg.PMsgButton, slot::Button);
    CheckRecord(cfg.PMsgCord, slot::Cord);
    CheckRecord(cfg.PMsgFall, slot::Fall);
    CheckRecord(cfg.PMsgFallOn, slot::AccelerometerON);
    CheckRecord(cfg.PMsgFallOff, slot::AccelerometerOFF);
    CheckRecord(cfg.PMsgReedActivated, slot::ReedActivated);
    CheckRecord(cfg.PMsgTest, slot::Test);
    CheckRecord(cfg.PMsgReset, slot::Reset);
    cfg.freq = form.freq;
    (void)RunPayloads(cfg, out.cfg.ManDownLvl, out.cfg.ManDownSamples);

    IniProfile profile;
    WriteFormToProfile(form, profile);
    FormSnapshot reopened = StartupForm();
    FUZZ_CHECK(ReadFormFromProfile(IniProfile::Parse(profile.Serialize()), reopened, true));
    // A Cap Code that is not seven digits is not carried into a form.
    for (int m = 0; m < kMsgCount; ++m) {
        if (form.msg[m].id.find_first_not_of("0123456789") != std::string::npos)
            form.msg[m].id.clear();
    }
    FUZZ_CHECK(fuzz::SameForm(form, reopened));

    const std::vector<std::string> lines = ReportLines(form);
    const std::string text = ReportText(lines);
    FUZZ_CHECK(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) ==
               lines.size());
    FUZZ_CHECK(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\r')) ==
               lines.size());
    return 0;
}

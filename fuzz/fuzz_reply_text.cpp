// The reply-text helpers over any reply: the information text is the text's
// characters from position 7 up to the last five (from 7 on when that leaves
// nothing), the shoe version characters 15 to 18.
#include <string>

#include "device/link.h"
#include "fuzz/check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace kestrin;
    const Bytes reply(data, data + size);
    std::string text(reply.begin(), reply.end());
    if (!text.empty()) text[0] = ' ';
    text = text.substr(0, text.find('\0'));
    const std::size_t n = text.size();

    const std::string info = InfoText(reply);
    const std::size_t expected = n <= 7 ? 0 : n <= 12 ? n - 7 : n - 12;
    FUZZ_CHECK(info.size() == expected);
    FUZZ_CHECK(n <= 7 || text.compare(7, info.size(), info) == 0);

    const std::string version = ShoeVersionText(reply);
    const std::string raw(reply.begin(), reply.end());
    const std::string full = raw.substr(0, raw.find('\0'));
    FUZZ_CHECK(version == (full.size() > 15 ? full.substr(15, 4) : std::string()));
    return 0;
}

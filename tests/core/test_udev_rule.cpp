// The udev rule that hands the adapters to the logged-in user names exactly
// the adapters the program accepts, both as USB devices and as serial ports.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "device/link.h"

namespace kestrin {
namespace {

TEST(UdevRule, GivesTheSeatUserEveryAcceptedAdapterAndNothingElse) {
    std::ifstream in(KESTRIN_SOURCE_DIR "/packaging/70-kestrin-pro.rules");
    ASSERT_TRUE(in) << "rule file missing";
    const std::regex subsystem(R"re(SUBSYSTEM=="(usb|tty)")re"),
        serial(R"re(ATTRS?\{serial\}=="([^"]*)")re"),
        product(R"re(ATTRS?\{product\}=="([^"]*)")re");
    // Adapter (serial number, product; an empty serial for any) to subsystems.
    std::map<std::pair<std::string, std::string>, std::set<std::string>> matched;
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        SCOPED_TRACE(line);
        std::smatch s, n, p;
        ASSERT_TRUE(std::regex_search(line, s, subsystem));
        ASSERT_TRUE(std::regex_search(line, p, product));
        EXPECT_NE(line.find("TAG+=\"uaccess\""), std::string::npos);
        if (s[1] == "usb") {
            EXPECT_NE(line.find(R"re(ENV{DEVTYPE}=="usb_device")re"), std::string::npos);
        }
        const std::string number = std::regex_search(line, n, serial) ? n[1].str() : "";
        if (number.empty()) {
            EXPECT_EQ(p[1], "TTL232R-3V3");  // the read cable, whatever its serial number
        } else {
            EXPECT_TRUE(IsProgrammingShoe(number, p[1])) << "not an accepted shoe";
        }
        matched[{number, p[1]}].insert(s[1]);
    }
    const std::pair<std::string, std::string> adapters[] = {
        {"KR123456", "FT232R USB UART"}, {"FT123456", "USB BASE PROGRAMMER"}, {"", "TTL232R-3V3"}};
    for (const auto& a : adapters)
        EXPECT_EQ(matched[a], (std::set<std::string>{"tty", "usb"})) << a.first << " " << a.second;
    EXPECT_EQ(matched.size(), 3u);
}

}  // namespace
}  // namespace kestrin

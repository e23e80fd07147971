// A configuration in the form's own words, one setting a line, grouped as the
// form's pages: what the command-line tool shows and compares.
#pragma once

#include <string>
#include <vector>

#include "config/form.h"

namespace kestrin {

struct SettingLine {
    std::string page;     // "Messages", "Fall detection", "Testing", "Frequency Setup"
    std::string setting;  // "Button Pressed", "Button Pressed, Repeat Time"
    std::string value;    // 8-bit texts as the form holds them
};

// Every setting of the form, in the order of the pages and their groups.
std::vector<SettingLine> DescribeForm(const FormSnapshot& form);

struct SettingChange {
    std::string setting;
    std::string before, after;
};

// The settings whose words differ, in DescribeForm's order.
std::vector<SettingChange> CompareForms(const FormSnapshot& a, const FormSnapshot& b);

}  // namespace kestrin

// Commands over configuration files: show, diff, report (check and set in
// their own file).
#include <cstdio>

#include "cli/cli.h"
#include "config/backup.h"
#include "config/config_file.h"
#include "config/cp1252.h"
#include "config/describe.h"
#include "report/report.h"

namespace kestrin::cli {

namespace {

void PutUtf8(std::string& out, unsigned cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

bool EndsWith(const std::string& s, const std::string& tail) {
    if (s.size() < tail.size()) return false;
    for (std::size_t i = 0; i < tail.size(); ++i) {
        char c = s[s.size() - tail.size() + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != tail[i]) return false;
    }
    return true;
}

}  // namespace

void Error(const std::string& text) { std::fprintf(stderr, "%s\n", text.c_str()); }

std::string Printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c < 0x20)
            PutUtf8(out, 0x2400 + c);
        else if (c == 0x7F)
            PutUtf8(out, 0x2421);
        else
            PutUtf8(out, Cp1252ToUnicode(c));
    }
    return out;
}

std::string PrintableLines(const std::string& text) {
    std::string out;
    std::size_t at = 0;
    for (std::size_t nl; (nl = text.find('\n', at)) != std::string::npos; at = nl + 1)
        out += Printable(text.substr(at, nl - at)) + "\n";
    return out + Printable(text.substr(at));
}

bool LoadConfig(const std::string& path, FormSnapshot& form) {
    form = StartupForm();
    std::string error;
    if (OpenConfigFile(path, form, true, &error)) return true;
    Error(error);
    return false;
}

bool LoadDeviceSide(const Args& args, FormSnapshot& form);  // device_commands.cpp

bool LoadSide(const std::string& side, const Args& args, FormSnapshot& form) {
    if (side == "device:") return LoadDeviceSide(args, form);
    if (EndsWith(side, ".img")) {
        eeprom_union image{};
        std::string error;
        if (!ReadImageFile(side, image, &error)) {
            Error(error);
            return false;
        }
        form = BackupForm(image);
        return true;
    }
    return LoadConfig(side, form);
}

int Show(const Args& args) {
    FormSnapshot form;
    if (!LoadConfig(args.files[0], form)) return kError;
    std::string page;
    for (const SettingLine& line : DescribeForm(form)) {
        if (line.page != page) {
            std::printf("%s%s\n", page.empty() ? "" : "\n", line.page.c_str());
            page = line.page;
        }
        std::printf("  %s: %s\n", line.setting.c_str(), Printable(line.value).c_str());
    }
    return kOk;
}

int Diff(const Args& args) {
    FormSnapshot a, b;
    if (!LoadSide(args.files[0], args, a) || !LoadSide(args.files[1], args, b)) return kError;
    const std::vector<SettingChange> changes = CompareForms(a, b);
    for (const SettingChange& c : changes)
        std::printf("%s:\n  %s: %s\n  %s: %s\n", c.setting.c_str(), args.files[0].c_str(),
                    Printable(c.before).c_str(), args.files[1].c_str(),
                    Printable(c.after).c_str());
    return changes.empty() ? kOk : kProblem;
}

int Report(const Args& args) {
    FormSnapshot form;
    if (!LoadConfig(args.files[0], form)) return kError;
    const std::vector<std::string> lines = ReportLines(form);
    const std::string out = args.Value("-o");
    if (out.empty()) {
        if (!WriteStdoutBytes(ReportText(lines))) {
            Error("kestrin-cli report: standard output could not be written");
            return kError;
        }
        return kOk;
    }
    std::string error;
    if (!WriteReport(out, lines, &error)) {
        Error(error);
        return kError;
    }
    return kOk;
}

}  // namespace kestrin::cli

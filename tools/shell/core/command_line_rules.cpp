#include "command_line_rules.h"

namespace shell {

namespace {

bool sameSwitchName(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = wchar_t(x + 32);
        if (y >= L'A' && y <= L'Z') y = wchar_t(y + 32);
        if (x != y) return false;
    }
    return true;
}

} // namespace

bool CommandLine::has(const std::wstring& name) const {
    return text(name) != nullptr;
}

const std::wstring* CommandLine::text(const std::wstring& name) const {
    for (auto it = switches.rbegin(); it != switches.rend(); ++it)
        if (it->first == name) return &it->second;
    return nullptr;
}

CommandLine parseCommandLine(const std::vector<std::wstring>& args,
                             const std::vector<SwitchRule>& switches) {
    CommandLine line;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg.empty() || arg[0] != L'/') {
            line.operands.push_back(arg);
            continue;
        }
        if (arg == L"/?") {
            line.help = true;
            continue;
        }
        const SwitchRule* rule = nullptr;
        for (const SwitchRule& s : switches)
            if (sameSwitchName(arg.substr(1), s.name)) rule = &s;
        if (!rule) {
            if (line.unknownSwitch.empty()) line.unknownSwitch = arg;
            continue;
        }
        if (!rule->takesText) {
            line.switches.emplace_back(rule->name, L"");
        } else if (i + 1 < args.size()) {
            line.switches.emplace_back(rule->name, args[++i]);
        } else if (line.missingText.empty()) {
            line.missingText = arg;
        }
    }
    return line;
}

std::wstring oneLine(const std::wstring& message) {
    std::wstring out;
    for (size_t i = 0; i < message.size(); ++i) {
        wchar_t c = message[i];
        if (c != L'\r' && c != L'\n') {
            out += c;
            continue;
        }
        if (c == L'\r' && i + 1 < message.size() && message[i + 1] == L'\n') ++i;
        out += L"; ";
    }
    return out;
}

std::wstring resultLine(const std::wstring& subject, const std::wstring& text) {
    return subject + L": " + oneLine(text);
}

FileArgument splitFileArgument(const std::wstring& argument) {
    size_t cut = argument.find_last_of(L"\\/");
    cut = cut == std::wstring::npos ? 0 : cut + 1;
    // "C:name": the drive is all the folder there is.
    if (cut == 0 && argument.size() >= 2 && argument[1] == L':') cut = 2;
    return {argument.substr(0, cut), argument.substr(cut)};
}

bool hasWildcard(const std::wstring& name) {
    return name.find_first_of(L"*?") != std::wstring::npos;
}

namespace {

// Greedy with one step back: on a mismatch, the last "*" takes one more character.
bool matchesPlainWildcard(const wchar_t* p, size_t pn, const std::wstring& name,
                          wchar_t (*upper)(wchar_t)) {
    size_t pi = 0, ni = 0, star = std::wstring::npos, starName = 0;
    while (ni < name.size()) {
        if (pi < pn && p[pi] == L'*') {
            star = pi++;
            starName = ni;
        } else if (pi < pn && (p[pi] == L'?' || upper(p[pi]) == upper(name[ni]))) {
            ++pi;
            ++ni;
        } else if (star != std::wstring::npos) {
            pi = star + 1;
            ni = ++starName;
        } else {
            return false;
        }
    }
    while (pi < pn && p[pi] == L'*')
        ++pi;
    return pi == pn;
}

} // namespace

bool matchesWildcard(const std::wstring& pattern, const std::wstring& name,
                     wchar_t (*upper)(wchar_t)) {
    if (matchesPlainWildcard(pattern.data(), pattern.size(), name, upper)) return true;
    const size_t n = pattern.size();
    return n >= 2 && pattern.compare(n - 2, 2, L".*") == 0 &&
           matchesPlainWildcard(pattern.data(), n - 2, name, upper);
}

} // namespace shell

#include "command_line_rules.h"

namespace shell {

namespace {

const wchar_t kUnknownSwitch[] = L"不明なスイッチです。";
const wchar_t kMissingName[] = L"名前が指定されていません。";
const wchar_t kTwoOperations[] = L"操作のスイッチは1つだけ指定してください。";

} // namespace

bool CommandLine::has(const std::wstring& name) const {
    return text(name) != nullptr;
}

const std::wstring* CommandLine::text(const std::wstring& name) const {
    for (auto it = switches.rbegin(); it != switches.rend(); ++it)
        if (it->name == name) return &it->text;
    return nullptr;
}

const GivenSwitch* CommandLine::operation() const {
    for (auto it = switches.rbegin(); it != switches.rend(); ++it)
        if (it->operation) return &*it;
    return nullptr;
}

void CommandLine::fail(const std::wstring& line) {
    if (usageError.empty()) usageError = line;
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
        const std::wstring typed = upperAscii(arg.substr(1));
        const SwitchRule* rule = nullptr;
        for (const SwitchRule& s : switches)
            if (typed == upperAscii(s.name)) rule = &s;
        if (!rule) {
            line.fail(resultLine(arg, kUnknownSwitch));
            continue;
        }
        GivenSwitch given{rule->name, arg, L"", rule->operation};
        if (rule->text != SwitchText::kNone) {
            // The next argument is the text, whatever it looks like.
            const bool last = i + 1 == args.size();
            if (!last) given.text = args[++i];
            if (last || (rule->text == SwitchText::kNotEmpty && given.text.empty())) {
                line.fail(resultLine(arg, kMissingName));
                continue;
            }
        }
        if (rule->operation && line.operation()) line.fail(kTwoOperations);
        line.switches.push_back(std::move(given));
    }
    return line;
}

int writeUsage(const CommandLine& line, const std::vector<std::wstring>& usage,
               const std::function<void(const std::wstring& line)>& write) {
    if (!line.help) write(line.usageError);
    for (const std::wstring& text : usage)
        write(text);
    return line.help ? kExitDone : kExitUsage;
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

#include "vb_calls.h"

#include <cctype>
#include <sstream>

namespace vbcheck {
namespace {

enum class Kind { kWord, kNumber, kString, kPunct };

struct Token {
    Kind kind;
    std::string text;
};

struct Statement {
    int line;
    std::vector<Token> tokens;
};

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

bool isWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// Splits source into logical statements: comments dropped, " _" continuations joined,
// ":" separating statements, string literals kept whole.
std::vector<Statement> statements(const std::string& source) {
    std::vector<Statement> out;
    Statement current{1, {}};
    int line = 1;
    auto flush = [&](int nextLine) {
        if (!current.tokens.empty()) out.push_back(current);
        current = Statement{nextLine, {}};
    };
    size_t i = 0;
    while (i < source.size()) {
        char c = source[i];
        if (c == '\r') {
            ++i;
            continue;
        }
        if (c == '\n') {
            ++line;
            ++i;
            // A trailing "_" token continues the statement on the next line.
            if (!current.tokens.empty() && current.tokens.back().text == "_") {
                current.tokens.pop_back();
                continue;
            }
            flush(line);
            continue;
        }
        if (c == ' ' || c == '\t') {
            ++i;
            continue;
        }
        if (c == '\'') { // comment to the end of the line
            while (i < source.size() && source[i] != '\n')
                ++i;
            continue;
        }
        if (c == '"') {
            std::string text = "\"";
            ++i;
            while (i < source.size() && source[i] != '\n') {
                if (source[i] == '"') {
                    if (i + 1 < source.size() && source[i + 1] == '"') {
                        text += "\"\"";
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                text += source[i++];
            }
            current.tokens.push_back({Kind::kString, text + "\""});
            continue;
        }
        if (c == ':') {
            ++i;
            flush(line);
            continue;
        }
        if (c == '&' && i + 1 < source.size() &&
            (source[i + 1] == 'H' || source[i + 1] == 'h' || source[i + 1] == 'O' ||
             source[i + 1] == 'o')) {
            size_t start = i;
            i += 2;
            while (i < source.size() && (std::isxdigit(static_cast<unsigned char>(source[i]))))
                ++i;
            if (i < source.size() && (source[i] == '&' || source[i] == '%')) ++i;
            current.tokens.push_back({Kind::kNumber, source.substr(start, i - start)});
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) ||
            (c == '.' && i + 1 < source.size() &&
             std::isdigit(static_cast<unsigned char>(source[i + 1])))) {
            size_t start = i;
            while (i < source.size() &&
                   (std::isalnum(static_cast<unsigned char>(source[i])) || source[i] == '.'))
                ++i;
            if (i < source.size() && std::string("&%!#@").find(source[i]) != std::string::npos) ++i;
            current.tokens.push_back({Kind::kNumber, source.substr(start, i - start)});
            continue;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t start = i;
            while (i < source.size() && isWordChar(source[i]))
                ++i;
            // Type suffixes belong to the name (Len$, Count&).
            if (i < source.size() && std::string("$&%!#@").find(source[i]) != std::string::npos &&
                (i + 1 >= source.size() || !isWordChar(source[i + 1])))
                ++i;
            std::string word = source.substr(start, i - start);
            if (current.tokens.empty() && lower(word) == "rem") { // Rem comment
                while (i < source.size() && source[i] != '\n')
                    ++i;
                continue;
            }
            current.tokens.push_back({Kind::kWord, word});
            continue;
        }
        current.tokens.push_back({Kind::kPunct, std::string(1, c)});
        ++i;
    }
    flush(line);
    return out;
}

// Counts the comma-separated items in tokens [begin, end) at parenthesis depth 0.
int countItems(const std::vector<Token>& tokens, size_t begin, size_t end) {
    if (begin >= end) return 0;
    int depth = 0, items = 1;
    for (size_t k = begin; k < end; ++k) {
        const std::string& t = tokens[k].text;
        if (tokens[k].kind != Kind::kPunct) continue;
        if (t == "(")
            ++depth;
        else if (t == ")")
            --depth;
        else if (t == "," && depth == 0)
            ++items;
    }
    return items;
}

// Index of the ")" matching the "(" at `open`, or tokens.size() when unbalanced.
size_t matching(const std::vector<Token>& tokens, size_t open) {
    int depth = 0;
    for (size_t k = open; k < tokens.size(); ++k) {
        if (tokens[k].kind != Kind::kPunct) continue;
        if (tokens[k].text == "(")
            ++depth;
        else if (tokens[k].text == ")" && --depth == 0)
            return k;
    }
    return tokens.size();
}

// The source as a compiler of `branch` reads it: the other branch's lines and the
// directives themselves are blanked, so line numbers stay those of the file.
std::string branchSource(const std::string& source, Branch branch) {
    enum { Both, Vba7Part, ClassicPart } part = Both;
    std::string out;
    size_t at = 0;
    while (at < source.size()) {
        size_t end = source.find('\n', at);
        if (end == std::string::npos) end = source.size();
        std::string line = source.substr(at, end - at);
        std::string words;
        for (char c : line)
            if (c != ' ' && c != '\t' && c != '\r')
                words += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        bool directive = true;
        if (words == "#ifvba7then")
            part = Vba7Part;
        else if (words == "#else" && part != Both)
            part = ClassicPart;
        else if (words == "#endif" && part != Both)
            part = Both;
        else
            directive = false;
        bool read = !directive && (part == Both || (part == Vba7Part) == (branch == Branch::kVba7));
        if (read) out += line;
        if (end < source.size()) out += '\n';
        at = end + 1;
    }
    return out;
}

bool looksLikeExport(const std::string& word) {
    return word.size() > 2 && word[0] == 'd' && word[1] == 'd' &&
           std::isupper(static_cast<unsigned char>(word[2]));
}

} // namespace

std::map<std::string, int> declaredFunctions(const std::string& source, Branch branch) {
    std::map<std::string, int> out;
    for (const auto& st : statements(branchSource(source, branch))) {
        const auto& t = st.tokens;
        size_t k = 0;
        while (k < t.size() && (lower(t[k].text) == "public" || lower(t[k].text) == "private"))
            ++k;
        if (k + 2 >= t.size() || lower(t[k].text) != "declare") continue;
        if (lower(t[k + 1].text) == "ptrsafe") ++k;
        if (k + 2 >= t.size()) continue;
        std::string what = lower(t[k + 1].text);
        if (what != "function" && what != "sub") continue;
        std::string name = t[k + 2].text;
        size_t open = k + 3;
        while (open < t.size() && t[open].text != "(")
            ++open;
        if (open >= t.size()) continue;
        size_t close = matching(t, open);
        out[lower(name)] = countItems(t, open + 1, close);
    }
    return out;
}

std::vector<Call> findCalls(const std::string& source, const std::map<std::string, int>& names) {
    std::vector<Call> calls;
    for (const auto& st : statements(source)) {
        const auto& t = st.tokens;
        if (!t.empty() && lower(t[0].text) == "declare") continue;
        if (t.size() > 1 && lower(t[1].text) == "declare") continue;
        for (size_t k = 0; k < t.size(); ++k) {
            if (t[k].kind != Kind::kWord) continue;
            std::string key = lower(t[k].text);
            bool declared = names.count(key) != 0;
            if (!declared && !looksLikeExport(t[k].text)) continue;
            if (k > 0 && t[k - 1].text == ".") // a member such as Me.ddSomething
                continue;
            Call call;
            call.name = t[k].text;
            call.line = st.line;
            bool callKeyword = k == 1 && lower(t[0].text) == "call";
            bool hasParens = k + 1 < t.size() && t[k + 1].text == "(";
            if (k == 0 && !(k + 1 < t.size() && t[k + 1].text == "=")) {
                // Statement form: "Name a, b" passes everything after the name.
                call.arguments = countItems(t, 1, t.size());
                if (hasParens && matching(t, 1) == t.size() - 1 &&
                    countItems(t, 2, t.size() - 1) > 1)
                    call.problem = "a list in parentheses needs Call or an assignment";
            } else if (k == 0) {
                continue; // an assignment to a variable of that name, not a call
            } else if (hasParens) {
                size_t close = matching(t, k + 1);
                call.arguments = countItems(t, k + 2, close);
                if (close == t.size()) call.problem = "unbalanced parentheses";
            } else if (callKeyword && k + 1 < t.size()) {
                call.problem = "Call needs its arguments in parentheses";
            } else {
                call.arguments = 0; // a function of no arguments used as a value
            }
            if (!declared) call.problem = "not declared in Quillon.bas";
            calls.push_back(call);
            if (k == 0) break; // the rest of the statement are its arguments, scanned below
        }
        // Calls nested inside a statement-form call's arguments.
        if (!t.empty() && t[0].kind == Kind::kWord && names.count(lower(t[0].text)) &&
            !(t.size() > 1 && t[1].text == "=")) {
            std::string rest;
            for (size_t k = 1; k < t.size(); ++k)
                rest += t[k].text + " ";
            auto nested = findCalls("x = " + rest, names);
            for (auto& c : nested) {
                c.line = st.line;
                calls.push_back(c);
            }
        }
    }
    return calls;
}

} // namespace vbcheck

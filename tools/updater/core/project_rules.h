// Rewriting a Visual Basic project file (.VBP) that uses version 1.x of Farrow, a set of
// VB modules and classes, into one that refers to the files of Farrow 2.0: pure rules,
// applied by the window to text it has decoded from the ANSI code page.
#pragma once

#include <string>
#include <vector>

namespace updater {

struct RenameRow {
    const wchar_t* oldName; // upper case: searched in an upper-case copy
    const wchar_t* newName; // written exactly as listed
};
extern const RenameRow kRenameTable[12];
extern const wchar_t* const kAddedLines[2];
// Shown instead of a converted project when no line names a Farrow 1.x file.
extern const wchar_t kNoticeText[];

// The lines of a file's text: a line ends at CR, CR LF or LF; a final empty line (the one
// after the last terminator, or an empty last line) is not a line.
std::vector<std::wstring> splitLines(const std::wstring& text);

// Replaces the first occurrence of oldName found in `upper` (the upper-case copy of
// `line`) by newName in `line`, keeps `upper` in step with the edited line and counts the
// replacement. No match: nothing changes.
void replaceFileName(std::wstring& line, std::wstring& upper, const std::wstring& oldName,
                     const std::wstring& newName, long& replaceCount);

struct Conversion {
    std::wstring original;  // every line + CR LF, as read
    std::wstring converted; // rewritten lines + CR LF, or the notice text
    long replaceCount = 0;
    bool upgraded = false; // false: `converted` is the notice
};
Conversion convertProject(const std::vector<std::wstring>& lines);

// The save name: the chosen name before the first ".VBP" (any case), the suffix, then the
// rest of the name. A name without ".VBP" gets the suffix at its end.
std::wstring saveName(const std::wstring& fileName, const std::wstring& suffix);

} // namespace updater

// A small reader of Visual Basic source, enough to check the VB sample against
// Quillon.bas without a VB compiler: the declared exports with their argument counts,
// and every call in a module with the number of arguments it passes.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace vbcheck {

struct Call {
    std::string name; // as written
    int line = 0;     // 1-based line of the statement's start
    int arguments = 0;
    std::string problem; // non-empty when the call's form is not valid VB
};

// The two worlds of one module: "#If VBA7 Then <VBA7 part> #Else <classic part> #End If".
// VB4 to VB6 have no VBA7 constant and read the classic part; VBA7 (Office 2010 and later,
// 32- and 64-bit) reads the other. Lines outside such a block are read by both.
enum class Branch { kClassic, kVba7 };

// "Declare [PtrSafe] Function Name Lib ... (params) As T" lines that a compiler of `branch`
// reads: lower-cased name -> parameter count.
std::map<std::string, int> declaredFunctions(const std::string& source,
                                             Branch branch = Branch::kClassic);

// Calls in `source` of any name in `names` (lower-cased, VB is case-insensitive), plus
// calls of undeclared names that look like exports (dd followed by a capital letter).
std::vector<Call> findCalls(const std::string& source, const std::map<std::string, int>& names);

} // namespace vbcheck

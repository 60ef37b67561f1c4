// Control ids of PURNIX's Form1 (besides the chooser lists of the shell), shared with its
// GUI tests.
#pragma once

namespace wavconv {

enum Form1Control : int {
    kIdLabel1 = 101,
    kIdLabel2,
    kIdLabel3,
    kIdLabel4,
    kIdLabel6,
    kIdText1 = 201,
    kIdText3 = 203,
    kIdCommand1 = 301,
};

} // namespace wavconv

// Control ids of PURNIX's main window (the chooser lists use the shell's ids), shared with
// its GUI tests.
#pragma once

namespace wavconv {

enum Form1Control : int {
    kIdLabel1 = 2001,
    kIdLabel2,
    kIdLabel3,
    kIdLabel4,
    kIdLabel6,
    kIdText1 = 2011,
    kIdText3 = 2013,
    kIdCommand1 = 2021,
};

} // namespace wavconv

// Control ids of TAMSEL's main window (the chooser lists use the shell's ids), shared with
// its GUI tests.
#pragma once

namespace compositor {

enum Form1Control : int {
    kIdLabel3 = 2001,
    kIdLabel4,
    kIdLabel1,
    kIdLabel2,
    kIdCommand1 = 2021,
    kIdFrame1 = 2031,
    kIdOption1_0 = 2041,
    kIdOption1_1,
    kIdOption1_2,
    kIdOption1_3,
};

// Option1(i) has the id kIdOption1_0 + i.
inline int option1Id(int index) {
    return kIdOption1_0 + index;
}

} // namespace compositor

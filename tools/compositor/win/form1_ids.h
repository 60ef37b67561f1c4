// Control ids of Tamsel's main window (also what an outside driver looks for).
#pragma once

namespace compositor {

// The chooser's lists keep the shell's ids.
enum Form1Control {
    kIdDrive1 = 1001,
    kIdDir1 = 1002,
    kIdFile1 = 1003,
    kIdFile2 = 1004,
    kIdLabel3 = 100,
    kIdLabel4,
    kIdLabel1,
    kIdLabel2,
    kIdCommand1,
    kIdFrame1,
    kIdOption1_3,
    kIdOption1_2,
    kIdOption1_1,
    kIdOption1_0,
};

// Option1(i) has the id IDC_OPTION1_0 - i.
inline int option1Id(int index) {
    return kIdOption1_0 - index;
}

} // namespace compositor

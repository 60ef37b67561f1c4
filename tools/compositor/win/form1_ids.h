// Control ids of Tamsel's main window (also what an outside driver looks for).
#pragma once

// The chooser's lists keep the shell's ids.
enum Form1Control {
    IDC_DRIVE1 = 1001,
    IDC_DIR1 = 1002,
    IDC_FILE1 = 1003,
    IDC_FILE2 = 1004,
    IDC_LABEL3 = 100,
    IDC_LABEL4,
    IDC_LABEL1,
    IDC_LABEL2,
    IDC_COMMAND1,
    IDC_FRAME1,
    IDC_OPTION1_3,
    IDC_OPTION1_2,
    IDC_OPTION1_1,
    IDC_OPTION1_0,
};

// Option1(i) has the id IDC_OPTION1_0 - i.
inline int option1_id(int index) {
    return IDC_OPTION1_0 - index;
}

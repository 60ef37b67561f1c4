// Control ids of Tamsel's main window (also what an outside driver looks for).
#pragma once

enum Form1Control {
    IDC_LABEL3 = 100,
    IDC_DRIVE1,
    IDC_LABEL4,
    IDC_DIR1,
    IDC_LABEL1,
    IDC_FILE1,
    IDC_LABEL2,
    IDC_FILE2,
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

enum Form1Menu { IDM_ABOUT = 200, IDM_HELP };

// The input box's edit control.
enum InputBoxControl { IDC_INPUT_PROMPT = 300, IDC_INPUT_EDIT };

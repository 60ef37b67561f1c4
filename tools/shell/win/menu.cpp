// The "&Option" menu: the About box and the help viewer with the program's own texts.
#include "shell/shell.h"

namespace shell {

namespace {

void MenuAbout_Click(HWND form) {
    std::wstring text;
    for (size_t i = 0; i < tool().aboutLines.size(); ++i) {
        if (i) text += L'\r';
        text += tool().aboutLines[i];
    }
    showMessage(form, text, MB_OK | MB_ICONINFORMATION, tool().aboutCaption);
}

void MenuHelp_Click(HWND form) {
    showHelpDialog(form, tool().helpCaption, tool().helpFile);
}

} // namespace

bool handleMenuCommand(HWND form, int id) {
    if (id == kIdMenuAbout) {
        MenuAbout_Click(form);
        return true;
    }
    if (id == kIdMenuHelp) {
        MenuHelp_Click(form);
        return true;
    }
    return false;
}

} // namespace shell

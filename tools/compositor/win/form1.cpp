#include "form1.h"

#include "form1_ids.h"

namespace compositor {

static_assert(int(kIdDrive1) == int(shell::kIdDrive1) && int(kIdDir1) == int(shell::kIdDir1) &&
                  int(kIdFile1) == int(shell::kIdFile1) && int(kIdFile2) == int(shell::kIdFile2),
              "the chooser's ids");

const wchar_t kAppTitle[] = L"Tamsel";
Form1 g_form1;

namespace {

const wchar_t kClassName[] = L"TamselForm1";

void Option1_Click(int index) {
    g_form1.operation = static_cast<compositor::AudioOperation>(index);
    // Add and Replace need the audio list; otherwise it looks and acts inactive and keeps
    // its selection (WM_CTLCOLORLISTBOX gives it the window's background).
    EnableWindow(g_form1.chooser.file2, compositor::needsAudioFile(g_form1.operation));
    InvalidateRect(g_form1.chooser.file2, nullptr, TRUE);
}

void Form_Load(HWND hwnd) {
    using shell::Twips;
    g_form1.hwnd = hwnd;
    // The option buttons lie over the frame as its siblings; a window that clips its
    // children would never paint the frame's inside.
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) & ~WS_CLIPCHILDREN);
    // Created in tab order.
    shell::createLabel(hwnd, kIdLabel3, L"Dri&ve:", Twips{60, 60, 435, 180});
    g_form1.chooser.createDrive1(hwnd, Twips{60, 300, 2475, 300});
    shell::createLabel(hwnd, kIdLabel4, L"&Directory/Folder:", Twips{60, 720, 1305, 180});
    g_form1.chooser.createDir1(hwnd, Twips{60, 960, 2475, 1560});
    shell::createLabel(hwnd, kIdLabel1, L"V&ideo AVI file:", Twips{2700, 60, 1110, 180});
    g_form1.chooser.createFile1(hwnd, Twips{2640, 300, 3375, 1890}, L"*.avi");
    shell::createLabel(hwnd, kIdLabel2, L"&Audio AVI file:", Twips{2700, 2280, 1110, 180});
    g_form1.chooser.createFile2(hwnd, Twips{2640, 2520, 3375, 1890}, L"*.avi");
    g_form1.command1 =
        shell::createButton(hwnd, kIdCommand1, L"&Compress AVI file", Twips{2640, 4500, 3375, 435});
    const Twips frame{60, 2640, 2475, 1755};
    shell::createFrame(hwnd, kIdFrame1, L"Audio stream operation", frame);
    const wchar_t* captions[4] = {L"Add &stream(s)", L"&Replace stream(s)", L"&No operation",
                                  L"De&lete stream(s)"};
    for (int index = 3; index >= 0; --index)
        g_form1.option1[index] =
            shell::createOptionButton(hwnd, option1Id(index), captions[index], frame,
                                      Twips{120, 300 * (index + 1), 2000, 255}, index == 3);
    SendMessageW(g_form1.option1[0], BM_SETCHECK, BST_CHECKED, 0);
    g_form1.chooser.start();
}

LRESULT CALLBACK form1Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        Form_Load(hwnd);
        return 0;
    case WM_COMMAND: {
        int id = LOWORD(wp), code = HIWORD(wp);
        if (g_form1.chooser.onCommand(wp, lp)) return 0;
        if (shell::handleMenuCommand(hwnd, id, shell::kTamsel)) return 0;
        if (id == kIdCommand1 && code == BN_CLICKED) Command1_Click();
        if (id >= kIdOption1_3 && id <= kIdOption1_0 && code == BN_CLICKED)
            Option1_Click(kIdOption1_0 - id);
        return 0;
    }
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lp) == g_form1.chooser.file2 &&
            !compositor::needsAudioFile(g_form1.operation)) {
            SetBkColor(reinterpret_cast<HDC>(wp), GetSysColor(COLOR_BTNFACE));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if (g_form1.busy) {
            SetCursor(LoadCursorW(nullptr, IDC_WAIT));
            return TRUE;
        }
        break;
    }
    // No closing step of its own: the shell's default closes the help viewer with the form.
    return shell::defFormProc(hwnd, msg, wp, lp);
}

} // namespace

void messageBox(const std::wstring& text, UINT icon) {
    shell::showMessage(g_form1.hwnd, text, MB_OK | icon, shell::kTamsel);
}

} // namespace compositor

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    return shell::runMainForm(instance, compositor::kClassName, compositor::form1Proc,
                              compositor::kAppTitle, 6120, 5055, show);
}

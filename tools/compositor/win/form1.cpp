#include "form1.h"

#include "form1_ids.h"

static_assert(int(IDC_DRIVE1) == int(shell::kIdDrive1) && int(IDC_DIR1) == int(shell::kIdDir1) &&
                  int(IDC_FILE1) == int(shell::kIdFile1) && int(IDC_FILE2) == int(shell::kIdFile2),
              "the chooser's ids");

const wchar_t kAppTitle[] = L"Tamsel";
Form1 g_form1;

namespace {

const wchar_t kForm1Class[] = L"TamselForm1";

void Option1_Click(int index) {
    g_form1.operation = static_cast<tamsel::AudioOperation>(index);
    // Add and Replace need the audio list; otherwise it looks and acts inactive and keeps
    // its selection (WM_CTLCOLORLISTBOX gives it the window's background).
    EnableWindow(g_form1.chooser.file2, tamsel::needs_audio_file(g_form1.operation));
    InvalidateRect(g_form1.chooser.file2, nullptr, TRUE);
}

void Form_Load(HWND hwnd) {
    using shell::Twips;
    g_form1.hwnd = hwnd;
    // The option buttons lie over the frame as its siblings; a window that clips its
    // children would never paint the frame's inside.
    SetWindowLongPtrW(hwnd, GWL_STYLE, GetWindowLongPtrW(hwnd, GWL_STYLE) & ~WS_CLIPCHILDREN);
    // Created in tab order.
    shell::CreateLabel(hwnd, IDC_LABEL3, L"Dri&ve:", Twips{60, 60, 435, 180});
    g_form1.chooser.CreateDrive1(hwnd, Twips{60, 300, 2475, 300});
    shell::CreateLabel(hwnd, IDC_LABEL4, L"&Directory/Folder:", Twips{60, 720, 1305, 180});
    g_form1.chooser.CreateDir1(hwnd, Twips{60, 960, 2475, 1560});
    shell::CreateLabel(hwnd, IDC_LABEL1, L"V&ideo AVI file:", Twips{2700, 60, 1110, 180});
    g_form1.chooser.CreateFile1(hwnd, Twips{2640, 300, 3375, 1890}, L"*.avi");
    shell::CreateLabel(hwnd, IDC_LABEL2, L"&Audio AVI file:", Twips{2700, 2280, 1110, 180});
    g_form1.chooser.CreateFile2(hwnd, Twips{2640, 2520, 3375, 1890}, L"*.avi");
    g_form1.command1 = shell::CreateButton(hwnd, IDC_COMMAND1, L"&Compress AVI file",
                                           Twips{2640, 4500, 3375, 435});
    const Twips frame{60, 2640, 2475, 1755};
    shell::CreateFrame(hwnd, IDC_FRAME1, L"Audio stream operation", frame);
    const wchar_t* captions[4] = {L"Add &stream(s)", L"&Replace stream(s)", L"&No operation",
                                  L"De&lete stream(s)"};
    for (int index = 3; index >= 0; --index)
        g_form1.option1[index] =
            shell::CreateOptionButton(hwnd, option1_id(index), captions[index], frame,
                                      Twips{120, 300 * (index + 1), 2000, 255}, index == 3);
    SendMessageW(g_form1.option1[0], BM_SETCHECK, BST_CHECKED, 0);
    g_form1.chooser.Start();
}

LRESULT CALLBACK form1_proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_CREATE:
        Form_Load(hwnd);
        return 0;
    case WM_COMMAND: {
        int id = LOWORD(wp), code = HIWORD(wp);
        if (g_form1.chooser.OnCommand(wp, lp)) return 0;
        if (shell::HandleMenuCommand(hwnd, id, shell::kTamsel)) return 0;
        if (id == IDC_COMMAND1 && code == BN_CLICKED) Command1_Click();
        if (id >= IDC_OPTION1_3 && id <= IDC_OPTION1_0 && code == BN_CLICKED)
            Option1_Click(IDC_OPTION1_0 - id);
        return 0;
    }
    case WM_CTLCOLORLISTBOX:
        if (reinterpret_cast<HWND>(lp) == g_form1.chooser.file2 &&
            !tamsel::needs_audio_file(g_form1.operation)) {
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
    case WM_CLOSE:
        // No closing step of its own, but an open help viewer would keep the program alive.
        shell::CloseHelpWindow();
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        shell::FormClosed();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace

void message_box(const std::wstring& text, UINT icon) {
    shell::ShowMessage(g_form1.hwnd, text, MB_OK | icon, shell::kTamsel);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    return shell::RunMainForm(instance, kForm1Class, form1_proc, kAppTitle, 6120, 5055, show);
}

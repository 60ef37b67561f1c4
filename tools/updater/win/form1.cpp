// KESTROM.EXE: upgrades a Visual Basic project that uses version 1.x of the Farrow module
// set to the 2.0 set; Form1 and its handlers.
#include "form1.h"

#include "form1_ids.h"
#include "project_rules.h"
#include "save.h"

namespace updater {

Form1 g_form1;

namespace {

const wchar_t kClassName[] = L"KestromForm1";
const wchar_t kNulByteWarning[] =
    L"このプロジェクトファイルはNULバイトを含んでいるため読み込めません。";

// Bound by name at the first call, as the platform interface asks.
LRESULT sendMessageAnsi(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    using Fn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
    static Fn fn = nullptr;
    static const bool bound =
        shell::bindByName(GetModuleHandleW(L"user32.dll"), "SendMessageA", fn);
    return bound ? fn(hwnd, msg, wParam, lParam) : 0;
}

void Text3_Change() {
    // Save needs a name, and a converted project: the notice is not a project to save.
    bool enable = !shell::getText(g_form1.text3).empty() && g_form1.upgraded;
    EnableWindow(g_form1.command1, enable);
}

void Text4_Change() {
    if (g_form1.chooser.file1ListIndex() < 0) {
        shell::setText(g_form1.text3, L"");
        return;
    }
    shell::setText(g_form1.text3,
                   saveName(g_form1.chooser.file1Name(), shell::getText(g_form1.text4)));
}

void File1_Click() {
    if (g_form1.chooser.file1ListIndex() < 0) return;
    std::wstring path = shell::joinPath(g_form1.chooser.filePath(), g_form1.chooser.file1Name(),
                                        shell::FolderEnd::kBackslashOrSlash);
    // Read first: a file that cannot be read leaves both boxes as they were.
    std::string bytes;
    DWORD error = 0;
    if (!shell::readWholeFile(path, bytes, error)) {
        messageBox(shell::systemErrorText(error), MB_ICONEXCLAMATION);
        return;
    }
    // The boxes take text only up to a NUL: the rest of the project would be lost, and a
    // save would write the shortened file.
    if (bytes.find('\0') != std::string::npos) {
        messageBox(kNulByteWarning, MB_ICONEXCLAMATION);
        return;
    }
    Conversion conversion = convertProject(splitLines(shell::fromAnsi(bytes)));

    Text4_Change();
    shell::setText(g_form1.text1, L"");
    shell::setText(g_form1.text2, L"");
    sendMessageAnsi(g_form1.text1, WM_SETREDRAW, 0, 0);
    sendMessageAnsi(g_form1.text2, WM_SETREDRAW, 0, 0);
    shell::appendText(g_form1.text1, conversion.original);
    shell::appendText(g_form1.text2, conversion.converted);
    g_form1.upgraded = conversion.upgraded;
    sendMessageAnsi(g_form1.text1, WM_SETREDRAW, 1, 0);
    sendMessageAnsi(g_form1.text2, WM_SETREDRAW, 1, 0);
    InvalidateRect(g_form1.text1, nullptr, TRUE);
    InvalidateRect(g_form1.text2, nullptr, TRUE);
    Text3_Change();
}

void Command1_Click() {
    if (!g_form1.upgraded) return;
    std::wstring path = shell::joinPath(g_form1.chooser.filePath(), shell::getText(g_form1.text3),
                                        shell::FolderEnd::kBackslashOrSlash);
    std::string bytes;
    shell::toAnsi(shell::getText(g_form1.text2) + L"\r\n", bytes, shell::AnsiMode::kBestFit);
    shell::Outcome outcome;
    {
        shell::BusyCursor busy;
        outcome = saveProject(path, bytes);
    }
    if (outcome.result != shell::Result::kDone) messageBox(outcome.text, outcome.icon);
}

void Form_Load(HWND hwnd) {
    using shell::Twips;
    g_form1.hwnd = hwnd;
    // Created in tab order; a label's access key goes to the control after it.
    shell::createLabel(hwnd, kIdLabel1, L"Dri&ve:", Twips{60, 0, 435, 180});
    g_form1.chooser.createDrive1(hwnd, Twips{60, 240, 2415, 300});
    shell::createLabel(hwnd, kIdLabel2, L"&Directory/Folder:", Twips{60, 660, 1305, 180});
    g_form1.chooser.createDir1(hwnd, Twips{60, 900, 2415, 1350});
    shell::createLabel(hwnd, kIdLabel3, L"&Project:", Twips{60, 2400, 570, 180});
    g_form1.chooser.createFile1(hwnd, Twips{60, 2640, 2415, 2790}, L"*.Vbp");
    g_form1.text1 = shell::createReadOnlyMemo(hwnd, kIdText1, Twips{2580, 60, 4995, 2295});
    g_form1.text2 = shell::createReadOnlyMemo(hwnd, kIdText2, Twips{2580, 2460, 4995, 2295});
    g_form1.command1 =
        shell::createButton(hwnd, kIdCommand1, L"&Save", Twips{6180, 5160, 1395, 315}, false);
    g_form1.text3 = shell::createTextBox(hwnd, kIdText3, L"", Twips{3600, 5160, 2415, 315});
    g_form1.text4 = shell::createTextBox(hwnd, kIdText4, L"_2", Twips{2580, 5160, 855, 315});
    HWND label4 = shell::createLabel(hwnd, kIdLabel4, L"&Extension:", Twips{2580, 4920, 780, 180});
    HWND label5 =
        shell::createLabel(hwnd, kIdLabel5, L"Save &File Name:", Twips{3600, 4920, 1245, 180});
    // These two labels come last in the tab order: their keys go to the box under them.
    shell::setLabelTarget(label4, g_form1.text4);
    shell::setLabelTarget(label5, g_form1.text3);
    g_form1.chooser.onFile1Click = File1_Click;
    g_form1.chooser.start();
}

LRESULT CALLBACK form1Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        Form_Load(hwnd);
        return 0;
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (g_form1.chooser.onCommand(wParam, lParam)) return 0;
        if (shell::handleMenuCommand(hwnd, id)) return 0;
        if (id == kIdText4 && code == EN_CHANGE) Text4_Change();
        if (id == kIdText3 && code == EN_CHANGE) Text3_Change();
        if (id == kIdCommand1 && code == BN_CLICKED) Command1_Click();
        return 0;
    }
    case WM_CTLCOLORSTATIC: {
        HBRUSH brush =
            shell::memoBackground(reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam));
        if (brush) return reinterpret_cast<LRESULT>(brush);
        break;
    }
    }
    // Form_Unload is the shell's default: the help viewer goes too, so the program ends.
    return shell::defFormProc(hwnd, msg, wParam, lParam);
}

} // namespace

} // namespace updater

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    return shell::runMainForm(instance, updater::kTool, updater::kClassName, updater::form1Proc,
                              7665, 5580, show);
}

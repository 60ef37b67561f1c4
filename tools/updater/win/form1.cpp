// KESTROM.EXE: upgrades a project file of the 1.x module set; Form1 and its handlers.
#include "form1_ids.h"
#include "project_rules.h"
#include "shell/replace_file.h"
#include "shell/shell.h"

namespace updater {

namespace {

const wchar_t kClassName[] = L"KestromForm1";
const wchar_t kNulByteWarning[] =
    L"このプロジェクトファイルはNULバイトを含んでいるため読み込めません。";

struct Form1 {
    HWND hwnd = nullptr;
    shell::FileChooser chooser;
    HWND text1 = nullptr, text2 = nullptr, text3 = nullptr, text4 = nullptr;
    HWND command1 = nullptr;
    long replaceCount = 0;
    bool upgraded = false; // Text2 holds a converted project (not the notice)
};

Form1 g_form;

// Bound by name at the first call, as the platform interface asks.
LRESULT sendMessageAnsi(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    using Fn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
    static Fn fn = reinterpret_cast<Fn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "SendMessageA")));
    return fn ? fn(hwnd, msg, wParam, lParam) : 0;
}

void warn(const std::wstring& text) {
    shell::showMessage(g_form.hwnd, text, MB_OK | MB_ICONEXCLAMATION, shell::kKestrom);
}

void Text3_Change() {
    // Save needs a name, and a converted project: the notice is not a project to save.
    bool enable = !shell::getText(g_form.text3).empty() && g_form.upgraded;
    EnableWindow(g_form.command1, enable);
}

void Text4_Change() {
    if (g_form.chooser.file1ListIndex() < 0) {
        shell::setText(g_form.text3, L"");
        return;
    }
    shell::setText(g_form.text3,
                   saveName(g_form.chooser.file1Name(), shell::getText(g_form.text4)));
}

void File1_Click() {
    if (g_form.chooser.file1ListIndex() < 0) return;
    std::wstring path = shell::joinPath(g_form.chooser.filePath(), g_form.chooser.file1Name(),
                                        shell::FolderEnd::kBackslashOrSlash);
    // Read first: a file that cannot be read leaves both boxes as they were.
    std::string bytes;
    DWORD error = 0;
    if (!shell::readWholeFile(path, bytes, error)) {
        warn(shell::systemErrorText(error));
        return;
    }
    // The boxes take text only up to a NUL: the rest of the project would be lost, and a
    // save would write the shortened file.
    if (bytes.find('\0') != std::string::npos) {
        warn(kNulByteWarning);
        return;
    }
    Conversion conversion = convertProject(splitLines(shell::fromAnsi(bytes)));

    Text4_Change();
    shell::setText(g_form.text1, L"");
    shell::setText(g_form.text2, L"");
    sendMessageAnsi(g_form.text1, WM_SETREDRAW, 0, 0);
    sendMessageAnsi(g_form.text2, WM_SETREDRAW, 0, 0);
    g_form.replaceCount = 0;
    shell::appendText(g_form.text1, conversion.original);
    shell::appendText(g_form.text2, conversion.converted);
    g_form.replaceCount = conversion.replaceCount;
    g_form.upgraded = conversion.upgraded;
    sendMessageAnsi(g_form.text1, WM_SETREDRAW, 1, 0);
    sendMessageAnsi(g_form.text2, WM_SETREDRAW, 1, 0);
    InvalidateRect(g_form.text1, nullptr, TRUE);
    InvalidateRect(g_form.text2, nullptr, TRUE);
    Text3_Change();
}

// The text goes into a temporary file beside the target, which takes the target's place
// only once it is complete: a full disk or a failed write leaves an existing file (the
// chosen project itself, with an empty suffix) untouched. 0, or the system's error code;
// `keptBoth` is the warning when neither file could be removed.
DWORD writeWholeFile(const std::wstring& path, const std::string& bytes, std::wstring& keptBoth) {
    shell::FileReplacement replacement(path);
    if (DWORD error = replacement.begin()) return error;
    HANDLE f = CreateFileW(replacement.temp().c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return GetLastError();
    DWORD done = 0;
    bool ok =
        WriteFile(f, bytes.data(), DWORD(bytes.size()), &done, nullptr) && done == bytes.size();
    DWORD error = ok ? 0 : (GetLastError() ? GetLastError() : ERROR_DISK_FULL);
    CloseHandle(f);
    if (error) return error;
    error = replacement.commit();
    keptBoth = replacement.keptBoth();
    return error;
}

void Command1_Click() {
    if (!g_form.upgraded) return;
    std::wstring path = shell::joinPath(g_form.chooser.filePath(), shell::getText(g_form.text3),
                                        shell::FolderEnd::kBackslashOrSlash);
    std::string bytes;
    shell::toAnsi(shell::getText(g_form.text2) + L"\r\n", bytes, shell::AnsiMode::kBestFit);
    std::wstring keptBoth;
    DWORD error = writeWholeFile(path, bytes, keptBoth);
    if (error) warn(keptBoth.empty() ? shell::systemErrorText(error) : keptBoth);
}

void Form_Load(HWND hwnd) {
    using shell::Twips;
    g_form.hwnd = hwnd;
    // Created in tab order.
    shell::createLabel(hwnd, kIdLabel1, L"Dri&ve:", Twips{60, 0, 435, 180});
    g_form.chooser.createDrive1(hwnd, Twips{60, 240, 2415, 300});
    shell::createLabel(hwnd, kIdLabel2, L"&Directory/Folder:", Twips{60, 660, 1305, 180});
    g_form.chooser.createDir1(hwnd, Twips{60, 900, 2415, 1350});
    shell::createLabel(hwnd, kIdLabel3, L"&Project:", Twips{60, 2400, 570, 180});
    g_form.chooser.createFile1(hwnd, Twips{60, 2640, 2415, 2790}, L"*.Vbp");
    g_form.text1 = shell::createReadOnlyMemo(hwnd, kIdText1, Twips{2580, 60, 4995, 2295});
    g_form.text2 = shell::createReadOnlyMemo(hwnd, kIdText2, Twips{2580, 2460, 4995, 2295});
    g_form.command1 =
        shell::createButton(hwnd, kIdCommand1, L"&Save", Twips{6180, 5160, 1395, 315}, false);
    g_form.text3 = shell::createTextBox(hwnd, kIdText3, L"", Twips{3600, 5160, 2415, 315});
    g_form.text4 = shell::createTextBox(hwnd, kIdText4, L"_2", Twips{2580, 5160, 855, 315});
    HWND label4 = shell::createLabel(hwnd, kIdLabel4, L"&Extension:", Twips{2580, 4920, 780, 180});
    HWND label5 =
        shell::createLabel(hwnd, kIdLabel5, L"Save &File Name:", Twips{3600, 4920, 1245, 180});
    // These two labels come last in the tab order: their keys go to the box under them.
    shell::setLabelTarget(label4, g_form.text4);
    shell::setLabelTarget(label5, g_form.text3);
    g_form.chooser.onFile1Click = File1_Click;
    g_form.chooser.start();
}

LRESULT CALLBACK form1Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        Form_Load(hwnd);
        return 0;
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (g_form.chooser.onCommand(wParam, lParam)) return 0;
        if (shell::handleMenuCommand(hwnd, id, shell::kKestrom)) return 0;
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
    return shell::runMainForm(instance, updater::kClassName, updater::form1Proc,
                              L"Kestrom - Project file converter", 7665, 5580, show);
}

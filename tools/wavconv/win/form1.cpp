// PURNIX.EXE: the main window Form1 and its event handlers.
#include <windows.h>

#include "shell/shell.h"

#include "conversion.h"
#include "convert.h"
#include "form1_ids.h"

namespace wavconv {

namespace {

const wchar_t kClassName[] = L"PurnixForm1";
const shell::ToolInfo& kTool = shell::kPurnix;

struct Form1 {
    HWND hwnd = nullptr;
    shell::FileChooser chooser;
    HWND text1 = nullptr;
    HWND text3 = nullptr;
    HWND command1 = nullptr;
} g_form;

void File1_Click() {
    Form1& f = g_form;
    if (f.chooser.file1ListIndex() < 0) {
        shell::setText(f.text3, L"");
        return;
    }
    shell::setText(f.text3, wavconv::streamNameFromFile(f.chooser.file1Name()));
}

void Text1_Change() {
    // A pattern the list refuses leaves it as it was, without a message.
    g_form.chooser.setFile1Pattern(shell::getText(g_form.text1));
}

void Command1_Click() {
    Form1& f = g_form;
    if (f.chooser.file1ListIndex() < 0) {
        shell::showMessage(f.hwnd, L"WAVEファイルを選択してください。", MB_OK | MB_ICONEXCLAMATION,
                           kTool);
        return;
    }
    const std::wstring folder = f.chooser.filePath();
    const std::wstring name = f.chooser.file1Name();
    const std::wstring wavPath = shell::joinPath(folder, name, shell::FolderEnd::kBackslashOnly);
    const std::wstring aviPath =
        shell::joinPath(folder, wavconv::outputFileName(name), shell::FolderEnd::kBackslashOnly);
    HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    wavconv::Outcome outcome = wavconv::convertWaveToAvi(wavPath, aviPath, shell::getText(f.text3));
    SetCursor(previous);
    shell::showMessage(f.hwnd, outcome.text, MB_OK | outcome.icon, kTool);
}

void Form_Load(HWND hwnd) {
    Form1& f = g_form;
    f.hwnd = hwnd;
    // Created in tab order.
    HWND label1 = shell::createLabel(hwnd, kIdLabel1, L"Dri&ve:", {60, 60, 435, 180});
    f.chooser.createDrive1(hwnd, {60, 300, 2475, 300});
    HWND label2 = shell::createLabel(hwnd, kIdLabel2, L"&Directory/Folder:", {60, 720, 1305, 180});
    f.chooser.createDir1(hwnd, {60, 960, 2475, 1980});
    HWND label3 = shell::createLabel(hwnd, kIdLabel3, L"File &pattern:", {60, 3000, 915, 180});
    f.text1 = shell::createTextBox(hwnd, kIdText1, L"*.wav", {60, 3240, 2475, 315});
    HWND label4 = shell::createLabel(hwnd, kIdLabel4, L"&Wave file:", {2700, 60, 735, 180});
    f.chooser.createFile1(hwnd, {2640, 300, 3375, 2610}, L"*.wav");
    HWND label6 = shell::createLabel(hwnd, kIdLabel6, L"Stream &name:", {2640, 3000, 1035, 180});
    f.text3 = shell::createTextBox(hwnd, kIdText3, L"", {2640, 3240, 3375, 315});
    f.command1 = shell::createButton(hwnd, kIdCommand1, L"&Convert Wave file into AVI file",
                                     {2640, 3660, 3375, 375});
    shell::setLabelTarget(label1, f.chooser.drive1);
    shell::setLabelTarget(label2, f.chooser.dir1);
    shell::setLabelTarget(label3, f.text1);
    shell::setLabelTarget(label4, f.chooser.file1);
    shell::setLabelTarget(label6, f.text3);
    f.chooser.onFile1Click = File1_Click;
    f.chooser.start();
}

LRESULT CALLBACK form1Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        Form_Load(hwnd);
        return 0;
    case WM_COMMAND: {
        int id = LOWORD(wParam);
        if (g_form.chooser.onCommand(wParam, lParam)) return 0;
        if (shell::handleMenuCommand(hwnd, id, kTool)) return 0;
        if (id == kIdText1 && HIWORD(wParam) == EN_CHANGE) {
            Text1_Change();
            return 0;
        }
        if (id == kIdCommand1 && HIWORD(wParam) == BN_CLICKED) {
            Command1_Click();
            return 0;
        }
        break;
    }
    }
    // Form_Unload is the shell's default: the help viewer would otherwise keep the program
    // alive.
    return shell::defFormProc(hwnd, msg, wParam, lParam);
}

} // namespace

} // namespace wavconv

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    return shell::runMainForm(instance, wavconv::kClassName, wavconv::form1Proc, L"Purnix", 6075,
                              4140, show);
}

// PURNIX.EXE: the main window Form1 and its event handlers.
#include "form1.h"

#include "shell/command_line.h"

#include "command.h"
#include "conversion.h"
#include "convert.h"
#include "form1_ids.h"

namespace wavconv {

Form1 g_form1;

namespace {

const wchar_t kClassName[] = L"PurnixForm1";

void File1_Click() {
    if (g_form1.chooser.file1ListIndex() < 0) {
        shell::setText(g_form1.text3, L"");
        return;
    }
    shell::setText(g_form1.text3, streamNameFromFile(g_form1.chooser.file1Name()));
}

void Text1_Change() {
    // A pattern the list refuses leaves it as it was, without a message.
    g_form1.chooser.setFile1Pattern(shell::getText(g_form1.text1));
}

void Command1_Click() {
    if (g_form1.chooser.file1ListIndex() < 0) {
        messageBox(L"WAVEファイルを選択してください。", MB_ICONEXCLAMATION);
        return;
    }
    const std::wstring folder = g_form1.chooser.filePath();
    const std::wstring name = g_form1.chooser.file1Name();
    const std::wstring wavPath = shell::joinPath(folder, name, shell::FolderEnd::kBackslashOnly);
    const std::wstring aviPath =
        shell::joinPath(folder, outputFileName(name), shell::FolderEnd::kBackslashOnly);
    shell::Outcome outcome;
    {
        shell::BusyCursor busy;
        outcome = convertWaveToAvi(wavPath, aviPath, shell::getText(g_form1.text3));
    }
    messageBox(outcome.text, outcome.icon);
}

void Form_Load(HWND hwnd) {
    using shell::Twips;
    g_form1.hwnd = hwnd;
    // Created in tab order; each label's access key goes to the control after it.
    shell::createLabel(hwnd, kIdLabel1, L"Dri&ve:", Twips{60, 60, 435, 180});
    g_form1.chooser.createDrive1(hwnd, Twips{60, 300, 2475, 300});
    shell::createLabel(hwnd, kIdLabel2, L"&Directory/Folder:", Twips{60, 720, 1305, 180});
    g_form1.chooser.createDir1(hwnd, Twips{60, 960, 2475, 1980});
    shell::createLabel(hwnd, kIdLabel3, L"File &pattern:", Twips{60, 3000, 915, 180});
    g_form1.text1 = shell::createTextBox(hwnd, kIdText1, L"*.wav", Twips{60, 3240, 2475, 315});
    shell::createLabel(hwnd, kIdLabel4, L"&Wave file:", Twips{2700, 60, 735, 180});
    g_form1.chooser.createFile1(hwnd, Twips{2640, 300, 3375, 2610}, L"*.wav");
    shell::createLabel(hwnd, kIdLabel6, L"Stream &name:", Twips{2640, 3000, 1035, 180});
    g_form1.text3 = shell::createTextBox(hwnd, kIdText3, L"", Twips{2640, 3240, 3375, 315});
    g_form1.command1 = shell::createButton(hwnd, kIdCommand1, L"&Convert Wave file into AVI file",
                                           Twips{2640, 3660, 3375, 375});
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
        if (id == kIdText1 && code == EN_CHANGE) Text1_Change();
        if (id == kIdCommand1 && code == BN_CLICKED) Command1_Click();
        return 0;
    }
    }
    // Form_Unload is the shell's default: the help viewer would otherwise keep the program
    // alive.
    return shell::defFormProc(hwnd, msg, wParam, lParam);
}

} // namespace

} // namespace wavconv

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    // With arguments the command line runs and no window is shown.
    const std::vector<std::wstring> args = shell::commandArguments();
    if (!args.empty()) return wavconv::runCommand(args);
    return shell::runMainForm(instance, wavconv::kTool, wavconv::kClassName, wavconv::form1Proc,
                              6075, 4140, show);
}

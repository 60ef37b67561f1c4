// TAMSEL.EXE: the main window Form1 and its event handlers.
#include "form1.h"

#include "command.h"
#include "compose.h"
#include "form1_ids.h"
#include "shell/command_line.h"

namespace compositor {

Form1 g_form1;

namespace {

const wchar_t kClassName[] = L"TamselForm1";

// The composition of the chosen files: the selections, the output name asked, then the run,
// whose progress shows in the caption and whose messages come up over the window.
void Command1_Click() {
    // The dialogs and the event pump before the save dispatch queued clicks: a second
    // composition must not start inside the first.
    if (g_form1.composing) return;
    struct Composing {
        Composing() { g_form1.composing = true; }
        ~Composing() { g_form1.composing = false; }
    } composing;
    ComposeRequest request;
    request.operation = g_form1.operation;
    request.owner = g_form1.hwnd;
    if (g_form1.chooser.file1ListIndex() < 0) {
        messageBox(L"ビデオAVIファイルを選択してください。", MB_ICONEXCLAMATION);
        return;
    }
    if (needsAudioFile(request.operation) && g_form1.chooser.file2ListIndex() < 0) {
        messageBox(L"オーディオAVIファイルを選択してください。", MB_ICONEXCLAMATION);
        return;
    }
    // Both lists show the folder of the folder list.
    const std::wstring folder =
        shell::joinPath(g_form1.chooser.filePath(), L"", shell::FolderEnd::kBackslashOnly);
    request.video = folder + g_form1.chooser.file1Name();
    if (needsAudioFile(request.operation)) request.audio = folder + g_form1.chooser.file2Name();
    // Cancel leaves the answer empty, like an empty answer: the run stops without a word.
    shell::inputBox(g_form1.hwnd, L"保存ファイル名を入力してください。", kTool.title, L"",
                    request.outputName);
    if (request.outputName.empty()) return;

    ComposeEvents events;
    events.progress = [](int percent) {
        SetWindowTextW(g_form1.hwnd, progressCaption(kTool.caption, percent).c_str());
    };
    events.notice = messageBox;
    shell::Outcome outcome = composeAvi(request, events);
    SetWindowTextW(g_form1.hwnd, kTool.caption);
    if (!outcome.text.empty()) messageBox(outcome.text, outcome.icon);
}

void Option1_Click(int index) {
    g_form1.operation = static_cast<AudioOperation>(index);
    // Add and Replace need the audio list; otherwise it looks and acts inactive and keeps
    // its selection.
    g_form1.chooser.setFile2Active(needsAudioFile(g_form1.operation));
}

void Form_Load(HWND hwnd) {
    using shell::Twips;
    g_form1.hwnd = hwnd;
    // Created in tab order; each label's access key goes to the list after it.
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

LRESULT CALLBACK form1Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE:
        Form_Load(hwnd);
        return 0;
    case WM_COMMAND: {
        int id = LOWORD(wParam), code = HIWORD(wParam);
        if (g_form1.chooser.onCommand(wParam, lParam)) return 0;
        if (shell::handleMenuCommand(hwnd, id)) return 0;
        if (id == kIdCommand1 && code == BN_CLICKED) Command1_Click();
        if (id >= kIdOption1_0 && id <= kIdOption1_3 && code == BN_CLICKED)
            Option1_Click(id - kIdOption1_0);
        return 0;
    }
    case WM_CTLCOLORLISTBOX:
        if (HBRUSH brush = g_form1.chooser.onCtlColorListBox(reinterpret_cast<HWND>(lParam),
                                                             reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    }
    // Form_Unload is the shell's default: the help viewer would otherwise keep the program
    // alive.
    return shell::defFormProc(hwnd, msg, wParam, lParam);
}

} // namespace

} // namespace compositor

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    // With arguments the command line runs and no window is shown.
    const std::vector<std::wstring> args = shell::commandArguments();
    if (!args.empty()) return compositor::runCommand(args);
    return shell::runMainForm(instance, compositor::kTool, compositor::kClassName,
                              compositor::form1Proc, 6120, 5055, show);
}

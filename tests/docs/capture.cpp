// Takes the pictures the user pages show: each program's window as it opens, one message box
// of each, TAMSEL's compression dialog, the About box, the help viewer and the sprites
// drawn keyed and translucent. Each program runs alone in the Japanese locale, and each
// picture is cropped to its window. Run by "./run docs" on its own virtual display.
//
//   docs_capture.exe UNIX-FOLDER
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>

#include "../../tools/compositor/win/form1_ids.h"
#include "../../tools/updater/win/form1.h"
#include "../../tools/wavconv/win/form1_ids.h"
#include "shell/shell.h"
#include "testdriver/driver.h"

namespace {

const std::wstring kJapanese = L"LC_ALL=ja_JP.UTF-8";
std::string g_out;
int g_failed = 0;

void shoot(HWND window, const char* name) {
    std::string path = g_out + "/" + name + ".png";
    if (window && td::windowShot(window, path)) {
        std::printf("%s\n", path.c_str());
    } else {
        std::fprintf(stderr, "docs_capture: %s was not taken\n", name);
        ++g_failed;
    }
}

// Takes the message box the program shows now, then presses its OK.
void shootBox(const td::App& app, const char* name) {
    HWND box = app.waitMessageBox();
    shoot(box, name);
    if (box) td::pressBoxButton(box, IDOK);
}

using Folder = const std::wstring&;

// Starts the program in a fresh folder that `prepare` fills, hands its main window (none
// when `caption` is null) to `act` and closes it. The folder is drive D: to the program, so
// the pictures show the same folder list whatever the temporary folder is called.
void withProgram(const wchar_t* exe, const wchar_t* caption,
                 const std::function<void(Folder)>& prepare,
                 const std::function<void(td::App&, HWND)>& act, const std::wstring& args = {}) {
    std::wstring folder = td::makeTempFolder(L"docs");
    prepare(folder);
    td::mapWineDrive(L'd', td::unixPath(folder));
    {
        // Through the Unix side for the locale; what a command line prints is not wanted.
        td::App app(exe, folder, {kJapanese}, "exec >/dev/null", args);
        HWND form = caption ? app.waitWindow(caption, 10000) : nullptr;
        if (caption && !form) {
            std::fprintf(stderr, "docs_capture: %ls did not open\n", exe);
            ++g_failed;
        } else {
            act(app, form);
        }
        if (form) td::close(form);
        app.waitExit(10000);
    }
    td::unmapWineDrive(L'd');
    td::removeTree(folder);
}

// Files from the test data of TAMSEL beside the program.
void copyVideos(Folder folder, std::initializer_list<const wchar_t*> names) {
    for (const wchar_t* name : names)
        CopyFileW(td::join(QUILLON_TAMSEL_DATA, name).c_str(), td::join(folder, name).c_str(),
                  FALSE);
}

// A WAV file of a tenth of a second of silence (16-bit mono, 22050 Hz).
std::string silence() {
    auto le = [](unsigned value, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i)
            out += char((value >> (8 * i)) & 0xFF);
        return out;
    };
    const unsigned data = 4410;
    return "RIFF" + le(36 + data, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(22050, 4) +
           le(44100, 4) + le(2, 2) + le(16, 2) + "data" + le(data, 4) + std::string(data, '\0');
}

void tamsel() {
    auto files = [](Folder folder) {
        td::copyBeside(L"TAMSEL.TXT", folder);
        copyVideos(folder, {L"v1.avi", L"v2.avi", L"audio2.avi"});
    };
    withProgram(L"TAMSEL.EXE", L"Tamsel", files, [](td::App& app, HWND form) {
        shoot(form, "tamsel");
        td::click(td::control(form, compositor::kIdCommand1));
        shootBox(app, "tamsel-message");
        td::chooseMenu(form, shell::kIdMenuAbout);
        shootBox(app, "about");
        td::chooseMenu(form, shell::kIdMenuHelp);
        HWND viewer = app.waitWindow(L"Tamsel の使い方");
        shoot(viewer, "help");
        if (viewer) td::close(viewer);
    });
    // The dialog the window shows after the output name, here without a window behind it.
    auto video = [](Folder folder) { copyVideos(folder, {L"v1.avi"}); };
    withProgram(
        L"TAMSEL.EXE", nullptr, video,
        [](td::App& app, HWND) {
            // A dialog box like a message box, the only one the program shows.
            HWND dialog = app.waitMessageBox(10000);
            shoot(dialog, "tamsel-compress");
            if (dialog) td::pressBoxButton(dialog, IDCANCEL);
        },
        L"/keep v1.avi /out docs /options");
}

void purnix() {
    auto sounds = [](Folder folder) {
        td::writeBytes(td::join(folder, L"music.wav"), silence());
        td::writeBytes(td::join(folder, L"voice.wav"), silence());
    };
    withProgram(L"PURNIX.EXE", L"Purnix", sounds, [](td::App& app, HWND form) {
        shoot(form, "purnix");
        td::click(td::control(form, wavconv::kIdCommand1));
        shootBox(app, "purnix-message");
    });
}

void kestrom() {
    auto projects = [](Folder folder) {
        td::writeBytes(td::join(folder, L"Game.vbp"), "Type=Exe\r\nModule=Main; QSNMAIN.BAS\r\n");
        // A project with a NUL byte: the warning a damaged file gets.
        td::writeBytes(td::join(folder, L"Damaged.vbp"), std::string("Type=Exe\r\n\0\r\n", 13));
    };
    withProgram(L"KESTROM.EXE", updater::kTool.caption, projects, [](td::App& app, HWND form) {
        shoot(form, "kestrom");
        td::selectListItem(td::control(form, shell::kIdFile1), L"Damaged.vbp");
        shootBox(app, "kestrom-message");
    });
}

void sprites() {
    withProgram(
        L"docs_sprites.exe", L"Keyed and translucent", [](Folder) {},
        [](td::App&, HWND form) { shoot(form, "sprites"); });
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: docs_capture.exe UNIX-FOLDER\n");
        return 2;
    }
    g_out = argv[1];
    tamsel();
    purnix();
    kestrom();
    sprites();
    return g_failed ? 1 : 0;
}

// GUI test driver for the tools' Windows-side GoogleTest programs: starts a program in a
// folder, finds its windows and controls, and acts on them with the messages a user's
// actions produce, so the program's own change and click handlers run.
// Its functions are named as every function here is (docs/dev-style.md).
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace td {

// ---- files and folders ---------------------------------------------------------------------
std::wstring exeFolder(); // folder of the running test program
std::wstring join(const std::wstring& folder, const std::wstring& name);
// A fresh empty folder under the system temp folder; removed by removeTree.
std::wstring makeTempFolder(const std::wstring& prefix);
void removeTree(const std::wstring& folder);
bool writeBytes(const std::wstring& path, const std::string& bytes);
bool readBytes(const std::wstring& path, std::string& bytes);
bool copyBeside(const std::wstring& name, const std::wstring& folder); // from exeFolder()
// What a folder holds: name -> bytes (empty for a subfolder).
std::map<std::wstring, std::string> folderContents(const std::wstring& folder);
// A fresh empty folder on the small file system that `./run test` mounts for tests of a
// full disk (QUILLON_SMALL_DISK); empty when the run has none. Removed by removeTree.
std::wstring smallDiskFolder(const std::wstring& prefix);
// Fills the file system of `folder` with the file "filler" until at most `leaveFree` bytes
// stay free.
bool fillDisk(const std::wstring& folder, unsigned long long leaveFree);
// Text between UTF-16 and any code page. Not the shell's toAnsi/fromAnsi: the driver checks
// the programs from outside and depends on none of their code.
std::string narrow(const std::wstring& s, UINT codePage = CP_UTF8);
std::wstring widen(const std::string& s, UINT codePage = CP_UTF8);
// Unix path of a Windows path (Z:\tmp\x -> /tmp/x), for the shell commands below.
std::string unixPath(const std::wstring& windowsPath);

// Runs a Unix command line through /bin/sh; returns its exit code (-1 if it did not run)
// and its output (stdout and stderr).
int runUnix(const std::string& command, std::string* output = nullptr, DWORD timeoutMs = 30000);

// Maps a Wine drive letter to a Unix path (which need not exist: a drive that cannot be
// read) through Wine's mount manager, so programs started afterwards list it. Unmapping
// removes the link; the letter may stay listed until the Wine server restarts.
bool mapWineDrive(wchar_t letter, const std::string& unixPath);
bool unmapWineDrive(wchar_t letter);

// ---- the program under test ------------------------------------------------------------------
class App {
  public:
    // Starts `exe` (a path, or a name beside the test program) with `folder` as its current
    // folder; waits until it is idle.
    // `env` sets Unix variables for the program ("LC_ALL=ja_JP.UTF-8" gives it the Japanese
    // ANSI code page under Wine): it is then started through the Unix side, since Wine
    // derives a process's locale from the Unix environment it was started in.
    // `unixSetup` runs in that shell just before the program (limits such as
    // "ulimit -f 1"); given alone, it also starts the program through the Unix side.
    // `args` follow the program's name on its command line (quoted by the caller);
    // `creationFlags` go to CreateProcessW when the program is started directly
    // (DETACHED_PROCESS: no standard handles and no console).
    App(const std::wstring& exe, const std::wstring& folder,
        const std::vector<std::wstring>& env = {}, const std::string& unixSetup = {},
        const std::wstring& args = {}, DWORD creationFlags = 0);
    ~App(); // closes its windows, then ends it if still running
    App(const App&) = delete;
    App& operator=(const App&) = delete;

    DWORD pid() const { return pi_.dwProcessId; }
    bool running() const;
    // Waits for the process to end; false on timeout. Exit code in *code.
    bool waitExit(DWORD timeoutMs, DWORD* code = nullptr);

    // A visible top-level window of this process by exact caption (class optional).
    HWND findWindowByCaption(const std::wstring& caption, const wchar_t* cls = nullptr) const;
    HWND waitWindow(const std::wstring& caption, DWORD timeoutMs = 5000,
                    const wchar_t* cls = nullptr) const;
    std::vector<HWND> topWindows() const; // visible top-level windows of the process

    // A message box or dialog (#32770) of this process other than `except` (a dialog it
    // opened over, or one just closed); null on timeout.
    HWND waitMessageBox(DWORD timeoutMs = 5000, HWND except = nullptr) const;
    // True if no message box appears within the time.
    bool noMessageBox(DWORD waitMs = 300) const;

  private:
    PROCESS_INFORMATION pi_ = {};
};

// ---- controls ----------------------------------------------------------------------------------
HWND control(HWND parent, int id);
// The n-th (0-based) child of a class, in creation order.
HWND controlByClass(HWND parent, const std::wstring& cls, int index = 0);
HWND controlByText(HWND parent, const std::wstring& text);
std::wstring text(HWND hwnd);
std::wstring classOf(HWND hwnd);
bool enabled(HWND hwnd);
// Rectangle in the parent's client coordinates.
RECT rectInParent(HWND child);
RECT clientRect(HWND hwnd);

// Waits until the window's thread has handled what was posted to it before, and what that
// posted in turn, a few steps deep: it posts a marker and waits until the program has taken
// it out of its queue (a message hook the driver sets on that thread tells).
void sync(HWND hwnd);
// A wait of ms stretched by QUILLON_WAIT_SCALE (a whole number, default 1): under user-mode
// emulation a 32-bit program starts and paints several times slower than natively.
DWORD patience(DWORD ms);
// Waits until pred() is true or the (stretched) time runs out; returns pred().
template <class Pred> bool waitFor(Pred pred, DWORD timeoutMs = 5000) {
    DWORD start = GetTickCount();
    timeoutMs = patience(timeoutMs);
    while (!pred()) {
        if (GetTickCount() - start > timeoutMs) return pred();
        Sleep(20);
    }
    return true;
}

// ---- list boxes and drop-down lists -----------------------------------------------------------
std::vector<std::wstring> listItems(HWND list);        // list box or combo box
int listIndex(HWND list);                              // selected entry, -1 with none
int findListItem(HWND list, const std::wstring& text); // exact, -1 if absent
// Selects an entry and raises the change event (LBN_SELCHANGE / CBN_SELCHANGE) at the
// parent, as a click by the user does. Posted: the handler runs in the program's time.
void selectListItem(HWND list, int index);
bool selectListItem(HWND list, const std::wstring& text);
// Double-click (LBN_DBLCLK) on an entry: a folder list opens it.
void doubleClickListItem(HWND list, int index);
bool doubleClickListItem(HWND list, const std::wstring& text);

// Folder list (Dir1): opens the subfolder `name` of the shown folder, or an ancestor row when
// `name` is the text of that row (e.g. "Z:\\" or "tmp"), by a double-click. False if no row
// shows that name.
bool openFolderRow(HWND dir1, const std::wstring& name);

// ---- buttons, menus, text boxes ----------------------------------------------------------------
// Posted BM_CLICK, like a mouse click: false (nothing sent) when the button is disabled
// or hidden, since a user cannot click it then.
bool click(HWND button);
void chooseMenu(HWND window, int commandId); // posted WM_COMMAND of a menu item
// Replaces a text box's text (WM_SETTEXT: the box raises its change event once).
void setText(HWND edit, const std::wstring& text);
// Types characters one by one (WM_CHAR each: one change event per keystroke).
void typeChars(HWND edit, const std::wstring& text);
void pressKey(HWND hwnd, UINT vk);      // posted WM_KEYDOWN/WM_KEYUP
void altKey(HWND hwnd, wchar_t letter); // posted WM_SYSCHAR: an access key
void close(HWND window);                // posted WM_CLOSE
HWND focus(HWND anyWindowOfThread);     // focus window of that window's thread

// ---- message and input boxes -------------------------------------------------------------------
struct Box {
    HWND hwnd = nullptr;
    std::wstring caption;
    std::wstring text; // the message (static 0xFFFF)
    int icon = 0;      // MB_ICONINFORMATION, MB_ICONEXCLAMATION, ... or 0 for none
    std::vector<std::wstring> buttons;
};
Box readBox(HWND box);
// Presses a button of a dialog (IDOK, IDCANCEL, ...) and waits for the dialog to close.
bool pressBoxButton(HWND box, int id, DWORD timeoutMs = 5000);
// Input box: the edit control's text and entering text into it.
HWND boxEdit(HWND box);

// Pixels of the window's client area as they are on screen now that are dark (text, lines):
// a box that shows text has some, a blank or unpainted one has none.
int darkPixels(HWND hwnd);

// ---- screenshots --------------------------------------------------------------------------------
// Saves the screen (the Wine desktop) as <name>.png in $QUILLON_SHOTS; returns the Unix
// path, or "" when no folder is set.
std::string screenshot(const std::string& name);
// Saves what the screen shows of the window's rectangle (frame included) as the PNG file
// `unixPng`, without time stamps; false when nothing was written.
bool windowShot(HWND hwnd, const std::string& unixPng);

} // namespace td

// The window furniture shared by TAMSEL, PURNIX and KESTROM: twips layout, the drive /
// folder / file chooser, the "&Option" menu with the About box, the help viewer, label
// access keys and the message loop. Plain Win32, Unicode inside.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "ansi_rules.h"
#include "path_rules.h"

namespace shell {

// ---- the program's own facts -------------------------------------------------------------
// Each program defines its own and hands it to runMainForm; the shell keeps it for the menu,
// the About box and message boxes.
struct ToolInfo {
    const wchar_t* title;                   // application title: caption of message boxes
    const wchar_t* caption;                 // the main form's caption
    std::vector<const wchar_t*> aboutLines; // joined by a single CR in the About box
    const wchar_t* aboutCaption;
    const wchar_t* helpCaption;
    const wchar_t* helpFile; // bare name, looked up in the process's current folder
};
// The last line of every About box.
inline constexpr wchar_t kCopyright[] = L"Copyright (C) 2026 the Quillon toolkit developers";
// The program's facts as handed to runMainForm.
const ToolInfo& tool();
// The warning for a file name the ANSI code page cannot hold exactly.
inline constexpr wchar_t kUnusableName[] = L"ファイル名に使えない文字があります。";

// ---- layout in twips ----------------------------------------------------------------------
struct Twips {
    int left, top, width, height;
};
int twipsToPixelsX(int twips); // scaled by the screen's real DPI (1440 twips per inch)
int twipsToPixelsY(int twips);
RECT toPixels(const Twips& t);

// The font of every control (Japanese proportional Gothic, 9 pt, Shift-JIS charset).
HFONT controlFont();
// The help viewer's font: the same face at 9.75 pt.
HFONT helpFont();

// Creates the main window with the "&Option" menu and the given client size in twips.
// The window class must be registered by the caller (its own window procedure). The form
// does not clip its children: a frame's option buttons are its siblings and lie over it.
HWND createForm(const wchar_t* className, const wchar_t* caption, int clientWidthTwips,
                int clientHeightTwips, HINSTANCE instance);

// Creates a child control at a twips rectangle, with the shared font. Creation order is
// tab order: create controls in the order the window's tab order lists them.
HWND createControl(HWND parent, int id, const wchar_t* className, const wchar_t* text, DWORD style,
                   DWORD exStyle, const Twips& rect);
// A label whose access key (the letter after "&") moves the focus to `target`, or to the
// next control that takes the focus when `target` is null (set it later with
// setLabelTarget once the target exists).
HWND createLabel(HWND parent, int id, const wchar_t* caption, const Twips& rect);
void setLabelTarget(HWND label, HWND target);
HWND createButton(HWND parent, int id, const wchar_t* caption, const Twips& rect,
                  bool enabled = true);
// One-line text box (ES_AUTOHSCROLL).
HWND createTextBox(HWND parent, int id, const wchar_t* text, const Twips& rect);
// Multi-line text box with a vertical scroll bar, read-only for the user.
HWND createReadOnlyMemo(HWND parent, int id, const Twips& rect);
// A frame (group box) and an option button inside it (rectangle relative to the frame).
HWND createFrame(HWND parent, int id, const wchar_t* caption, const Twips& rect);
HWND createOptionButton(HWND parent, int id, const wchar_t* caption, const Twips& frameRect,
                        const Twips& rectInFrame, bool firstOfGroup);

// Read-only memos stay white like a locked text box: call from WM_CTLCOLORSTATIC and
// return the result when it is non-null.
HBRUSH memoBackground(HWND control, HDC dc);

std::wstring getText(HWND control);
void setText(HWND control, const std::wstring& text);
// Appends at the end of an edit control (the caret after emptying it).
void appendText(HWND edit, const std::wstring& text);

// The program's own icon (its first icon resource), else the system's application icon.
HICON programIcon();

// ---- menu, About, Help ------------------------------------------------------------------------
enum : int {
    kIdMenuAbout = 9001,
    kIdMenuHelp = 9002,
};
// Handles WM_COMMAND of the "&Option" menu; true if it was one of its items.
bool handleMenuCommand(HWND form, int id);

// Looks `name` up in `dll` into the function pointer `fn`; false when it is missing.
template <class F> bool bindByName(HMODULE dll, const char* name, F& fn) {
    fn = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
    return fn != nullptr;
}

// The system's description of a Win32 error code, without the trailing line break.
std::wstring systemErrorText(DWORD code);
// True when both paths name one existing file (same volume and file index), whatever the
// spelling: letter case, "..", links.
bool sameFile(const std::wstring& a, const std::wstring& b);
// The text in the ANSI code page; false when `mode` is kExact and a character has no exact
// form, or when the conversion fails (see toAnsiWith).
bool toAnsi(const std::wstring& text, std::string& out, AnsiMode mode);
// ANSI code page bytes as text.
std::wstring fromAnsi(const std::string& bytes);
// Reads a whole file (below 1 GiB). False with the system's error code otherwise. `share`
// says what other programs may do with the file meanwhile.
bool readWholeFile(const std::wstring& path, std::string& bytes, DWORD& error,
                   DWORD share = FILE_SHARE_READ);
// Message box with the program's title unless a caption is given.
int showMessage(HWND owner, const std::wstring& text, UINT flags, const wchar_t* caption = nullptr);
// Message box over the main form (see runMainForm) with the program's title and OK;
// `icon` is MB_ICONEXCLAMATION, MB_ICONINFORMATION or 0.
void messageBox(const std::wstring& text, UINT icon);

// The hourglass over the program's windows while one lives (the shell's default window
// procedure answers WM_SETCURSOR with it); the arrow again afterwards.
class BusyCursor {
  public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

// Modal input box (a dialog of class #32770): the prompt (static id 0xFFFF, as in a message
// box), a one-line text box holding `initial`, OK and Cancel. True with the typed text on OK;
// false (text empty) on Cancel or when the box is closed.
bool inputBox(HWND owner, const std::wstring& prompt, const std::wstring& caption,
              const std::wstring& initial, std::wstring& text);

// ---- help viewer (frmHelp) --------------------------------------------------------------------
// Opens the modeless viewer over `owner` with the caption `caption`, reading `fileName` from
// the current folder unless the viewer already shows a text.
void showHelpDialog(HWND owner, const std::wstring& caption, const std::wstring& fileName);
void closeHelpWindow(); // Form_Unload of the main windows closes it

// ---- file chooser ------------------------------------------------------------------------------
enum : int {
    kIdDrive1 = 1001,
    kIdDir1 = 1002,
    kIdFile1 = 1003,
    kIdFile2 = 1004,
};

// Drive1 (drop-down list of drives), Dir1 (folder tree: double-click or Enter opens a
// folder) and File1/File2 (files of Dir1's folder matching a pattern; several patterns are
// separated by ";"). The caller creates the labels around them in tab order; the lists are
// created by the create* calls so the caller controls the order.
class FileChooser {
  public:
    HWND createDrive1(HWND parent, const Twips& rect);
    HWND createDir1(HWND parent, const Twips& rect);
    HWND createFile1(HWND parent, const Twips& rect, const std::wstring& pattern);
    HWND createFile2(HWND parent, const Twips& rect, const std::wstring& pattern);
    // Fills the lists from the process's current drive and folder; call once all exist.
    void start();

    // Forward WM_COMMAND here; true when it came from a chooser list.
    bool onCommand(WPARAM wParam, LPARAM lParam);

    // File1's click (a change of its selection).
    std::function<void()> onFile1Click;

    // The list properties as the tools use them.
    std::wstring drive() const; // e.g. "c:"
    std::wstring dirPath() const;
    std::wstring filePath() const; // File1's folder (equals dirPath() after Dir1_Change)
    int file1ListIndex() const;    // -1 with no selection
    int file2ListIndex() const;
    std::wstring file1Name() const; // selected entry, empty with none
    std::wstring file2Name() const;
    std::wstring file1Pattern() const { return pattern1_; }
    // Sets File1's pattern and refills it; false (and nothing changed) for a pattern the
    // list does not accept.
    bool setFile1Pattern(const std::wstring& pattern);

    // Sets Dir1 to a folder (raises Dir1_Change); false if it cannot be read.
    bool setDirPath(const std::wstring& path);

    // File2 active: File1's background colour and enabled; inactive: the window's background
    // colour and disabled. Its selection stays either way.
    void setFile2Active(bool active);
    // Forward WM_CTLCOLORLISTBOX here and return the brush when it is non-null.
    HBRUSH onCtlColorListBox(HWND list, HDC dc) const;

    HWND drive1 = nullptr, dir1 = nullptr, file1 = nullptr, file2 = nullptr;

  private:
    HWND createFileList(HWND parent, int id, const Twips& rect);
    void Drive1_Change();
    void Dir1_Change();
    void fillDrives(const std::wstring& current);
    void fillDir();
    void fillFiles(HWND list, const std::wstring& pattern);
    void openDirEntry(int index);
    std::wstring drivePath_; // drive shown by Drive1, "c:"
    std::wstring dirPath_;   // folder shown by Dir1
    std::wstring filePath_;  // folder of the file lists
    std::wstring pattern1_, pattern2_;
    std::vector<std::wstring> dirEntries_; // full path of every Dir1 row
    bool changingDrive_ = false;
    bool file2Active_ = true;
};

// ---- start-up ----------------------------------------------------------------------------------
// Process-wide settings, made first by runMainForm. Critical errors (a drive without a
// medium) come back to the caller as error codes instead of a system box, so the chooser
// can fall back silently. Flags the process was started with are kept.
void initProcess();

// The whole start-up of a program: keeps its facts (`tool`), process-wide settings, the
// main form's class (`proc`, arrow cursor, button-face background, the program's icon), the
// form with the tool's caption, the "&Option" menu and the given client size (counted
// open), then the message loop until the last window closes. Returns the exit code; 1 when
// the form cannot be created.
int runMainForm(HINSTANCE instance, const ToolInfo& tool, const wchar_t* className, WNDPROC proc,
                int clientWidthTwips, int clientHeightTwips, int show);

// ---- message loop ------------------------------------------------------------------------------
// Every top-level window of a tool counts itself closed (runMainForm and the help viewer
// count them open); the loop ends with the last.
void formClosed();
// The rest of a main form's window procedure: WM_CLOSE closes the help viewer (it would keep
// the program alive) and destroys the form, WM_DESTROY counts the form closed, WM_SETCURSOR
// shows the hourglass while a BusyCursor lives, anything else goes to DefWindowProcW.
LRESULT defFormProc(HWND form, UINT msg, WPARAM wParam, LPARAM lParam);
// Runs until the last window closes. Handles Tab navigation and access keys of labels and
// buttons for every window of the tool. Returns the exit code.
int runMessageLoop();

} // namespace shell

// A program's start-up: its facts, the process settings, the main form's class and icon.
#include "shell/shell.h"

#include "internal.h"

namespace shell {

namespace {

const ToolInfo* g_tool = nullptr;
HWND g_mainForm = nullptr;

BOOL CALLBACK firstIconName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* out = reinterpret_cast<std::wstring*>(param);
    *out = IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<UINT_PTR>(name)) : name;
    return FALSE;
}

} // namespace

const ToolInfo& tool() {
    static const ToolInfo none = {L"", L"", {}, L"", L"", L""};
    return g_tool ? *g_tool : none;
}

HWND mainForm() {
    return g_mainForm;
}

HICON programIcon() {
    static HICON icon = [] {
        HMODULE self = GetModuleHandleW(nullptr);
        std::wstring first;
        EnumResourceNamesW(self, reinterpret_cast<LPCWSTR>(RT_GROUP_ICON), firstIconName,
                           reinterpret_cast<LONG_PTR>(&first));
        HICON loaded = first.empty() ? nullptr : LoadIconW(self, first.c_str());
        return loaded ? loaded : LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    }();
    return icon;
}

void registerFormClass(HINSTANCE instance, const wchar_t* className, WNDPROC proc) {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hIcon = programIcon();
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className;
    RegisterClassW(&wc);
}

void initProcess() {
    UINT inherited = SetErrorMode(SEM_FAILCRITICALERRORS);
    SetErrorMode(inherited | SEM_FAILCRITICALERRORS);
}

int runMainForm(HINSTANCE instance, const ToolInfo& tool, const wchar_t* className, WNDPROC proc,
                int clientWidthTwips, int clientHeightTwips, int show) {
    g_tool = &tool;
    initProcess();
    registerFormClass(instance, className, proc);
    HWND form = createForm(className, tool.caption, clientWidthTwips, clientHeightTwips, instance);
    if (!form) return 1;
    g_mainForm = form;
    formOpened();
    ShowWindow(form, show);
    UpdateWindow(form);
    return runMessageLoop();
}

} // namespace shell

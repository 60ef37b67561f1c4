#include <windows.h>

#include "form1.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    shell::InitProcess();
    HWND form1 = create_form1(instance);
    if (!form1) return 1;
    ShowWindow(form1, show);
    UpdateWindow(form1);
    return shell::RunMessageLoop();
}

// The calling convention a VB Declare relies on: in the 32-bit DLL the callee pops its 32-bit
// arguments (stdcall), and in both DLLs the Integer-argument exports read only the low half
// of their argument.
#include <gtest/gtest.h>

#include <ddraw.h>

#include "quillon_dll.h"

using library_test::dll;

#ifdef __i386__
using library_test::bytesLeftOnStack;

namespace {

const void* exportNamed(const char* name) {
    return reinterpret_cast<const void*>(GetProcAddress(dll().module, name));
}

unsigned long call(const char* name, std::initializer_list<unsigned long> args,
                   unsigned long* left) {
    unsigned long result = 0;
    *left = bytesLeftOnStack(exportNamed(name), args.begin(),
                             static_cast<unsigned long>(args.size()), &result);
    return result;
}

} // namespace
#endif

TEST(Calling, TheCalleePopsItsArguments) {
#ifndef __i386__
    GTEST_SKIP() << "x64 has no stdcall: its one calling convention passes the first four "
                    "arguments in registers and the caller removes the rest, so there is no "
                    "callee pop to measure";
#else
    unsigned long left = 99;
    // The measuring helper itself tells a cdecl function apart.
    auto cdeclProbe = reinterpret_cast<const void*>(
        GetProcAddress(GetModuleHandleW(L"msvcrt.dll") ? GetModuleHandleW(L"msvcrt.dll")
                                                       : LoadLibraryW(L"msvcrt.dll"),
                       "labs"));
    ASSERT_NE(cdeclProbe, nullptr);
    const unsigned long minusFive = static_cast<unsigned long>(-5L);
    unsigned long absolute = 0;
    EXPECT_EQ(bytesLeftOnStack(cdeclProbe, &minusFive, 1, &absolute), 4u);
    EXPECT_EQ(absolute, 5u);

    EXPECT_EQ(call("ddGetBitDepth", {}, &left), 8u);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(call("ddSetBitDepth", {16}, &left), 1u);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(call("ddReleaseDC", {0, 0}, &left), 0u);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(call("ddInit", {0, 640, 480, 0}, &left), 0u);
    EXPECT_EQ(left, 0u);
    unsigned long guard[6] = {};
    EXPECT_EQ(call("ddEnumDisplayModes", {reinterpret_cast<unsigned long>(guard), 2}, &left), 0u);
    EXPECT_EQ(left, 0u);

    // An open context, so the calls do real work.
    HWND w = library_test::makeWindow(64, 64);
    EXPECT_EQ(call("ddInit", {reinterpret_cast<unsigned long>(w), 64, 64, 0}, &left), 1u);
    EXPECT_EQ(left, 0u);
    unsigned long surface = call("ddCreateSurface", {40, 30}, &left);
    EXPECT_NE(surface, 0u);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(call("ddGetWidth", {surface}, &left), 40u);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(call("ddUpdateWindow", {surface}, &left), 1u);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(call("ddReleaseSurface", {surface}, &left), 1u);
    EXPECT_EQ(left, 0u);
    EXPECT_EQ(call("ddQuit", {}, &left), 1u);
    EXPECT_EQ(left, 0u);
    DestroyWindow(w);
#endif
}

TEST(Calling, IntegerArgumentsReadOnlyTheLowHalf) {
    const auto& d = dll();
    EXPECT_EQ(d.ddSetBitDepth(15), 1);
    EXPECT_EQ(d.ddGetBitDepth(), 8);
    d.ddSetBitDepth(16);
    EXPECT_EQ(d.ddGetBitDepth(), 16);
    d.ddSetBitDepth(0x10010);
    EXPECT_EQ(d.ddGetBitDepth(), 16);
    d.ddSetBitDepth(static_cast<long>(0xABCD0020));
    EXPECT_EQ(d.ddGetBitDepth(), 32);
    d.ddSetBitDepth(static_cast<long>(0x00180000)); // 24 only in the high half
    EXPECT_EQ(d.ddGetBitDepth(), 8);
    d.ddSetBitDepth(24);
    EXPECT_EQ(d.ddGetBitDepth(), 24);
    d.ddSetBitDepth(8);

    // Capabilities: compare each slot's answer with the driver's own record.
    HWND w = library_test::makeWindow(64, 64);
    ASSERT_EQ(d.ddInit(w, 64, 64, 0), 1);
    auto* dd = reinterpret_cast<IDirectDraw2*>(d.ddGetDD());
    DDCAPS hardware = {}, emulation = {};
    hardware.dwSize = emulation.dwSize = sizeof(DDCAPS);
    ASSERT_EQ(dd->GetCaps(&hardware, nullptr), DD_OK);
    ASSERT_EQ(dd->GetCaps(nullptr, &emulation), DD_OK);
    long hwOverlay = (hardware.dwCaps & DDCAPS_OVERLAY) ? 1 : 0;
    long emOverlay = (emulation.dwCaps & DDCAPS_OVERLAY) ? 1 : 0;
    long hwWide = (hardware.dwCaps2 & DDCAPS2_WIDESURFACES) ? 1 : 0;
    long emWide = (emulation.dwCaps2 & DDCAPS2_WIDESURFACES) ? 1 : 0;
    for (long high : {0L, 0x10000L, static_cast<long>(0xFFFF0000)}) {
        SCOPED_TRACE(high);
        EXPECT_EQ(d.ddCanOverlay(high | 0), hwOverlay);
        EXPECT_EQ(d.ddCanOverlay(high | 1), emOverlay);
        EXPECT_EQ(d.ddCanOverlay(high | 0xFFFF), emOverlay); // VB's True
        EXPECT_EQ(d.ddCanWideSurface(high | 0), hwWide);
        EXPECT_EQ(d.ddCanWideSurface(high | 1), emWide);
    }
    // This driver reports wide surfaces in its second word, so the bit is really read.
    EXPECT_EQ(hwWide, 1);
    // Capability queries record nothing.
    d.ddFlip();
    long flipError = d.ddError();
    d.ddCanOverlay(0);
    d.ddCanWideSurface(1);
    EXPECT_EQ(d.ddError(), flipError);
    d.ddQuit();
    DestroyWindow(w);
}

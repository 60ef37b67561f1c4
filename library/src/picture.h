// A captured surface block as the caller's picture, owning its GDI bitmap and palette.
#pragma once

#include <windows.h>
#include <ocidl.h>

namespace quillon {

// Makes a bitmap picture that owns `bitmap` and `palette` (may be null): both are deleted
// exactly once, when the picture's last reference goes. On failure both are deleted at
// once and *out is left alone.
HRESULT createOwningPicture(HBITMAP bitmap, HPALETTE palette, IPictureDisp** out);

} // namespace quillon

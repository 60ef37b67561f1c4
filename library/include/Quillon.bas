Attribute VB_Name = "Quillon"
' Declarations of Quillon.dll for Visual Basic 4.0 (32-bit) and later.
' Surface and palette handles are Longs; 0 means none. Operations return 1 or 0.
' Put Quillon.dll beside your program (or in the system folder).
Option Explicit

Public Type QRECT
    Left As Long
    Top As Long
    Right As Long
    Bottom As Long
End Type

Public Type QPALETTEENTRY
    peRed As Byte
    peGreen As Byte
    peBlue As Byte
    peFlags As Byte
End Type

' Display context, queries and error number
Public Declare Function ddInit Lib "Quillon.dll" (ByVal hWnd As Long, ByVal Width As Long, ByVal Height As Long, ByVal Flags As Long) As Long
Public Declare Function ddQuit Lib "Quillon.dll" () As Long
Public Declare Function ddSetBitDepth Lib "Quillon.dll" (ByVal Bits As Integer) As Long
Public Declare Function ddGetBitDepth Lib "Quillon.dll" () As Long
Public Declare Function ddError Lib "Quillon.dll" () As Long
Public Declare Function ddGetDD Lib "Quillon.dll" () As Long
Public Declare Function ddGetPrimarySurface Lib "Quillon.dll" () As Long
Public Declare Function ddGetBackSurface Lib "Quillon.dll" () As Long
Public Declare Function ddIsModeX Lib "Quillon.dll" () As Long
Public Declare Function ddEnumDisplayModes Lib "Quillon.dll" (Modes As Long, ByVal MaxModes As Long) As Long
Public Declare Function GetBitsPixel Lib "Quillon.dll" () As Long
Public Declare Function ddCanOverlay Lib "Quillon.dll" (ByVal Emulation As Integer) As Long
Public Declare Function ddCanWideSurface Lib "Quillon.dll" (ByVal Emulation As Integer) As Long

' Surfaces and presentation (surface 0 = the back surface)
Public Declare Function ddCreateSurface Lib "Quillon.dll" (ByVal Width As Long, ByVal Height As Long) As Long
Public Declare Function ddReleaseSurface Lib "Quillon.dll" (ByVal Surface As Long) As Long
Public Declare Function ddFlip Lib "Quillon.dll" () As Long
Public Declare Function ddUpdateWindow Lib "Quillon.dll" (ByVal Source As Long) As Long
Public Declare Function ddAsyncUpdateWindow Lib "Quillon.dll" (ByVal Source As Long) As Long
Public Declare Function ddGetWidth Lib "Quillon.dll" (ByVal Surface As Long) As Long
Public Declare Function ddGetHeight Lib "Quillon.dll" (ByVal Surface As Long) As Long
Public Declare Function ddGetPitch Lib "Quillon.dll" (ByVal Surface As Long) As Long
Public Declare Function ddInVideoMemory Lib "Quillon.dll" (ByVal Surface As Long) As Long
Public Declare Function ddGetDC Lib "Quillon.dll" (ByVal Surface As Long) As Long
Public Declare Function ddReleaseDC Lib "Quillon.dll" (ByVal Surface As Long, ByVal hDC As Long) As Long
Public Declare Function ddWaitVBBegin Lib "Quillon.dll" () As Long
Public Declare Function ddWaitVBEnd Lib "Quillon.dll" () As Long

' Blits and fills (Dest 0 = the back surface; colours are pixel values from ddColor)
Public Declare Function ddBlt Lib "Quillon.dll" (ByVal Dest As Long, DestRect As Any, ByVal Src As Long, SrcRect As Any, ByVal ColorKey As Long) As Long
Public Declare Function ddBitBlt Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddSafeBitBlt Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal DestLimitX As Long, ByVal DestLimitY As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcLimitX As Long, ByVal SrcLimitY As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddStretchBlt Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcWidth As Long, ByVal SrcHeight As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddBltFX Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcWidth As Long, ByVal SrcHeight As Long, ByVal Rop As Long, ByVal FX As Long) As Long
Public Declare Function ddBltFast Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddSafeBltFast Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal DestLimitX As Long, ByVal DestLimitY As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcLimitX As Long, ByVal SrcLimitY As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddFillBlt Lib "Quillon.dll" (ByVal Surface As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Color As Long) As Long
Public Declare Function ddSafeFillBlt Lib "Quillon.dll" (ByVal Surface As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal LimitX As Long, ByVal LimitY As Long, ByVal Color As Long) As Long
Public Declare Function ddClear Lib "Quillon.dll" (ByVal Surface As Long, ByVal Color As Long) As Long

' Palettes (Surface 0 = the primary surface)
Public Declare Function ddCreatePalette Lib "Quillon.dll" (Entries As QPALETTEENTRY) As Long
Public Declare Function ddCreateDefPalette Lib "Quillon.dll" () As Long
Public Declare Function ddCopyPalette Lib "Quillon.dll" (ByVal hPalette As Long) As Long
Public Declare Function ddCopySystemPalette Lib "Quillon.dll" () As Long
Public Declare Function ddCreatePaletteFromFile Lib "Quillon.dll" (ByVal FileName As String) As Long
Public Declare Function ddCreatePaletteFromResource Lib "Quillon.dll" (ByVal hInstance As Long, ByVal ResName As String) As Long
Public Declare Function ddSetPalette Lib "Quillon.dll" (ByVal Surface As Long, ByVal Palette As Long) As Long
Public Declare Function ddGetPalette Lib "Quillon.dll" (ByVal Surface As Long) As Long
Public Declare Function ddReleasePalette Lib "Quillon.dll" (ByVal Palette As Long) As Long
Public Declare Function ddGetPaletteEntries Lib "Quillon.dll" (ByVal Palette As Long, ByVal First As Long, ByVal Count As Long, Entries As QPALETTEENTRY) As Long
Public Declare Function ddSetPaletteEntries Lib "Quillon.dll" (ByVal Palette As Long, ByVal First As Long, ByVal Count As Long, Entries As QPALETTEENTRY) As Long

' Colours and colour keys (RGB as from the RGB() function; Surface 0 = the primary surface)
Public Declare Function ddColor Lib "Quillon.dll" (ByVal RGBColor As Long) As Long
Public Declare Function ddColorEx Lib "Quillon.dll" (ByVal RGBColor As Long, ByVal Surface As Long) As Long
Public Declare Function ddSetColorKey Lib "Quillon.dll" (ByVal Surface As Long, ByVal Key As Long) As Long
Public Declare Function ddGetColorKey Lib "Quillon.dll" (ByVal Surface As Long) As Long

' Bitmaps, pictures and raw pixels (Surface 0 = the back surface)
Public Declare Function GetBitmapWidth Lib "Quillon.dll" (ByVal hBitmap As Long) As Long
Public Declare Function GetBitmapHeight Lib "Quillon.dll" (ByVal hBitmap As Long) As Long
Public Declare Function ddBitmapBlt Lib "Quillon.dll" (ByVal Surface As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal hBitmap As Long, ByVal SrcX As Long, ByVal SrcY As Long) As Long
Public Declare Function ddCreateSurfaceFromBitmap Lib "Quillon.dll" (ByVal hBitmap As Long) As Long
Public Declare Function ddCreateSurfaceFromFile Lib "Quillon.dll" (ByVal FileName As String) As Long
Public Declare Function ddCreateSurfaceFromResource Lib "Quillon.dll" (ByVal hInstance As Long, ByVal ResName As String) As Long
Public Declare Function ddGetSurfaceImage Lib "Quillon.dll" (Picture As StdPicture, ByVal Surface As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal Width As Long, ByVal Height As Long) As Long
Public Declare Function ddGetSurfaceData Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As Long) As Long
Public Declare Function ddSetSurfaceData Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As Long) As Long
Public Declare Function ddGetSurfaceData2 Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As Long, ByVal Offset As Long) As Long
Public Declare Function ddSetSurfaceData2 Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As Long, ByVal Offset As Long) As Long
Public Declare Function ddGetSurfaceBitCount Lib "Quillon.dll" () As Long

' Frame timer
Public Declare Function SetTimeKeeper Lib "Quillon.dll" (ByVal Interval As Long) As Long
Public Declare Function IsTimeElapsed Lib "Quillon.dll" () As Long
Public Declare Function WaitTimeElapsed Lib "Quillon.dll" () As Long

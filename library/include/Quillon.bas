Attribute VB_Name = "Quillon"
' Declarations of Quillon.dll for Visual Basic 4.0 (32-bit) to 6.0 and for VBA.
' VB4 to VB6 compile the classic Declare lines (#Else): every handle is a Long.
' VBA7 (Office 2010 and later) compiles the PtrSafe lines: handles are LongPtr, 4 bytes
' in 32-bit Office (use the 32-bit Quillon.dll) and 8 bytes in 64-bit Office (use the
' 64-bit Quillon.dll from the x64 folder). Keep surface, palette and device-context
' handles in variables of that type; 0 means none. Operations return 1 or 0.
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
#If VBA7 Then
Public Declare PtrSafe Function ddInit Lib "Quillon.dll" (ByVal hWnd As LongPtr, ByVal Width As Long, ByVal Height As Long, ByVal Flags As Long) As Long
Public Declare PtrSafe Function ddQuit Lib "Quillon.dll" () As Long
Public Declare PtrSafe Function ddSetBitDepth Lib "Quillon.dll" (ByVal Bits As Integer) As Long
Public Declare PtrSafe Function ddGetBitDepth Lib "Quillon.dll" () As Long
Public Declare PtrSafe Function ddError Lib "Quillon.dll" () As Long
Public Declare PtrSafe Function ddGetDD Lib "Quillon.dll" () As LongPtr
Public Declare PtrSafe Function ddGetPrimarySurface Lib "Quillon.dll" () As LongPtr
Public Declare PtrSafe Function ddGetBackSurface Lib "Quillon.dll" () As LongPtr
Public Declare PtrSafe Function ddIsModeX Lib "Quillon.dll" () As Long
Public Declare PtrSafe Function ddEnumDisplayModes Lib "Quillon.dll" (Modes As Long, ByVal MaxModes As Long) As Long
Public Declare PtrSafe Function GetBitsPixel Lib "Quillon.dll" () As Long
Public Declare PtrSafe Function ddCanOverlay Lib "Quillon.dll" (ByVal Emulation As Integer) As Long
Public Declare PtrSafe Function ddCanWideSurface Lib "Quillon.dll" (ByVal Emulation As Integer) As Long
#Else
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
#End If

' Surfaces and presentation (surface 0 = the back surface)
#If VBA7 Then
Public Declare PtrSafe Function ddCreateSurface Lib "Quillon.dll" (ByVal Width As Long, ByVal Height As Long) As LongPtr
Public Declare PtrSafe Function ddReleaseSurface Lib "Quillon.dll" (ByVal Surface As LongPtr) As Long
Public Declare PtrSafe Function ddFlip Lib "Quillon.dll" () As Long
Public Declare PtrSafe Function ddUpdateWindow Lib "Quillon.dll" (ByVal Source As LongPtr) As Long
Public Declare PtrSafe Function ddAsyncUpdateWindow Lib "Quillon.dll" (ByVal Source As LongPtr) As Long
Public Declare PtrSafe Function ddGetWidth Lib "Quillon.dll" (ByVal Surface As LongPtr) As Long
Public Declare PtrSafe Function ddGetHeight Lib "Quillon.dll" (ByVal Surface As LongPtr) As Long
Public Declare PtrSafe Function ddGetPitch Lib "Quillon.dll" (ByVal Surface As LongPtr) As Long
Public Declare PtrSafe Function ddInVideoMemory Lib "Quillon.dll" (ByVal Surface As LongPtr) As Long
Public Declare PtrSafe Function ddGetDC Lib "Quillon.dll" (ByVal Surface As LongPtr) As LongPtr
Public Declare PtrSafe Function ddReleaseDC Lib "Quillon.dll" (ByVal Surface As LongPtr, ByVal hDC As LongPtr) As Long
Public Declare PtrSafe Function ddWaitVBBegin Lib "Quillon.dll" () As Long
Public Declare PtrSafe Function ddWaitVBEnd Lib "Quillon.dll" () As Long
#Else
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
#End If

' Blits and fills (Dest 0 = the back surface; colours are pixel values from ddColor;
' Opacity 0 to 255 for the translucent blits)
#If VBA7 Then
Public Declare PtrSafe Function ddBlt Lib "Quillon.dll" (ByVal Dest As LongPtr, DestRect As Any, ByVal Src As LongPtr, SrcRect As Any, ByVal ColorKey As Long) As Long
Public Declare PtrSafe Function ddBitBlt Lib "Quillon.dll" (ByVal Dest As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long, ByVal ColorKey As Long) As Long
Public Declare PtrSafe Function ddSafeBitBlt Lib "Quillon.dll" (ByVal Dest As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal DestLimitX As Long, ByVal DestLimitY As Long, ByVal Src As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcLimitX As Long, ByVal SrcLimitY As Long, ByVal ColorKey As Long) As Long
Public Declare PtrSafe Function ddStretchBlt Lib "Quillon.dll" (ByVal Dest As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcWidth As Long, ByVal SrcHeight As Long, ByVal ColorKey As Long) As Long
Public Declare PtrSafe Function ddBltFX Lib "Quillon.dll" (ByVal Dest As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcWidth As Long, ByVal SrcHeight As Long, ByVal Rop As Long, ByVal FX As Long) As Long
Public Declare PtrSafe Function ddBltFast Lib "Quillon.dll" (ByVal Dest As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long, ByVal ColorKey As Long) As Long
Public Declare PtrSafe Function ddSafeBltFast Lib "Quillon.dll" (ByVal Dest As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal DestLimitX As Long, ByVal DestLimitY As Long, ByVal Src As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcLimitX As Long, ByVal SrcLimitY As Long, ByVal ColorKey As Long) As Long
Public Declare PtrSafe Function ddAlphaBlt Lib "Quillon.dll" (ByVal Dest As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long, ByVal Opacity As Long) As Long
Public Declare PtrSafe Function ddSafeAlphaBlt Lib "Quillon.dll" (ByVal Dest As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal DestLimitX As Long, ByVal DestLimitY As Long, ByVal Src As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcLimitX As Long, ByVal SrcLimitY As Long, ByVal Opacity As Long) As Long
Public Declare PtrSafe Function ddFillBlt Lib "Quillon.dll" (ByVal Surface As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Color As Long) As Long
Public Declare PtrSafe Function ddSafeFillBlt Lib "Quillon.dll" (ByVal Surface As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal LimitX As Long, ByVal LimitY As Long, ByVal Color As Long) As Long
Public Declare PtrSafe Function ddClear Lib "Quillon.dll" (ByVal Surface As LongPtr, ByVal Color As Long) As Long
#Else
Public Declare Function ddBlt Lib "Quillon.dll" (ByVal Dest As Long, DestRect As Any, ByVal Src As Long, SrcRect As Any, ByVal ColorKey As Long) As Long
Public Declare Function ddBitBlt Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddSafeBitBlt Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal DestLimitX As Long, ByVal DestLimitY As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcLimitX As Long, ByVal SrcLimitY As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddStretchBlt Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcWidth As Long, ByVal SrcHeight As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddBltFX Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcWidth As Long, ByVal SrcHeight As Long, ByVal Rop As Long, ByVal FX As Long) As Long
Public Declare Function ddBltFast Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddSafeBltFast Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal DestLimitX As Long, ByVal DestLimitY As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcLimitX As Long, ByVal SrcLimitY As Long, ByVal ColorKey As Long) As Long
Public Declare Function ddAlphaBlt Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal Opacity As Long) As Long
Public Declare Function ddSafeAlphaBlt Lib "Quillon.dll" (ByVal Dest As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal DestLimitX As Long, ByVal DestLimitY As Long, ByVal Src As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal SrcLimitX As Long, ByVal SrcLimitY As Long, ByVal Opacity As Long) As Long
Public Declare Function ddFillBlt Lib "Quillon.dll" (ByVal Surface As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal Color As Long) As Long
Public Declare Function ddSafeFillBlt Lib "Quillon.dll" (ByVal Surface As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal LimitX As Long, ByVal LimitY As Long, ByVal Color As Long) As Long
Public Declare Function ddClear Lib "Quillon.dll" (ByVal Surface As Long, ByVal Color As Long) As Long
#End If

' Palettes (Surface 0 = the primary surface)
#If VBA7 Then
Public Declare PtrSafe Function ddCreatePalette Lib "Quillon.dll" (Entries As QPALETTEENTRY) As LongPtr
Public Declare PtrSafe Function ddCreateDefPalette Lib "Quillon.dll" () As LongPtr
Public Declare PtrSafe Function ddCopyPalette Lib "Quillon.dll" (ByVal hPalette As LongPtr) As LongPtr
Public Declare PtrSafe Function ddCopySystemPalette Lib "Quillon.dll" () As LongPtr
Public Declare PtrSafe Function ddCreatePaletteFromFile Lib "Quillon.dll" (ByVal FileName As String) As LongPtr
Public Declare PtrSafe Function ddCreatePaletteFromResource Lib "Quillon.dll" (ByVal hInstance As LongPtr, ByVal ResName As String) As LongPtr
Public Declare PtrSafe Function ddSetPalette Lib "Quillon.dll" (ByVal Surface As LongPtr, ByVal Palette As LongPtr) As Long
Public Declare PtrSafe Function ddGetPalette Lib "Quillon.dll" (ByVal Surface As LongPtr) As LongPtr
Public Declare PtrSafe Function ddReleasePalette Lib "Quillon.dll" (ByVal Palette As LongPtr) As Long
Public Declare PtrSafe Function ddGetPaletteEntries Lib "Quillon.dll" (ByVal Palette As LongPtr, ByVal First As Long, ByVal Count As Long, Entries As QPALETTEENTRY) As Long
Public Declare PtrSafe Function ddSetPaletteEntries Lib "Quillon.dll" (ByVal Palette As LongPtr, ByVal First As Long, ByVal Count As Long, Entries As QPALETTEENTRY) As Long
#Else
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
#End If

' Colours and colour keys (RGB as from the RGB() function; Surface 0 = the primary surface)
#If VBA7 Then
Public Declare PtrSafe Function ddColor Lib "Quillon.dll" (ByVal RGBColor As Long) As Long
Public Declare PtrSafe Function ddColorEx Lib "Quillon.dll" (ByVal RGBColor As Long, ByVal Surface As LongPtr) As Long
Public Declare PtrSafe Function ddSetColorKey Lib "Quillon.dll" (ByVal Surface As LongPtr, ByVal Key As Long) As Long
Public Declare PtrSafe Function ddGetColorKey Lib "Quillon.dll" (ByVal Surface As LongPtr) As Long
#Else
Public Declare Function ddColor Lib "Quillon.dll" (ByVal RGBColor As Long) As Long
Public Declare Function ddColorEx Lib "Quillon.dll" (ByVal RGBColor As Long, ByVal Surface As Long) As Long
Public Declare Function ddSetColorKey Lib "Quillon.dll" (ByVal Surface As Long, ByVal Key As Long) As Long
Public Declare Function ddGetColorKey Lib "Quillon.dll" (ByVal Surface As Long) As Long
#End If

' Bitmaps, pictures and raw pixels (Surface 0 = the back surface)
#If VBA7 Then
Public Declare PtrSafe Function GetBitmapWidth Lib "Quillon.dll" (ByVal hBitmap As LongPtr) As Long
Public Declare PtrSafe Function GetBitmapHeight Lib "Quillon.dll" (ByVal hBitmap As LongPtr) As Long
Public Declare PtrSafe Function ddBitmapBlt Lib "Quillon.dll" (ByVal Surface As LongPtr, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal hBitmap As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long) As Long
Public Declare PtrSafe Function ddCreateSurfaceFromBitmap Lib "Quillon.dll" (ByVal hBitmap As LongPtr) As LongPtr
Public Declare PtrSafe Function ddCreateSurfaceFromFile Lib "Quillon.dll" (ByVal FileName As String) As LongPtr
Public Declare PtrSafe Function ddCreateSurfaceFromResource Lib "Quillon.dll" (ByVal hInstance As LongPtr, ByVal ResName As String) As LongPtr
Public Declare PtrSafe Function ddCreateSurfaceFromImage Lib "Quillon.dll" (ByVal FileName As String) As LongPtr
Public Declare PtrSafe Function ddCreateSurfaceFromImageData Lib "Quillon.dll" (Data As Any, ByVal ByteCount As Long) As LongPtr
Public Declare PtrSafe Function ddCreateAlphaSurfaceFromImage Lib "Quillon.dll" (ByVal FileName As String) As LongPtr
Public Declare PtrSafe Function ddCreateAlphaSurfaceFromImageData Lib "Quillon.dll" (Data As Any, ByVal ByteCount As Long) As LongPtr
Public Declare PtrSafe Function ddGetSurfaceImage Lib "Quillon.dll" (Picture As StdPicture, ByVal Surface As LongPtr, ByVal SrcX As Long, ByVal SrcY As Long, ByVal Width As Long, ByVal Height As Long) As Long
Public Declare PtrSafe Function ddGetSurfaceData Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As LongPtr) As Long
Public Declare PtrSafe Function ddSetSurfaceData Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As LongPtr) As Long
Public Declare PtrSafe Function ddGetSurfaceData2 Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As LongPtr, ByVal Offset As Long) As Long
Public Declare PtrSafe Function ddSetSurfaceData2 Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As LongPtr, ByVal Offset As Long) As Long
Public Declare PtrSafe Function ddGetSurfaceBitCount Lib "Quillon.dll" () As Long
#Else
Public Declare Function GetBitmapWidth Lib "Quillon.dll" (ByVal hBitmap As Long) As Long
Public Declare Function GetBitmapHeight Lib "Quillon.dll" (ByVal hBitmap As Long) As Long
Public Declare Function ddBitmapBlt Lib "Quillon.dll" (ByVal Surface As Long, ByVal X As Long, ByVal Y As Long, ByVal Width As Long, ByVal Height As Long, ByVal hBitmap As Long, ByVal SrcX As Long, ByVal SrcY As Long) As Long
Public Declare Function ddCreateSurfaceFromBitmap Lib "Quillon.dll" (ByVal hBitmap As Long) As Long
Public Declare Function ddCreateSurfaceFromFile Lib "Quillon.dll" (ByVal FileName As String) As Long
Public Declare Function ddCreateSurfaceFromResource Lib "Quillon.dll" (ByVal hInstance As Long, ByVal ResName As String) As Long
Public Declare Function ddCreateSurfaceFromImage Lib "Quillon.dll" (ByVal FileName As String) As Long
Public Declare Function ddCreateSurfaceFromImageData Lib "Quillon.dll" (Data As Any, ByVal ByteCount As Long) As Long
Public Declare Function ddCreateAlphaSurfaceFromImage Lib "Quillon.dll" (ByVal FileName As String) As Long
Public Declare Function ddCreateAlphaSurfaceFromImageData Lib "Quillon.dll" (Data As Any, ByVal ByteCount As Long) As Long
Public Declare Function ddGetSurfaceImage Lib "Quillon.dll" (Picture As StdPicture, ByVal Surface As Long, ByVal SrcX As Long, ByVal SrcY As Long, ByVal Width As Long, ByVal Height As Long) As Long
Public Declare Function ddGetSurfaceData Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As Long) As Long
Public Declare Function ddSetSurfaceData Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As Long) As Long
Public Declare Function ddGetSurfaceData2 Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As Long, ByVal Offset As Long) As Long
Public Declare Function ddSetSurfaceData2 Lib "Quillon.dll" (Buffer As Any, ByVal Count As Long, ByVal Surface As Long, ByVal Offset As Long) As Long
Public Declare Function ddGetSurfaceBitCount Lib "Quillon.dll" () As Long
#End If

' Frame timer
#If VBA7 Then
Public Declare PtrSafe Function SetTimeKeeper Lib "Quillon.dll" (ByVal Interval As Long) As Long
Public Declare PtrSafe Function IsTimeElapsed Lib "Quillon.dll" () As Long
Public Declare PtrSafe Function WaitTimeElapsed Lib "Quillon.dll" () As Long
#Else
Public Declare Function SetTimeKeeper Lib "Quillon.dll" (ByVal Interval As Long) As Long
Public Declare Function IsTimeElapsed Lib "Quillon.dll" () As Long
Public Declare Function WaitTimeElapsed Lib "Quillon.dll" () As Long
#End If

Attribute VB_Name = "Game"
' The sample's game: a windowed display context on the form, a sprite sheet loaded from
' a bitmap file (its top-left pixel's colour becomes transparent) and one more sprite from
' a PNG file (its alpha channel says what is transparent), bouncing sprites drawn
' with keyed, clipped blits over a filled sky and ground, a soft glow from a second PNG
' blended by its alpha, each frame shown in the window and paced by the frame timer. Esc
' or closing the window ends it.
Option Explicit

Public Const SCREEN_W = 640
Public Const SCREEN_H = 480
Private Const SPRITE_SIZE = 32
Private Const SPRITE_COUNT = 24
Private Const GROUND_H = 40
Private Const FRAME_MS = 16             ' about 60 frames a second

' Set False by Esc or by closing the window; the loop then ends and cleans up.
Public Running As Boolean

Private Type Sprite
    X As Long
    Y As Long
    DX As Long
    DY As Long
    Cell As Long
End Type

Public Sub Main()
    Load frmMain
    frmMain.Show
    DoEvents
    RunGame frmMain
    Unload frmMain
End Sub

Private Sub RunGame(Target As Form)
    Dim Sheet As Long, SheetW As Long, SheetH As Long, Cells As Long, Ball As Long
    Dim Glow As Long, GlowX As Long
    Dim Sky As Long, Ground As Long
    Dim Sprites(SPRITE_COUNT - 1) As Sprite
    Dim I As Long, Frames As Long

    ' Windowed (flags 0): the form's client area becomes SCREEN_W x SCREEN_H.
    If ddInit(Target.hWnd, SCREEN_W, SCREEN_H, 0) = 0 Then
        MsgBox "Cannot open the display (DirectDraw error " & ddError() & ").", vbExclamation
        Exit Sub
    End If

    Sheet = ddCreateSurfaceFromFile(App.Path & "\sprites.bmp")
    If Sheet = 0 Then
        ddQuit
        MsgBox "Cannot load " & App.Path & "\sprites.bmp.", vbExclamation
        Exit Sub
    End If
    SheetW = ddGetWidth(Sheet)
    SheetH = ddGetHeight(Sheet)
    Cells = SheetW \ SPRITE_SIZE

    ' A PNG keeps its transparency: pixels with alpha below 128 are left out by keyed
    ' blits, every other pixel is drawn (its magenta ring too).
    Ball = ddCreateSurfaceFromImage(App.Path & "\ball.png")
    If Ball = 0 Then
        ddReleaseSurface Sheet
        ddQuit
        MsgBox "Cannot load " & App.Path & "\ball.png.", vbExclamation
        Exit Sub
    End If

    ' An alpha surface keeps every pixel's alpha: its soft edge is blended, not cut.
    Glow = ddCreateAlphaSurfaceFromImage(App.Path & "\glow.png")
    If Glow = 0 Then
        ddReleaseSurface Ball
        ddReleaseSurface Sheet
        ddQuit
        MsgBox "Cannot load " & App.Path & "\glow.png.", vbExclamation
        Exit Sub
    End If

    ' Fills take pixel values of the surface's own format. Probing the back surface
    ' leaves the desktop's top-left pixel alone (ddColor would probe the screen).
    Sky = ddColorEx(RGB(0, 0, 96), ddGetBackSurface())
    Ground = ddColorEx(RGB(0, 128, 0), ddGetBackSurface())

    Randomize
    For I = 0 To SPRITE_COUNT - 1
        Sprites(I).X = Int(Rnd * SCREEN_W) - SPRITE_SIZE \ 2
        Sprites(I).Y = Int(Rnd * (SCREEN_H - GROUND_H)) - SPRITE_SIZE \ 2
        Sprites(I).DX = 1 + Int(Rnd * 4)
        Sprites(I).DY = 1 + Int(Rnd * 4)
        If Rnd < 0.5 Then Sprites(I).DX = -Sprites(I).DX
        If Rnd < 0.5 Then Sprites(I).DY = -Sprites(I).DY
        Sprites(I).Cell = I Mod (Cells + 1)   ' cell Cells: the ball
    Next

    SetTimeKeeper FRAME_MS
    Running = True
    Do While Running
        ddClear 0, Sky
        ddFillBlt 0, 0, SCREEN_H - GROUND_H, SCREEN_W, GROUND_H, Ground
        ' The glow drifts across the sky; the last argument is its opacity (255: as painted).
        GlowX = (Frames * 2) Mod (SCREEN_W + 64) - 64
        ddSafeAlphaBlt 0, GlowX, 40, 64, 64, SCREEN_W, SCREEN_H, Glow, 0, 0, 64, 64, 255
        For I = 0 To SPRITE_COUNT - 1
            MoveSprite Sprites(I)
            ' Keyed (last argument 1) and clipped to both surfaces, so a sprite may hang
            ' over any edge of the window.
            If Sprites(I).Cell = Cells Then
                ddSafeBltFast 0, Sprites(I).X, Sprites(I).Y, SPRITE_SIZE, SPRITE_SIZE, _
                    SCREEN_W, SCREEN_H, Ball, 0, 0, SPRITE_SIZE, SPRITE_SIZE, 1
            Else
                ddSafeBltFast 0, Sprites(I).X, Sprites(I).Y, SPRITE_SIZE, SPRITE_SIZE, _
                    SCREEN_W, SCREEN_H, Sheet, Sprites(I).Cell * SPRITE_SIZE, 0, SheetW, SheetH, 1
            End If
        Next
        ddUpdateWindow 0

        Frames = Frames + 1
        If Frames Mod 60 = 0 Then Target.Caption = "Quillon sample - frame " & Frames

        ' Wait for the next frame while the form stays responsive.
        Do
            DoEvents
        Loop Until IsTimeElapsed() <> 0 Or Not Running
    Loop

    ' Everything we created is ours to release, before the context closes.
    ddReleaseSurface Glow
    ddReleaseSurface Ball
    ddReleaseSurface Sheet
    ddQuit
End Sub

' Bounces a sprite so that half of it can leave the window at each edge.
Private Sub MoveSprite(S As Sprite)
    S.X = S.X + S.DX
    S.Y = S.Y + S.DY
    If S.X < -SPRITE_SIZE \ 2 Or S.X > SCREEN_W - SPRITE_SIZE \ 2 Then S.DX = -S.DX
    If S.Y < -SPRITE_SIZE \ 2 Or S.Y > SCREEN_H - GROUND_H - SPRITE_SIZE \ 2 Then S.DY = -S.DY
End Sub

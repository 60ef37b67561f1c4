VERSION 4.00
Begin VB.Form frmMain
   BorderStyle     =   1  'Fixed Single
   Caption         =   "Quillon sample"
   ClientHeight    =   7200
   ClientLeft      =   1140
   ClientTop       =   1515
   ClientWidth     =   9600
   Height          =   7605
   KeyPreview      =   -1  'True
   Left            =   1080
   LinkTopic       =   "Form1"
   MaxButton       =   0   'False
   ScaleHeight     =   480
   ScaleMode       =   3  'Pixel
   ScaleWidth      =   640
   Top             =   1170
   Width           =   9720
End
Attribute VB_Name = "frmMain"
Attribute VB_Creatable = False
Attribute VB_Exposed = False
' The window the sample draws into. The game loop lives in Game.bas; the form only
' turns Esc and the close box into the end of the loop.
Option Explicit

Private Sub Form_KeyDown(KeyCode As Integer, Shift As Integer)
    If KeyCode = vbKeyEscape Then Running = False
End Sub

Private Sub Form_QueryUnload(Cancel As Integer, UnloadMode As Integer)
    ' While the loop runs, closing only stops it: Main unloads the form after ddQuit
    ' has given the window back.
    If Running Then
        Running = False
        Cancel = True
    End If
End Sub

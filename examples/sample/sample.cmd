@echo off
rem The sample game's first capture: double-click this file, or run it in a
rem console. It runs korvan2a.exe from the folder above this one (where the zip
rem puts it), else from this folder, else korvan2a from the PATH, on the game
rem in this folder, and waits for a key before the window closes.
cd /d "%~dp0"
set korvan=korvan2a
if exist korvan2a.exe set korvan=.\korvan2a.exe
if exist ..\korvan2a.exe set korvan=..\korvan2a.exe
%korvan% /g:sample /n:300 /al:286 /ry:113 /sd:155 /d:275;81;80 /m:sample.ztm /pause+
rem korvan2a was not found (9009), or a file could not be read or written (2).
if errorlevel 2 pause

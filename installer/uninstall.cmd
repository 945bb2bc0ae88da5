@echo off
rem uninstall.cmd - removes the Wendol keyboard layout that install.cmd put
rem in: the layout key under Keyboard Layouts whose Layout File is Wendol.dll
rem and whose Layout Product Code is Wendol's, and Wendol.dll in the system
rem folders.  Nothing else is touched.  Run it as administrator.
rem
rem Written for Wine's cmd.exe as well as Windows', under the same rules as
rem install.cmd: every for and if body in parentheses, no "||" or "&&", no
rem substitutions in delayed expansion, for lists written with %var%.
setlocal EnableExtensions DisableDelayedExpansion
set "SCRIPT=%~nx0"
setlocal EnableDelayedExpansion

set "KL=HKLM\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
rem The layout it removes, between the two marker lines, as install.cmd names it.
rem -- layout --
set "PRODUCT=Wendol"
set "DLL=Wendol.dll"
set "LAYOUT_TEXT=Tarvena"
set "PRODUCT_CODE={92890C1E-84CB-41BE-941B-AA2F9A9C7004}"
rem -- end of layout --
set "RESULT=0"

echo %PRODUCT% keyboard layout (%LAYOUT_TEXT%): removing.

rem fltmc answers only an administrator.  Wine has no fltmc, but its
rem net session answers the default user, who is one.
fltmc >nul 2>&1
if errorlevel 1 (net session >nul 2>&1)
if errorlevel 1 (
    echo error: %SCRIPT% must be run as administrator: right-click it and choose >&2
    echo        "Run as administrator", or start it from an administrator command prompt. >&2
    set "RESULT=1"
    goto :finish
)

call :find_architecture
echo Windows architecture: !ARCH!

call :scan_layouts
if not defined OURS (echo no layout key of !PRODUCT!'s is registered)
for %%k in (%OURS%) do (
    call :remove_key %%k
)
if !RESULT! neq 0 (goto :finish)

rem A layout installed some other way under the same file name still needs
rem it; Wendol's uninstaller does not take it away.
if defined FOREIGN (
    echo kept %DLL%: the layout key!FOREIGN! names it too.
    goto :finish
)
call :remove_file "!NATIVE_DIR!" "%SystemRoot%\System32"
if /i not "!ARCH!"=="x86" (
    call :remove_file "%SystemRoot%\SysWOW64" "%SystemRoot%\SysWOW64"
)
if !RESULT! neq 0 (goto :finish)
echo.
echo !PRODUCT! is removed.
goto :finish


rem :find_architecture - sets ARCH to the architecture of Windows itself and
rem NATIVE_DIR to the path by which this cmd.exe reaches its System32.
:find_architecture
set "ARCH="
for /f "tokens=1-3" %%a in ('reg query "HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment" /v PROCESSOR_ARCHITECTURE 2^>nul') do (
    if /i "%%a %%b"=="PROCESSOR_ARCHITECTURE REG_SZ" (set "ARCH=%%c")
)
if not defined ARCH (set "ARCH=%PROCESSOR_ARCHITEW6432%")
if not defined ARCH (set "ARCH=%PROCESSOR_ARCHITECTURE%")
set "NATIVE_DIR=%SystemRoot%\System32"
rem Only a 32-bit process on 64-bit Windows sees Sysnative.
if exist "%SystemRoot%\Sysnative\cmd.exe" (set "NATIVE_DIR=%SystemRoot%\Sysnative")
exit /b 0


rem :scan_layouts - reads every layout under Keyboard Layouts.  OURS lists
rem the keys whose Layout File is Wendol.dll and whose Layout Product Code is
rem Wendol's; FOREIGN the other keys whose Layout File is Wendol.dll.
:scan_layouts
set "OURS="
set "FOREIGN="
set "cur=-"
for /f "tokens=1-5" %%a in ('reg query "%KL%" /s 2^>nul') do (
    if /i "%%a"=="HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard" (
        call :end_of_key
        set "cur=-"
        set "cur_file="
        set "cur_code="
        if /i not "%%b"=="Layouts" (set "cur=%%~nxb")
    )
    if /i "%%a %%b %%c"=="Layout File REG_SZ" (set "cur_file=%%d")
    if /i "%%a %%b %%c %%d"=="Layout Product Code REG_SZ" (set "cur_code=%%e")
)
call :end_of_key
exit /b 0

:end_of_key
if "%cur%"=="-" (exit /b 0)
if /i not "%cur_file%"=="%DLL%" (exit /b 0)
if /i "%cur_code%"=="%PRODUCT_CODE%" (
    set "OURS=!OURS! %cur%"
) else (
    set "FOREIGN=!FOREIGN! %cur%"
)
exit /b 0


rem :remove_key <key>
:remove_key
reg delete "%KL%\%~1" /f >nul 2>&1
reg query "%KL%\%~1" >nul 2>&1
if errorlevel 1 (
    echo removed the layout key %KL%\%~1
) else (
    echo error: could not remove the layout key %KL%\%~1 >&2
    set "RESULT=1"
)
exit /b 0


rem :remove_file <path> <folder as Windows names it>
:remove_file
if not exist "%~1\%DLL%" (exit /b 0)
del /f /q "%~1\%DLL%" >nul 2>&1
if exist "%~1\%DLL%" (
    echo error: could not remove %~2\%DLL%; Windows may still have it loaded. >&2
    echo        Sign out or restart Windows and run %SCRIPT% again. >&2
    set "RESULT=1"
    exit /b 0
)
if /i "%~1"=="%~2" (echo removed %~2\%DLL%)
if /i not "%~1"=="%~2" (echo removed %~2\%DLL%, through %~1)
exit /b 0


:finish
rem Started from Explorer, the window would close before anyone read it;
rem only then (or under another cmd /c) does CMDCMDLINE name the script.
rem Wine's cmd.exe leaves CMDCMDLINE empty.
set "CALLER=!CMDCMDLINE!"
if defined CALLER (
    if /i not "!CALLER:%SCRIPT%=!"=="!CALLER!" (pause)
)
exit /b %RESULT%

@echo off
rem install.cmd - installs the Wendol keyboard layout, Tarvena, for every
rem user of this computer.  Run it as administrator from the unpacked release
rem folder.  It copies Wendol.dll into the system folders and registers the
rem layout under Keyboard Layouts; uninstall.cmd takes exactly that away.
rem
rem It must work whichever command processor runs it.  A 32-bit cmd.exe on
rem 64-bit Windows sees PROCESSOR_ARCHITECTURE=x86, and its writes to
rem System32 land in SysWOW64; it reaches the real System32 only through
rem Sysnative, which a 64-bit cmd.exe does not have.
rem
rem Written for Wine's cmd.exe as well as Windows': every for body is in
rem parentheses and so is every if body (Wine's parser loses its place after
rem an unbracketed "if ... set" in a block), no "||" or "&&" (Wine judges
rem them by the errorlevel of the command before), no substitutions in
rem delayed expansion, !var:a=b! or !var:~n,m! (Wine takes them literally),
rem and for lists are written with %var%, as Wine does not split a !var!.
setlocal EnableExtensions DisableDelayedExpansion

rem Taken before delayed expansion is on, so that a "!" in the folder's
rem name survives; from here on it is only ever read as !HERE!.
set "HERE=%~dp0"
set "SCRIPT=%~nx0"
setlocal EnableDelayedExpansion

set "KL=HKLM\SYSTEM\CurrentControlSet\Control\Keyboard Layouts"
rem The layout it installs, between the two marker lines: an installer made
rem for another layout differs from this one in these lines only.
rem -- layout --
set "PRODUCT=Wendol"
set "DLL=Wendol.dll"
set "LAYOUT_TEXT=Tarvena"
set "LANGUAGE=0409"
set "LANGUAGE_TEXT=English (United States)"
rem Wendol's own; uninstall.cmd removes only a key that carries it.
set "PRODUCT_CODE={92890C1E-84CB-41BE-941B-AA2F9A9C7004}"
rem -- end of layout --
rem Stored unexpanded: the platform expands %SystemRoot% when it reads them.
set "DISPLAY_NAME=@%%SystemRoot%%\system32\%DLL%,-1000"
set "LANGUAGE_DISPLAY_NAME=@%%SystemRoot%%\system32\%DLL%,-1100"
set "LANGUAGE_NAME=@%%SystemRoot%%\system32\%DLL%,-1200"
rem Layout Ids are handed out from here up, above the ones Windows uses.
set /a FIRST_LAYOUT_ID=0xC0
set "RESULT=0"

echo %PRODUCT% keyboard layout (%LAYOUT_TEXT%): installing.

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
set "NATIVE_MODULE="
set "WOW_MODULE="
if /i "!ARCH!"=="x86" (set "NATIVE_MODULE=x86")
if /i "!ARCH!"=="AMD64" (set "NATIVE_MODULE=x64")
if /i "!ARCH!"=="ARM64" (set "NATIVE_MODULE=arm64")
if /i not "!NATIVE_MODULE!"=="x86" (set "WOW_MODULE=wow64")
if not defined NATIVE_MODULE (
    echo error: !PRODUCT! has no module for !ARCH! Windows. >&2
    set "RESULT=1"
    goto :finish
)

rem Everything is checked before anything is changed.
set "MISSING="
for %%m in (%NATIVE_MODULE% %WOW_MODULE%) do (
    if not exist "!HERE!%%m\%DLL%" (set "MISSING=!MISSING! %%m\%DLL%")
)
if defined MISSING (
    echo error: missing beside %SCRIPT% in !HERE!:!MISSING! >&2
    echo        Unpack the whole release archive and run %SCRIPT% from there. >&2
    set "RESULT=1"
    goto :finish
)

call :copy_module !NATIVE_MODULE! "!NATIVE_DIR!" "%SystemRoot%\System32"
if !RESULT! neq 0 (goto :finish)
if defined WOW_MODULE (
    call :copy_module !WOW_MODULE! "%SystemRoot%\SysWOW64" "%SystemRoot%\SysWOW64"
)
if !RESULT! neq 0 (goto :finish)

call :scan_layouts
call :choose_key
if !RESULT! neq 0 (goto :finish)
call :choose_layout_id
if !RESULT! neq 0 (goto :finish)

set "ACTION=created"
if defined seen_%KEY% (set "ACTION=updated")
call :put "Layout File" REG_SZ DLL
call :put "Layout Text" REG_SZ LAYOUT_TEXT
call :put "Layout Display Name" REG_EXPAND_SZ DISPLAY_NAME
call :put "Custom Language Display Name" REG_EXPAND_SZ LANGUAGE_DISPLAY_NAME
call :put "Custom Language Name" REG_EXPAND_SZ LANGUAGE_NAME
call :put "Layout Id" REG_SZ LAYOUT_ID
call :put "Layout Product Code" REG_SZ PRODUCT_CODE
if !RESULT! neq 0 (goto :finish)

echo !ACTION! the layout key %KL%\!KEY!
echo     Layout File                   !DLL!
echo     Layout Text                   !LAYOUT_TEXT!
echo     Layout Display Name           !DISPLAY_NAME!
echo     Custom Language Display Name  !LANGUAGE_DISPLAY_NAME!
echo     Custom Language Name          !LANGUAGE_NAME!
echo     Layout Id                     !LAYOUT_ID!
echo     Layout Product Code           !PRODUCT_CODE!
echo.
echo !PRODUCT! is installed.  To type with it, add the keyboard "!LAYOUT_TEXT!" to
echo !LANGUAGE_TEXT!: Settings, Time and language, Language and region, the
echo language's Language options, Add a keyboard.  Win+Space switches keyboards.
echo Programs that were already running may need you to sign out and in again.
goto :finish


rem :find_architecture - sets ARCH to the architecture of Windows itself and
rem NATIVE_DIR to the path by which this cmd.exe reaches its System32.
:find_architecture
set "ARCH="
rem The machine-wide variable names Windows' own architecture whatever this
rem process runs as (an x64 cmd.exe emulated on Arm64 would say AMD64).
for /f "tokens=1-3" %%a in ('reg query "HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Environment" /v PROCESSOR_ARCHITECTURE 2^>nul') do (
    if /i "%%a %%b"=="PROCESSOR_ARCHITECTURE REG_SZ" (set "ARCH=%%c")
)
if not defined ARCH (set "ARCH=%PROCESSOR_ARCHITEW6432%")
if not defined ARCH (set "ARCH=%PROCESSOR_ARCHITECTURE%")
set "NATIVE_DIR=%SystemRoot%\System32"
rem Only a 32-bit process on 64-bit Windows sees Sysnative.
if exist "%SystemRoot%\Sysnative\cmd.exe" (set "NATIVE_DIR=%SystemRoot%\Sysnative")
exit /b 0


rem :copy_module <folder> <target path> <target folder as Windows names it>
:copy_module
copy /b /y "!HERE!%~1\%DLL%" "%~2\%DLL%" >nul 2>&1
if errorlevel 1 (
    echo error: could not copy %~1\%DLL% to %~3. >&2
    echo        If !PRODUCT! is in use, sign out or restart Windows and run %SCRIPT% again. >&2
    set "RESULT=1"
    exit /b 1
)
if /i "%~2"=="%~3" (echo copied %~1\%DLL% to %~3)
if /i not "%~2"=="%~3" (echo copied %~1\%DLL% to %~3, through %~2)
exit /b 0


rem :scan_layouts - reads every layout under Keyboard Layouts.  For each key
rem K seen_K is set; for each Layout Id I, taken_I is set and count_I counts
rem the layouts that have it.  OURS_KEY and OURS_ID are the first key whose
rem Layout File is Wendol.dll and which carries Wendol's product code, and
rem its Layout Id.  A key that names Wendol.dll without the product code is
rem another layout's, installed some other way, and is never taken over.  (Each key is judged whole at its end, in :end_of_key: Wine
rem reads !file_%%k! before it puts in %%k, so the values cannot be kept by
rem key name and looked up later.)
:scan_layouts
set "cur=-"
for /f "tokens=1-5" %%a in ('reg query "%KL%" /s 2^>nul') do (
    if /i "%%a"=="HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Keyboard" (
        call :end_of_key
        set "cur=-"
        set "cur_file="
        set "cur_id="
        set "cur_code="
        if /i not "%%b"=="Layouts" (
            set "cur=%%~nxb"
            set "seen_%%~nxb=1"
        )
    )
    if /i "%%a %%b %%c"=="Layout File REG_SZ" (set "cur_file=%%d")
    if /i "%%a %%b %%c"=="Layout Id REG_SZ" (
        set "cur_id=%%d"
        set "taken_%%d=1"
        set /a "count_%%d+=1"
    )
    if /i "%%a %%b %%c %%d"=="Layout Product Code REG_SZ" (set "cur_code=%%e")
)
call :end_of_key
exit /b 0

:end_of_key
if "%cur%"=="-" (exit /b 0)
if /i not "%cur_file%"=="%DLL%" (exit /b 0)
if /i not "%cur_code%"=="%PRODUCT_CODE%" (exit /b 0)
if defined OURS_KEY (exit /b 0)
set "OURS_KEY=%cur%"
set "OURS_ID=%cur_id%"
exit /b 0


rem :choose_key - sets KEY: the key Wendol already has, else the first key
rem from a0010409 up that is free.
:choose_key
set "KEY=%OURS_KEY%"
if defined KEY (exit /b 0)
set /a n=1
:choose_key_next
if !n! gtr 255 (
    echo error: every key from a001%LANGUAGE% to a0ff%LANGUAGE% belongs to another layout. >&2
    set "RESULT=1"
    exit /b 1
)
call :hex !n! 2 "0 1 2 3 4 5 6 7 8 9 a b c d e f" slot
set "KEY=a0%slot%%LANGUAGE%"
if not defined seen_%KEY% (exit /b 0)
set /a n+=1
goto :choose_key_next


rem :choose_layout_id - sets LAYOUT_ID: the one Wendol has if no other
rem layout has it too, else the first one from FIRST_LAYOUT_ID up that no
rem layout has.
:choose_layout_id
set "LAYOUT_ID="
if not defined OURS_ID (goto :choose_layout_id_scan)
if /i not "%KEY%"=="%OURS_KEY%" (goto :choose_layout_id_scan)
set /a n=count_%OURS_ID%
if !n! equ 1 (
    set "LAYOUT_ID=%OURS_ID%"
    exit /b 0
)
:choose_layout_id_scan
set /a n=FIRST_LAYOUT_ID
:choose_layout_id_next
rem The platform keeps twelve bits of it.
if !n! gtr 4095 (
    echo error: no Layout Id is left free. >&2
    set "RESULT=1"
    exit /b 1
)
call :hex !n! 4 "0 1 2 3 4 5 6 7 8 9 A B C D E F" LAYOUT_ID
if not defined taken_%LAYOUT_ID% (exit /b 0)
set /a n+=1
goto :choose_layout_id_next


rem :put <value name> <type> <variable holding the data>
rem The data goes by name: a call would expand the %SystemRoot% in it.
:put
reg add "%KL%\!KEY!" /v "%~1" /t %~2 /d "!%~3!" /f >nul 2>&1
if errorlevel 1 (
    echo error: could not write %~1 under %KL%\!KEY!. >&2
    set "RESULT=1"
)
exit /b 0


rem :hex <number> <digit count> <"the sixteen digits"> <variable>
:hex
setlocal
set /a "v=%~1, c=%~2"
set "out="
:hex_next
set /a "d=v & 15, v >>= 4, c -= 1, i = 0"
for %%h in (%~3) do (
    if !i! equ !d! (set "out=%%h!out!")
    set /a i += 1
)
if !c! gtr 0 (goto :hex_next)
endlocal & set "%~4=%out%"
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

@echo off
rem Copies the demo installation to a scratch folder and starts the dialog on it (Windows).
rem   demo\run.cmd [path of kevprint.exe]   default: kevprint.exe beside this file, else
rem                                         ..\build-windows\bin\kevprint.exe
rem   KEVDEMO_LANG=SPA^|GLG^|OCI^|CAT   language of the session (default CAT)
rem   KEVDEMO_DIR=folder            where the scratch copy goes (default .\demo-run)
rem The demo output program kevdemo_sortida.exe is taken from beside kevprint.exe.
setlocal
set "AQUI=%~dp0"
set "BIN=%~1"
if "%BIN%"=="" if exist "%AQUI%kevprint.exe" set "BIN=%AQUI%kevprint.exe"
if "%BIN%"=="" set "BIN=%AQUI%..\build-windows\bin\kevprint.exe"
for %%F in ("%BIN%") do set "BINDIR=%%~dpF"
set "SORTIDA=%BINDIR%kevdemo_sortida.exe"
if not exist "%BIN%" (echo kevprint.exe not found: %BIN% & exit /b 1)
if not exist "%SORTIDA%" (echo kevdemo_sortida.exe not found beside kevprint.exe & exit /b 1)
if "%KEVDEMO_DIR%"=="" set "KEVDEMO_DIR=%CD%\demo-run"
if exist "%KEVDEMO_DIR%" rmdir /s /q "%KEVDEMO_DIR%"
xcopy /e /i /q /h "%AQUI%install" "%KEVDEMO_DIR%" >nul
mkdir "%KEVDEMO_DIR%\KEV\PROG" "%KEVDEMO_DIR%\TMP" "%KEVDEMO_DIR%\LOG" 2>nul
for %%P in (KEVSCR KEVHTM KEVPDF KEVWIN KEVLPT TORNAR) do copy /y "%SORTIDA%" "%KEVDEMO_DIR%\KEV\PROG\%%P.exe" >nul

rem The session file names the terminal folder with the demo's drive K:; here it is the copy.
call :substituir "%KEVDEMO_DIR%\TERM01\TMP\Sessio.ini" Dir "%KEVDEMO_DIR%\TERM01\"
if not "%KEVDEMO_LANG%"=="" call :substituir "%KEVDEMO_DIR%\TERM01\TMP\QuilTerm.ini" Idioma "%KEVDEMO_LANG%"

set "KEVROOT=%KEVDEMO_DIR%\KEV\"
set "KEVEXE=%KEVDEMO_DIR%\KEV\PROG\"
set "KEVTMP=%KEVDEMO_DIR%\TERM01\TMP\"
set "TEMP=%KEVDEMO_DIR%\TMP"
set "KEVDEMO_LOG=%KEVDEMO_DIR%\LOG"
set "KEVDEMO_PAUSA=1"
set "USERPROFILE=%KEVDEMO_DIR%\DOCS"
"%BIN%"
echo kevprint ended. What the output programs received: %KEVDEMO_LOG%
dir /b "%KEVDEMO_LOG%"
endlocal
exit /b 0

:substituir
rem %1 an INI file, %2 a key, %3 its new value; other lines as they were (blank lines and
rem the "=" of an empty value are dropped: the demo's files have neither).
set "FITXER=%~1"
set "CLAU=%~2"
set "VALOR=%~3"
rem Each line is sent to the new file on its own: not every cmd redirects a whole block.
type nul > "%FITXER%.nou"
for /f "usebackq tokens=1* delims==" %%A in ("%FITXER%") do (
  if /i "%%A"=="%CLAU%" (>>"%FITXER%.nou" echo %CLAU%=%VALOR%) else if "%%B"=="" (>>"%FITXER%.nou" echo %%A) else (>>"%FITXER%.nou" echo %%A=%%B)
)
move /y "%FITXER%.nou" "%FITXER%" >nul
exit /b 0

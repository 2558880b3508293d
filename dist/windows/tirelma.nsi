; Tirelma's installer for Windows: for the signed-in user only, so it needs
; no administrator and shows no UAC prompt. It installs the files of the
; portable zip into %LOCALAPPDATA%\Programs\Tirelma, adds a Start menu entry,
; an entry in "Apps & features" and, if chosen, the start at sign-in (the
; same Run value the program's own menu switches). Installing over an earlier
; version ends a running copy first; the profile and the result files (in
; %APPDATA%\Tirelma, see settings/Locations.h) are never touched, and the
; uninstaller keeps them unless the user ticks that they go too.
;
; Made by cmake/WindowsInstaller.cmake, which passes:
;   VERSION, VERSION4  the program's version (0.1), and as four numbers
;   FILES, UNFILES     include files that put every file of the zip in place
;                      and remove exactly those again
;   ICON, OUTFILE      the program's icon, the installer to make
;   NOCOMPRESS         (optional) store the files uncompressed, for tests

Unicode true
; Debian's wine is 64-bit only, and so is the program.
Target amd64-unicode
!ifdef NOCOMPRESS
SetCompress off
!else
SetCompressor /SOLID lzma
!endif
RequestExecutionLevel user
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tirelma"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define APPROVED_KEY "Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run"
; The running program's hidden window (platform/win/EndRequestWindow.h).
!define END_REQUEST_CLASS "TirelmaResident"

Name "Tirelma"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tirelma"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Tirelma ${VERSION}"

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh
!include Sections.nsh

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN
!define MUI_FINISHPAGE_RUN_TEXT "Tirelma を起動する"
!define MUI_FINISHPAGE_RUN_FUNCTION StartProgram
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!define MUI_COMPONENTSPAGE_TEXT_TOP "設定（Kavoren.ini）と既定の書き込みファイル（Kavoren.txt、Kavoren.csv）は、チェックを付けたときだけ削除します。ほかの場所に指定した書き込みファイルは削除しません。"
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES

!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "Tirelma"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "Tirelma セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "Copyright 2026 the Tirelma developers"

; 1 when a running copy was ended for the installation.
Var WasRunning

; Ends a running copy of Tirelma (this one or any other: one runs per user),
; as its icon's "終了" would, and waits until its program file is free. When
; it does not end, asks the user to end it; a silent run gives up instead.
!macro END_RUNNING_COPY un
Function ${un}EndRunningCopy
    StrCpy $WasRunning 0
    FindWindow $0 "${END_REQUEST_CLASS}"
    ${If} $0 == 0
        Return
    ${EndIf}
    StrCpy $WasRunning 1
    DetailPrint "実行中の Tirelma を終了しています..."
    ${Do}
        FindWindow $0 "${END_REQUEST_CLASS}"
        ${If} $0 <> 0
            SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=5000
        ${EndIf}
        StrCpy $1 0
        ${Do}
            FindWindow $0 "${END_REQUEST_CLASS}"
            ${If} $0 == 0
                ; Gone; the process may take a moment more to let go of its file.
                ${IfNot} ${FileExists} "$INSTDIR\tirelma.exe"
                    Return
                ${EndIf}
                ClearErrors
                FileOpen $2 "$INSTDIR\tirelma.exe" a
                ${IfNot} ${Errors}
                    FileClose $2
                    Return
                ${EndIf}
            ${EndIf}
            Sleep 200
            IntOp $1 $1 + 1
        ${LoopUntil} $1 >= 50
        MessageBox MB_RETRYCANCEL|MB_ICONEXCLAMATION "Tirelma を終了できませんでした。$\r$\n通知領域の Tirelma のアイコンを右クリックして「終了」を選んでから、「再試行」を押してください。" /SD IDCANCEL IDRETRY again
        DetailPrint "Tirelma が実行中のため、中止しました。"
        Abort
        again:
    ${Loop}
FunctionEnd
!macroend
!insertmacro END_RUNNING_COPY ""
!insertmacro END_RUNNING_COPY "un."

; Removes the start at sign-in where it starts this copy (another copy's
; stays).
!macro REMOVE_OWN_RUN_VALUE un
Function ${un}RemoveOwnRunValue
    ReadRegStr $0 HKCU "${RUN_KEY}" "Tirelma"
    ${If} $0 == "$\"$INSTDIR\tirelma.exe$\""
        DeleteRegValue HKCU "${RUN_KEY}" "Tirelma"
        DeleteRegValue HKCU "${APPROVED_KEY}" "Tirelma"
    ${EndIf}
FunctionEnd
!macroend
!insertmacro REMOVE_OWN_RUN_VALUE ""
!insertmacro REMOVE_OWN_RUN_VALUE "un."

Section "-Tirelma" SecProgram
    SetShellVarContext current
    Call EndRunningCopy
    !include "${FILES}"
    SetOutPath "$INSTDIR"
    WriteUninstaller "$INSTDIR\uninstall.exe"
    CreateShortcut "$SMPROGRAMS\Tirelma.lnk" "$INSTDIR\tirelma.exe" "" "$INSTDIR\tirelma.exe" 0 \
        SW_SHOWNORMAL "" "画面の数値を Alt キーで読み取り、ファイルに記録します"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Tirelma"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tirelma.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" "$\"$INSTDIR\uninstall.exe$\""
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" "$\"$INSTDIR\uninstall.exe$\" /S"
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
    ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

Section "Windows の起動時に Tirelma を開始" SecAutostart
    WriteRegStr HKCU "${RUN_KEY}" "Tirelma" "$\"$INSTDIR\tirelma.exe$\""
SectionEnd

Section "-Finish"
    ${IfNot} ${SectionIsSelected} ${SecAutostart}
        Call RemoveOwnRunValue
    ${EndIf}
    ; A silent update starts again what it ended; otherwise the last page offers it.
    ${If} ${Silent}
    ${AndIf} $WasRunning == 1
        Call StartProgram
    ${EndIf}
SectionEnd

Function .onInit
    SetShellVarContext current
    ; An update keeps the choice made before: off stays off.
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ReadRegStr $1 HKCU "${RUN_KEY}" "Tirelma"
    ${If} $0 != ""
    ${AndIf} $1 == ""
        !insertmacro UnselectSection ${SecAutostart}
    ${EndIf}
FunctionEnd

Function StartProgram
    SetOutPath "$INSTDIR"
    Exec "$\"$INSTDIR\tirelma.exe$\""
FunctionEnd

Section "un.Tirelma" UnSecProgram
    SectionIn RO
    SetShellVarContext current
    Call un.EndRunningCopy
    !include "${UNFILES}"
    Delete "$INSTDIR\uninstall.exe"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\Tirelma.lnk"
    Call un.RemoveOwnRunValue
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; Only the profile and the default result files, where the program keeps
; them; result files the user named elsewhere are the user's.
!macro REMOVE_SETTINGS_IN folder
    Delete "${folder}\Kavoren.ini"
    Delete "${folder}\Kavoren.txt"
    Delete "${folder}\Kavoren.csv"
    RMDir "${folder}"
!macroend
Section /o "un.設定と書き込みファイルも削除する" UnSecSettings
    SetShellVarContext current
    !insertmacro REMOVE_SETTINGS_IN "$APPDATA\Tirelma"
    !insertmacro REMOVE_SETTINGS_IN "$INSTDIR"
SectionEnd

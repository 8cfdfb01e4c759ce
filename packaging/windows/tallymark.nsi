; The installer of tallymark.exe and tallymark-send.exe for one architecture, made by
; tools/package-windows:
;   makensis -INPUTCHARSET UTF8 -DARCH=x64|x86 -DSTAGE=<folder of the files> -DOUTFILE=<setup.exe>
;            -DVERSION_FILE=<build>/packaging/windows/version.nsh tallymark.nsi
; A per-user install without administrator rights. Tallymark.ini, which the panel keeps
; beside itself in this writable folder, is never written or removed here.

!if ${ARCH} == x64
  ; A 64-bit program itself: 32-bit Windows refuses to start it with its own message, before
  ; anything is unpacked.
  Target amd64-unicode
!else
  Target x86-unicode
!endif
!include ${VERSION_FILE}
!include MUI2.nsh
!include FileFunc.nsh
!include WinMessages.nsh

; The window's title, which the Start menu shows.
!define TITLE "カウントダウン表示器 操作パネル"
!define PANEL_CLASS TallymarkForm1
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallymark"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "Tallymark clock"

Name "$(ProductName)"
OutFile "${OUTFILE}"
RequestExecutionLevel user
InstallDir "$LOCALAPPDATA\Programs\Tallymark"
; An upgrade goes where the earlier version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" InstallLocation
ManifestSupportedOS all
ManifestDPIAware true
SetCompressor /SOLID lzma
BrandingText "Tallymark ${VERSION} (${ARCH})"

!define MUI_ICON "${STAGE}\tallymark.ico"
!define MUI_UNICON "${STAGE}\tallymark.ico"
!define MUI_FINISHPAGE_RUN "$INSTDIR\tallymark.exe"
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
; The pages in the system's language: Japanese on a Japanese Windows, English elsewhere.
!insertmacro MUI_LANGUAGE English
!insertmacro MUI_LANGUAGE Japanese

LangString ProductName ${LANG_ENGLISH} "Tallymark panel"
LangString ProductName ${LANG_JAPANESE} "${TITLE}"
LangString Programs ${LANG_ENGLISH} "The panel and tallymark-send"
LangString Programs ${LANG_JAPANESE} "パネルと tallymark-send"
LangString DesktopShortcut ${LANG_ENGLISH} "Desktop shortcut"
LangString DesktopShortcut ${LANG_JAPANESE} "デスクトップのショートカット"
LangString ClockAtLogOn ${LANG_ENGLISH} "Set the display's clock at every log-on"
LangString ClockAtLogOn ${LANG_JAPANESE} "ログオンのたびに表示器の時計を合わせる"
LangString StillOpen ${LANG_ENGLISH} "The Tallymark panel is open and did not close when asked. Close it, then run this again."
LangString StillOpen ${LANG_JAPANESE} "${TITLE} が開いたままで、閉じることができませんでした。パネルを閉じてから、もう一度実行してください。"

; Asks every panel that runs from $INSTDIR to close, as its close box does, so that it saves
; its settings; it is never killed. A copy that runs from elsewhere (a USB stick, a second
; sign's folder) holds none of these files and is left alone. One that is still open after
; five seconds (a send under way asks its operator first) stops the installer or
; uninstaller, with exit code 2 when silent.
!macro CLOSE_PANELS un
Function ${un}ClosePanels
  StrCpy $2 0 ; tenths of a second waited
  loop:
    StrCpy $0 0 ; the panel window after which to look
    StrCpy $1 0 ; panels of this folder still open
  next:
    FindWindow $0 "${PANEL_CLASS}" "" 0 $0
    StrCmp $0 0 counted
    StrCpy $5 ""
    System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r3)'
    System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r3) p .r4' ; PROCESS_QUERY_LIMITED_INFORMATION
    StrCmp $4 0 +3
      System::Call 'kernel32::QueryFullProcessImageNameW(p r4, i 0, w .r5, *i ${NSIS_MAX_STRLEN})'
      System::Call 'kernel32::CloseHandle(p r4)'
    StrCmp $5 "$INSTDIR\tallymark.exe" 0 next
    IntOp $1 $1 + 1
    ; Asked once: a second request while its close question asks would only be refused.
    IntCmp $2 0 0 next next
    SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=500
    Goto next
  counted:
    StrCmp $1 0 closed
    IntCmp $2 50 open 0 open
    Sleep 100
    IntOp $2 $2 + 1
    Goto loop
  open:
    MessageBox MB_OK|MB_ICONSTOP "$(StillOpen)" /SD IDOK
    SetErrorLevel 2
    Quit
  closed:
FunctionEnd
!macroend
!insertmacro CLOSE_PANELS ""
!insertmacro CLOSE_PANELS "un."

Section "$(Programs)" programs
  SectionIn RO
  Call ClosePanels
  SetOutPath "$INSTDIR"
  File "${STAGE}\tallymark.exe" "${STAGE}\tallymark-send.exe" "${STAGE}\tallymark-sendw.exe" "${STAGE}\README.txt" \
    "${STAGE}\LICENSE.txt"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${TITLE}.lnk" "$INSTDIR\tallymark.exe"
  ; The options below make these again when chosen: what is ticked is what stays.
  Delete "$DESKTOP\${TITLE}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"

  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayName "${TITLE}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" Publisher "The Tallymark developers"
  WriteRegStr HKCU "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\tallymark.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegStr HKCU "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" EstimatedSize $0
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" NoRepair 1
SectionEnd

Section /o "$(DesktopShortcut)" desktop
  CreateShortcut "$DESKTOP\${TITLE}.lnk" "$INSTDIR\tallymark.exe"
SectionEnd

; Without a COM port chosen yet the send fails at log-on, as tallymark-send does. The
; windowless build opens no console window at log-on.
Section /o "$(ClockAtLogOn)" clock
  WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\tallymark-sendw.exe" --clock'
SectionEnd

; An upgrade offers the options as the earlier install left them.
Function .onInit
  IfFileExists "$DESKTOP\${TITLE}.lnk" 0 +2
    SectionSetFlags ${desktop} ${SF_SELECTED}
  ReadRegStr $0 HKCU "${RUN_KEY}" "${RUN_VALUE}"
  StrCmp $0 "" +2
    SectionSetFlags ${clock} ${SF_SELECTED}
FunctionEnd

Section Uninstall
  Call un.ClosePanels
  Delete "$INSTDIR\tallymark.exe"
  Delete "$INSTDIR\tallymark-send.exe"
  Delete "$INSTDIR\tallymark-sendw.exe"
  Delete "$INSTDIR\README.txt"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\uninstall.exe"
  ; The folder stays while it holds the operator's Tallymark.ini.
  RMDir "$INSTDIR"
  Delete "$SMPROGRAMS\${TITLE}.lnk"
  Delete "$DESKTOP\${TITLE}.lnk"
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

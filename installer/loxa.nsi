; Loxa's installer: a per-machine install into Program Files. Registration
; is left to the program itself (loxa.exe /R /S after copying, /U /S before
; removing), so the installer never writes the file type's keys.
;
; scripts/release.sh passes VERSION, STAGE (the folder that the zip holds),
; ICON, OUTFILE and two lists it writes from STAGE: INSTALL_LIST (the File
; lines) and REMOVE_LIST (the matching Delete and RMDir lines), so that the
; uninstaller removes exactly what was installed and nothing the user added.
; INSTALL_LIST leaves out loxa-reminder.exe, which its own component installs.
Unicode true
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh
!include WinMessages.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Loxa"
; The per-user plug-in list that loxa.exe reads; /U removes it with the
; registration.
!define PLUGIN_KEY "SOFTWARE\Loxa"
!define CALENDAR_LABEL "カレンダーに追加"
; The file type's ProgID as loxa.exe writes it; its description is "Loxa".
!define PROGID_KEY "SOFTWARE\Classes\Loxa.ProgramInfo"
; The reminder application: its window class (the one hidden top-level
; window of a running copy) and its sign-in entry.
!define REMINDER_CLASS "LoxaReminder"
!define RUN_KEY "Software\Microsoft\Windows\CurrentVersion\Run"
!define RUN_VALUE "LoxaReminder"

Name "Loxa ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$PROGRAMFILES\Loxa"
InstallDirRegKey HKLM "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "Loxa ${VERSION}"

VIProductVersion "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductName" "Loxa"
VIAddVersionKey /LANG=1041 "FileDescription" "Loxa ${VERSION} セットアップ"
VIAddVersionKey /LANG=1041 "FileVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1041 "ProductVersion" "${VERSION}.0"
VIAddVersionKey /LANG=1041 "LegalCopyright" "Copyright (c) the Loxa developers"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

; The user's plug-in entries (subkey name, default value), kept across the
; /U of an upgrade: one name line and one value line each.
Var savedPlugins

Function SavePluginList
  InitPluginsDir
  StrCpy $savedPlugins "$PLUGINSDIR\plugins.txt"
  FileOpen $1 $savedPlugins w
  StrCpy $2 0
  ${Do}
    ClearErrors
    EnumRegKey $3 HKCU "${PLUGIN_KEY}" $2
    ${If} ${Errors}
    ${OrIf} $3 == ""
      ${ExitDo}
    ${EndIf}
    ReadRegStr $4 HKCU "${PLUGIN_KEY}\$3" ""
    FileWriteUTF16LE $1 "$3$\n$4$\n"
    IntOp $2 $2 + 1
  ${Loop}
  FileClose $1
FunctionEnd

; Takes the line end off $R0. Leaves the error flag alone: testing it
; would clear it.
Function TrimLineEnd
  StrCpy $R1 $R0 1 -1
  ${If} $R1 == "$\n"
    StrCpy $R0 $R0 -1
  ${EndIf}
FunctionEnd

Function RestorePluginList
  ClearErrors
  FileOpen $1 $savedPlugins r
  ${IfNot} ${Errors}
    ${Do}
      FileReadUTF16LE $1 $R0
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      Call TrimLineEnd
      StrCpy $3 $R0
      FileReadUTF16LE $1 $R0
      ${IfThen} ${Errors} ${|} ${ExitDo} ${|}
      Call TrimLineEnd
      WriteRegStr HKCU "${PLUGIN_KEY}\$3" "" $R0
    ${Loop}
    FileClose $1
  ${EndIf}
FunctionEnd

; Ends a running loxa-reminder.exe so that its file can be replaced or
; removed: WM_CLOSE to its window, then a wait for the process itself, which
; holds the file until it has ended. Every reminder it accepted is already on
; disk, so this loses nothing; only a copy that hangs is ended the hard way.
; Copies in other users' sessions are out of reach here.
!macro CLOSE_REMINDER_FUNCTION un
Function ${un}CloseReminder
  FindWindow $0 "${REMINDER_CLASS}"
  ${If} $0 = 0
    Return
  ${EndIf}
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
  ; SYNCHRONIZE | PROCESS_TERMINATE
  System::Call 'kernel32::OpenProcess(i 0x00100001, i 0, i r1) p .r2'
  SendMessage $0 ${WM_CLOSE} 0 0 /TIMEOUT=10000
  ${If} $2 = 0
    Return
  ${EndIf}
  System::Call 'kernel32::WaitForSingleObject(p r2, i 30000) i .r3'
  ${If} $3 <> 0
    System::Call 'kernel32::TerminateProcess(p r2, i 1)'
    System::Call 'kernel32::WaitForSingleObject(p r2, i 5000)'
  ${EndIf}
  System::Call 'kernel32::CloseHandle(p r2)'
FunctionEnd
!macroend
!insertmacro CLOSE_REMINDER_FUNCTION ""
!insertmacro CLOSE_REMINDER_FUNCTION "un."

; The sign-in entry belongs to the user at the desktop, whose shell starts
; the program and whose application data holds the reminders. The elevated
; installer's HKCU is that user's only when the user is an administrator; a
; standard user who typed an administrator's password would otherwise get
; the entry in the administrator's hive. Sets $R9 to the SID of the shell
; process's owner, whose hive is HKU\<SID>, or to "" when that cannot be
; learnt (no shell): then HKCU it is.
!macro SHELL_USER_FUNCTION un
Function ${un}ShellUser
  StrCpy $R9 ""
  System::Call 'user32::GetShellWindow() p .r0'
  ${If} $0 = 0
    ; No shell window (Wine has none): the desktop's owner is the user's
    ; shell there, and a system process on Windows, which is not opened.
    System::Call 'user32::GetDesktopWindow() p .r0'
  ${EndIf}
  System::Call 'user32::GetWindowThreadProcessId(p r0, *i .r1)'
  ; PROCESS_QUERY_LIMITED_INFORMATION
  System::Call 'kernel32::OpenProcess(i 0x1000, i 0, i r1) p .r2'
  ${If} $2 = 0
    Return
  ${EndIf}
  ; TOKEN_QUERY
  System::Call 'advapi32::OpenProcessToken(p r2, i 8, *p .r3) i .r4'
  System::Call 'kernel32::CloseHandle(p r2)'
  ${If} $4 = 0
    Return
  ${EndIf}
  ; TokenUser: a TOKEN_USER, whose first member points at the SID.
  System::Alloc 256
  Pop $5
  System::Call 'advapi32::GetTokenInformation(p r3, i 1, p r5, i 256, *i .r6) i .r4'
  ${If} $4 <> 0
    System::Call '*$5(p .r6)'
    System::Call 'advapi32::ConvertSidToStringSidW(p r6, *p .r7) i .r4'
    ${If} $4 <> 0
      System::Call 'kernel32::lstrcpynW(w .r8, p r7, i ${NSIS_MAX_STRLEN})'
      System::Call 'kernel32::LocalFree(p r7)'
      StrCpy $R9 $8
    ${EndIf}
  ${EndIf}
  System::Free $5
  System::Call 'kernel32::CloseHandle(p r3)'
FunctionEnd
!macroend
!insertmacro SHELL_USER_FUNCTION ""
!insertmacro SHELL_USER_FUNCTION "un."

Section "Loxa" SecProgram
  SectionIn RO
  ; Before any file is replaced. An earlier reminder application goes with
  ; its sign-in entry; its component puts both back when it is selected.
  Call CloseReminder
  Delete "$INSTDIR\loxa-reminder.exe"
  Call ShellUser
  ${If} $R9 != ""
    DeleteRegValue HKU "$R9\${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  Call SavePluginList
  !include "${INSTALL_LIST}"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; An earlier registration (an earlier version's, or one made by hand) is
  ; removed first, so that the open command names this copy; with nothing
  ; registered /U just reports that and changes nothing.
  ExecWait '"$INSTDIR\loxa.exe" /U /S'
  StrCpy $0 "-1"
  ExecWait '"$INSTDIR\loxa.exe" /R /S' $0
  ${If} $0 == 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "以前の関連付けを解除できなかったため、ファイルの種類 .loxa を Loxa に関連付け直せませんでした。$\n$\nLoxa をいったんアンインストールしてから、もう一度インストールしてください。" /SD IDOK
  ${ElseIf} $0 == 2
    MessageBox MB_OK|MB_ICONEXCLAMATION "ファイルの種類 application/x-tv-program-info はほかのアプリが使っているため、Loxa に関連付けませんでした。$\n$\n番組情報ファイルを Loxa で開くには、そのアプリをアンインストールしてから、もう一度インストールしてください。" /SD IDOK
  ${ElseIf} $0 != 0
    MessageBox MB_OK|MB_ICONEXCLAMATION "ファイルの種類 .loxa を Loxa に関連付けられませんでした。$\n$\n管理者として実行しているか確かめて、もう一度インストールしてください。" /SD IDOK
  ${EndIf}
  ${If} $0 != 0
    SetErrorLevel 2
  ${EndIf}
  Call RestorePluginList

  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "Loxa"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "the Loxa developers"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\loxa.exe,0"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $1 $2 $3
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "EstimatedSize" $1
SectionEnd

Section "カレンダープラグイン (${CALENDAR_LABEL})" SecCalendar
  WriteRegStr HKCU "${PLUGIN_KEY}\${CALENDAR_LABEL}" "" "$INSTDIR\ical.dll"
SectionEnd

; The reminder application, for users who have none of their own: started
; at sign-in for the user at the desktop (ShellUser), and at once. The
; installer runs elevated; Explorer (the user's own shell) starts the
; program, so that it runs with the user's ordinary rights, as it will at
; every sign-in, and is reachable from the user's other programs (an
; elevated one would not get their DDE messages).
Section "番組リマインダー" SecReminder
  SetOutPath "$INSTDIR"
  File "${STAGE}\loxa-reminder.exe"
  Call ShellUser
  ${If} $R9 != ""
    WriteRegStr HKU "$R9\${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\loxa-reminder.exe" /startup'
  ${Else}
    WriteRegStr HKCU "${RUN_KEY}" "${RUN_VALUE}" '"$INSTDIR\loxa-reminder.exe" /startup'
  ${EndIf}
  Exec '"$WINDIR\explorer.exe" "$INSTDIR\loxa-reminder.exe"'
  ; Explorer starts it and returns at once: wait a while for its window, so
  ; that whatever follows the installation (an uninstall, say) finds it
  ; running. It does not come when another reminder application is present.
  StrCpy $1 0
  ${Do}
    FindWindow $0 "${REMINDER_CLASS}"
    ${If} $0 <> 0
    ${OrIf} $1 >= 150
      ${ExitDo}
    ${EndIf}
    Sleep 100
    IntOp $1 $1 + 1
  ${Loop}
SectionEnd

Section "Uninstall"
  ; When /U leaves this copy registered, the files stay: without them .loxa
  ; would name a program that is gone, and loxa.exe /U is what takes the
  ; registration away once the cause is mended. A registration that is not
  ; ours (another description) or none at all does not hold the removal.
  StrCpy $0 0
  ExecWait '"$INSTDIR\loxa.exe" /U /S' $0
  ${If} $0 != 0
    ReadRegStr $1 HKLM "${PROGID_KEY}" ""
    ${If} $1 == "Loxa"
      MessageBox MB_OK|MB_ICONSTOP "ファイルの種類 .loxa の関連付けを解除できなかったため、アンインストールを中止しました。Loxa のファイルはそのまま残してあります。$\n$\nコンピューターを再起動してから、もう一度アンインストールしてください。それでも中止されるときは、Loxa のフォルダーにあるユーザーズガイド (guide\loxa-guide.html) の「困ったときは」をご覧ください。" /SD IDOK
      SetErrorLevel 2
      Abort
    ${EndIf}
  ${EndIf}
  ; The reminder application goes only once the removal goes ahead; the
  ; reminders themselves (in the user's application data) stay.
  Call un.CloseReminder
  Call un.ShellUser
  ${If} $R9 != ""
    DeleteRegValue HKU "$R9\${RUN_KEY}" "${RUN_VALUE}"
  ${EndIf}
  DeleteRegValue HKCU "${RUN_KEY}" "${RUN_VALUE}"
  ; Ours even when /U could not remove the plug-in list (say, the
  ; registration had failed): the calendar entry, and the list key when
  ; nothing else is listed in it.
  DeleteRegKey HKCU "${PLUGIN_KEY}\${CALENDAR_LABEL}"
  DeleteRegKey /ifempty HKCU "${PLUGIN_KEY}"
  !include "${REMOVE_LIST}"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
SectionEnd

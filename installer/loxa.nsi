; Loxa's installer: a per-machine install into Program Files. Registration
; is left to the program itself (loxa.exe /R /S after copying, /U /S before
; removing), so the installer never writes the file type's keys.
;
; scripts/release.sh passes VERSION, STAGE (the folder that the zip holds),
; ICON, OUTFILE and two lists it writes from STAGE: INSTALL_LIST (the File
; lines) and REMOVE_LIST (the matching Delete and RMDir lines), so that the
; uninstaller removes exactly what was installed and nothing the user added.
Unicode true
ManifestSupportedOS all
RequestExecutionLevel admin
SetCompressor /SOLID lzma

!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Loxa"
; The per-user plug-in list that loxa.exe reads; /U removes it with the
; registration.
!define PLUGIN_KEY "SOFTWARE\Loxa"
!define CALENDAR_LABEL "カレンダーに追加"
; The file type's ProgID as loxa.exe writes it; its description is "Loxa".
!define PROGID_KEY "SOFTWARE\Classes\Loxa.ProgramInfo"

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

Section "Loxa" SecProgram
  SectionIn RO
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

; The setup program of Tessik (makensis 3, Unicode, Japanese). Built by
; scripts/make-setup.sh from a folder of staged (stripped) release files:
;
;   makensis -INPUTCHARSET UTF8 -DSTAGE=<folder> -DVERSION=1.12 -DOUTFILE=<exe>
;            [-DCOMPANY=... -DRIGHTS=...] [-DTARGET=amd64-unicode] setup/tessik.nsi
;
; The source is UTF-8 with a byte order mark, which makensis 3.08 reads as
; UTF-8 by itself; make-setup.sh names the character set all the same.
;
; For the current user (the default, no administrator rights) the program goes
; to %LOCALAPPDATA%\Programs\Tessik and the context menu to the user's classes
; (HKCU\Software\Classes); with /ALLUSERS (elevated) to Program Files and the
; machine's classes (HKLM\Software\Classes). The uninstaller takes /CurrentUser
; or /AllUsers, as the uninstall key's command lines give it.
;
; Exit code 0 only when every step was done; 2 when a file could not be
; written, the menu could not be registered, or /ALLUSERS was asked for
; without the rights to it.

Unicode true
!ifdef TARGET
  Target ${TARGET}
!endif

!ifndef STAGE | VERSION | OUTFILE
  !error "STAGE, VERSION and OUTFILE must be defined (-DSTAGE=... -DVERSION=... -DOUTFILE=...)"
!endif
!define /ifndef COMPANY "Norvane"
!define /ifndef RIGHTS "Copyright (C) 2026 Norvane. All rights reserved."

!define PRODUCT "Tessik"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessik"
!define SHELLEXT_DLL "tessikshlex_x64.dll"
!define SHELLEXT_INSTALLER "tessikshlex_install_x64.exe"
!define UNINSTALLER "uninstall.exe"
!define SETTINGS_SHORTCUT "Tessik の設定.lnk"
!define SENDTO_SHORTCUT "Tessik.lnk"
; Where tessik.exe keeps its settings, below the user's application data.
!define SETTINGS_FOLDER "Norvane\Tessik"
!define SETTINGS_FILE "tessik.ini"

!define MULTIUSER_EXECUTIONLEVEL Standard
!define MULTIUSER_INSTALLMODE_INSTDIR "Tessik"
!define MULTIUSER_USE_PROGRAMFILES64
!include MultiUser.nsh
!include MUI2.nsh
!include x64.nsh
!include LogicLib.nsh
!include FileFunc.nsh

Name "${PRODUCT}"
OutFile "${OUTFILE}"
SetCompressor /SOLID lzma
ManifestDPIAware true
ShowInstDetails show
ShowUninstDetails show

!define MUI_ABORTWARNING
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Japanese"

VIProductVersion "${VERSION}.0.0"
VIFileVersion "${VERSION}.0.0"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "CompanyName" "${COMPANY}"
VIAddVersionKey /LANG=${LANG_JAPANESE} "FileDescription" "Tessik セットアップ"
VIAddVersionKey /LANG=${LANG_JAPANESE} "LegalCopyright" "${RIGHTS}"

LangString TextNeeds64Bit ${LANG_JAPANESE} "右クリックメニュー「Tessikで圧縮(&E)」は、64ビット版のWindowsでだけ使えます。右クリックメニューはインストールされません。"
LangString TextNeedsAdmin ${LANG_JAPANESE} "すべてのユーザー向けのインストール (/ALLUSERS) には管理者の権限が必要です。管理者として実行してください。"
LangString TextWriteFailed ${LANG_JAPANESE} "ファイルを書き込めませんでした:"
LangString TextMoveFailed ${LANG_JAPANESE} "使用中の右クリックメニューのDLLを移動できませんでした:"
LangString TextRegisterFailed ${LANG_JAPANESE} "右クリックメニューを登録できませんでした。"
LangString TextUnregisterFailed ${LANG_JAPANESE} "右クリックメニューの登録を解除できませんでした。"
LangString TextKeyFailed ${LANG_JAPANESE} "アンインストール情報をレジストリに書き込めませんでした。"
LangString TextShortcutFailed ${LANG_JAPANESE} "ショートカットを作れませんでした:"
LangString TextMovedAside ${LANG_JAPANESE} "使用中の古いDLLを移動しました (次回のWindowsの起動時に削除されます):"

; What the chosen context's tools get: the installer programs' scope switch.
Var RegistrationScope
; Bytes of the files this setup wrote, for EstimatedSize.
Var InstalledBytes

; Every file the setup installs, in one list: the installer writes them, the
; uninstaller removes exactly these (and the extension's renamed-aside copies).
!macro CommonFiles _MACRO
  !insertmacro ${_MACRO} "tessik.exe"
  !insertmacro ${_MACRO} "TessikZip.dll"
  !insertmacro ${_MACRO} "Tessik7z.dll"
  !insertmacro ${_MACRO} "tessikshlex_install.exe"
  !insertmacro ${_MACRO} "readme.txt"
!macroend
; The 64-bit extension and its registrar: on 64-bit Windows only.
!macro ExtensionFiles _MACRO
  !insertmacro ${_MACRO} "${SHELLEXT_DLL}"
  !insertmacro ${_MACRO} "${SHELLEXT_INSTALLER}"
!macroend

; Stops the install or uninstall: the reason in the details and, unless
; silent, in a message box; exit code 2.
!macro FailWith _TEXT
  DetailPrint "${_TEXT}"
  MessageBox MB_OK|MB_ICONSTOP "${_TEXT}" /SD IDOK
  SetErrorLevel 2
  Abort "${_TEXT}"
!macroend

!macro InstallFile _NAME
  ClearErrors
  File "${STAGE}/${_NAME}"
  ${If} ${Errors}
    !insertmacro FailWith "$(TextWriteFailed) $INSTDIR\${_NAME}"
  ${EndIf}
  Push "$INSTDIR\${_NAME}"
  Call AddFileSize
!macroend

!macro UninstallFile _NAME
  Delete /REBOOTOK "$INSTDIR\${_NAME}"
!macroend

; The context's hive (SHCTX) and the 64-bit registry view: the uninstall key of
; a 64-bit Windows lives there, and the registrar writes that view too.
!macro SelectContext _PREFIX
  ${If} $MultiUser.InstallMode == "AllUsers"
    StrCpy $RegistrationScope "/allusers"
  ${Else}
    StrCpy $RegistrationScope "/currentuser"
  ${EndIf}
  ${If} ${RunningX64}
    SetRegView 64
  ${EndIf}
!macroend

; MultiUser picks the current user; /ALLUSERS (any case) asks for the machine.
; MultiUser's own command-line handling shows its box even in silent mode,
; so the switch is read here.
!macro ReadContextSwitch _PREFIX
  ${GetParameters} $R0
  ClearErrors
  ${GetOptions} $R0 "/ALLUSERS" $R1
  ${IfNot} ${Errors}
    ${If} $MultiUser.Privileges != "Admin"
    ${AndIf} $MultiUser.Privileges != "Power"
      MessageBox MB_OK|MB_ICONSTOP "$(TextNeedsAdmin)" /SD IDOK
      SetErrorLevel 2
      Quit
    ${EndIf}
    Call ${_PREFIX}MultiUser.InstallMode.AllUsers
  ${EndIf}
!macroend

Function .onInit
  ; /D= has set $INSTDIR before this runs; MultiUser would overwrite it.
  StrCpy $R9 $INSTDIR
  !insertmacro MULTIUSER_INIT
  !insertmacro ReadContextSwitch ""
  !insertmacro SelectContext ""
  ; An upgrade goes where the earlier install of this context is.
  ReadRegStr $R2 SHCTX "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $R2 != ""
    StrCpy $INSTDIR $R2
  ${EndIf}
  ${If} $R9 != ""
    StrCpy $INSTDIR $R9
  ${EndIf}
FunctionEnd

; Adds the size of the file on the stack to $InstalledBytes.
Function AddFileSize
  Exch $0
  Push $1
  FileOpen $1 $0 r
  ${If} $1 != ""
    FileSeek $1 0 END $0
    FileClose $1
    IntOp $InstalledBytes $InstalledBytes + $0
  ${EndIf}
  Pop $1
  Pop $0
FunctionEnd

; The file manager keeps the extension loaded, and a loaded DLL cannot be
; deleted or overwritten, but it can be renamed (on Windows as under Wine).
; The old copy moves aside under a name of its own and goes when Windows next
; starts; the new one is written under the real name at once, so the menu
; works on without a restart. NSIS's Library.nsh would write the new DLL
; under a temporary name and put it in place only at the restart.
Function MoveExtensionAside
  ; Copies moved aside by earlier upgrades that nothing holds any more.
  Delete "$INSTDIR\${SHELLEXT_DLL}.old*"
  ${IfNot} ${FileExists} "$INSTDIR\${SHELLEXT_DLL}"
    Return
  ${EndIf}
  ClearErrors
  Delete "$INSTDIR\${SHELLEXT_DLL}"
  ${IfNot} ${Errors}
    Return
  ${EndIf}
  ; A copy from an earlier upgrade may still be loaded too: the first free
  ; number.
  StrCpy $R0 1
  ${Do}
    ${IfNot} ${FileExists} "$INSTDIR\${SHELLEXT_DLL}.old$R0"
      ${ExitDo}
    ${EndIf}
    IntOp $R0 $R0 + 1
  ${LoopUntil} $R0 > 99
  ClearErrors
  Rename "$INSTDIR\${SHELLEXT_DLL}" "$INSTDIR\${SHELLEXT_DLL}.old$R0"
  ${If} ${Errors}
    !insertmacro FailWith "$(TextMoveFailed) $INSTDIR\${SHELLEXT_DLL}"
  ${EndIf}
  DetailPrint "$(TextMovedAside) ${SHELLEXT_DLL}.old$R0"
  Delete /REBOOTOK "$INSTDIR\${SHELLEXT_DLL}.old$R0"
  ; Nothing waits for that restart: no reboot is asked for.
  SetRebootFlag false
FunctionEnd

Function RegisterExtension
  ClearErrors
  ExecWait '"$INSTDIR\${SHELLEXT_INSTALLER}" /install $RegistrationScope /silent' $0
  ${If} ${Errors}
  ${OrIf} $0 != 1
    ; Keys written before the one that failed must not stay.
    ExecWait '"$INSTDIR\${SHELLEXT_INSTALLER}" /uninstall $RegistrationScope /silent'
    !insertmacro FailWith "$(TextRegisterFailed) (${SHELLEXT_INSTALLER} /install $RegistrationScope: $0)"
  ${EndIf}
FunctionEnd

Function WriteShortcuts
  ClearErrors
  CreateShortcut "$SMPROGRAMS\${SETTINGS_SHORTCUT}" "$INSTDIR\tessik.exe"
  ${If} ${Errors}
    !insertmacro FailWith "$(TextShortcutFailed) $SMPROGRAMS\${SETTINGS_SHORTCUT}"
  ${EndIf}
  ; Send To exists per user only: an install for all users puts the entry in
  ; the installing user's folder, and its uninstall removes it from the
  ; uninstalling user's (other users' Send To folders are not touched).
  SetShellVarContext current
  ClearErrors
  CreateShortcut "$SENDTO\${SENDTO_SHORTCUT}" "$INSTDIR\tessik.exe"
  ${If} ${Errors}
    !insertmacro FailWith "$(TextShortcutFailed) $SENDTO\${SENDTO_SHORTCUT}"
  ${EndIf}
  ${If} $MultiUser.InstallMode == "AllUsers"
    SetShellVarContext all
  ${EndIf}
FunctionEnd

Function WriteUninstallKey
  IntOp $0 $InstalledBytes / 1024
  ClearErrors
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "${COMPANY}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\tessik.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /$MultiUser.InstallMode /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
    !insertmacro FailWith "$(TextKeyFailed)"
  ${EndIf}
FunctionEnd

Section "Tessik" SecMain
  SectionIn RO
  StrCpy $InstalledBytes 0
  ClearErrors
  SetOutPath "$INSTDIR"
  ${If} ${Errors}
    !insertmacro FailWith "$(TextWriteFailed) $INSTDIR"
  ${EndIf}
  ; Only the files of this list are written: the user's own archiver DLLs
  ; and any tessik.ini in the folder stay as they are.
  !insertmacro CommonFiles InstallFile
  ${If} ${RunningX64}
    Call MoveExtensionAside
    !insertmacro ExtensionFiles InstallFile
  ${Else}
    DetailPrint "$(TextNeeds64Bit)"
    MessageBox MB_OK|MB_ICONINFORMATION "$(TextNeeds64Bit)" /SD IDOK
  ${EndIf}
  ClearErrors
  WriteUninstaller "$INSTDIR\${UNINSTALLER}"
  ${If} ${Errors}
    !insertmacro FailWith "$(TextWriteFailed) $INSTDIR\${UNINSTALLER}"
  ${EndIf}
  Push "$INSTDIR\${UNINSTALLER}"
  Call AddFileSize
  Call WriteShortcuts
  Call WriteUninstallKey
  ; Last: should it fail, the uninstall entry is there to clean up with.
  ${If} ${RunningX64}
    Call RegisterExtension
  ${EndIf}
SectionEnd

; DeleteRegKey /ifempty looks at subkeys only and would take a key's values
; with it: this removes a key that has neither.
Function un.RemoveEmptyKey
  Exch $0
  Push $1
  Push $2
  Push $3
  ClearErrors
  EnumRegKey $1 SHCTX $0 0
  ${IfNot} ${Errors}
    EnumRegValue $2 SHCTX $0 0
    ; The default value has no name: an empty name may be that value.
    ClearErrors
    ReadRegStr $3 SHCTX $0 ""
    ${If} $1 == ""
    ${AndIf} $2 == ""
    ${AndIf} ${Errors}
      DeleteRegKey SHCTX $0
    ${EndIf}
  ${EndIf}
  Pop $3
  Pop $2
  Pop $1
  Pop $0
FunctionEnd
!macro RemoveEmptyKey _KEY
  Push "${_KEY}"
  Call un.RemoveEmptyKey
!macroend

Function un.onInit
  !insertmacro MULTIUSER_UNINIT
  !insertmacro ReadContextSwitch "un."
  !insertmacro SelectContext "un."
FunctionEnd

Section "un.Tessik" UnSecMain
  SectionIn RO
  ${If} ${RunningX64}
  ${AndIf} ${FileExists} "$INSTDIR\${SHELLEXT_INSTALLER}"
    ClearErrors
    ExecWait '"$INSTDIR\${SHELLEXT_INSTALLER}" /uninstall $RegistrationScope /silent' $0
    ${If} ${Errors}
    ${OrIf} $0 != 1
      !insertmacro FailWith "$(TextUnregisterFailed) (${SHELLEXT_INSTALLER} /uninstall $RegistrationScope: $0)"
    ${EndIf}
  ${EndIf}
  !insertmacro CommonFiles UninstallFile
  !insertmacro ExtensionFiles UninstallFile
  ; The file manager may still hold the extension (or a copy moved aside by
  ; an upgrade): those go when Windows next starts, without asking for it.
  Delete /REBOOTOK "$INSTDIR\${SHELLEXT_DLL}.old*"
  SetRebootFlag false
  Delete "$INSTDIR\${UNINSTALLER}"
  Delete "$SMPROGRAMS\${SETTINGS_SHORTCUT}"
  SetShellVarContext current
  Delete "$SENDTO\${SENDTO_SHORTCUT}"
  ${If} $MultiUser.InstallMode == "AllUsers"
    SetShellVarContext all
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
  ; The registrar removes its own keys but not the parents it had to create
  ; in the user's classes, which often have no CLSID, "*" or Folder key of
  ; their own. The machine's have them from the start, empty or not.
  ${If} $MultiUser.InstallMode == "CurrentUser"
  !insertmacro RemoveEmptyKey "Software\Classes\*\shellex\ContextMenuHandlers"
  !insertmacro RemoveEmptyKey "Software\Classes\*\shellex"
  !insertmacro RemoveEmptyKey "Software\Classes\*"
  !insertmacro RemoveEmptyKey "Software\Classes\Folder\shellex\ContextMenuHandlers"
  !insertmacro RemoveEmptyKey "Software\Classes\Folder\shellex"
  !insertmacro RemoveEmptyKey "Software\Classes\Folder"
  !insertmacro RemoveEmptyKey "Software\Classes\CLSID"
  ${EndIf}
  ; Not /r: the user's own archiver DLLs keep the folder.
  RMDir "$INSTDIR"
SectionEnd

; Off unless ticked: a silent uninstall keeps the settings.
Section /o "un.設定も削除する" UnSecSettings
  SetShellVarContext current
  Delete "$APPDATA\${SETTINGS_FOLDER}\${SETTINGS_FILE}"
  RMDir "$APPDATA\${SETTINGS_FOLDER}"
  RMDir "$APPDATA\Norvane"
SectionEnd

; The token manager's installer: ZVApp, its program settings and the vendor's
; files in the provider folder, the vendor's CSP registered as the bank's
; assistant reads it, start at every logon, a Start-menu entry and an
; uninstaller. No questions: progress only, or nothing with /S. Exit code 0
; on success, 4 on any failure, with what it changed put back.
;
; makensis -INPUTCHARSET UTF8 -DPAYLOAD=DIR -DOUTFILE=FILE -DVERSION=a.b.c.d
;          -DTARGET=x86-unicode|amd64-unicode -DSIGNATURE=HEX ZVAppSetup.nsi
; PAYLOAD/payload.nsh (written by scripts/build-zvapp-setup) lists the
; provider folder's files as they are installed.
Unicode true
Target ${TARGET}
SetCompressor /SOLID lzma
; No build time in the installer: the same inputs give the same bytes.
SetDateSave off
!include "LogicLib.nsh"
!include "WinMessages.nsh"
!include "${PAYLOAD}/payload.nsh"

!define PRODUCT "岚川银行泽沃USBKey网银客户端"
!define UNINSTALL_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Zanvo application"
!define PROVIDER_KEY "SOFTWARE\Microsoft\Cryptography\Defaults\Provider\Zanvo Cryptographic Service Provider"
!define RUN_KEY "SOFTWARE\Microsoft\Windows\CurrentVersion\Run"
!define VERSION_KEY "SOFTWARE\Kessaline\VK820Auto_LCCBBank"
!define SINGLE_INSTANCE "C6EEA7B2-3F1A-4ebb-AD02-5FC9F283E5ED"
!define FAILED 4

Name "${PRODUCT}"
OutFile "${OUTFILE}"
RequestExecutionLevel admin
ManifestSupportedOS all
ShowInstDetails nevershow
ShowUninstDetails nevershow
AutoCloseWindow true
InstallDir "$PROGRAMFILES\OstraCSP20407\OstraCSP20407"
Page instfiles
UninstPage instfiles

LoadLanguageFile "${NSISDIR}\Contrib\Language files\SimpChinese.nlf"

VIProductVersion "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=2052 "FileDescription" "${PRODUCT}安装程序"
VIAddVersionKey /LANG=2052 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=2052 "OriginalFilename" "LCCB_ZanvoExt.exe"
VIAddVersionKey /LANG=2052 "LegalCopyright" "Copyright (C) 2026 岚川银行"

Var Provider   ; the provider folder, one above the program folder
Var Fresh      ; 1 when nothing of the client was installed before
Var Failed     ; 1 once a step failed (the error flag is cleared by every test of it)

; The folder the assistant writes URLSet.ini into: "ProgramFilesDir" of
; the machine, in this program's view of the registry.
!macro ProgramFolders
  ReadRegStr $0 HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion" "ProgramFilesDir"
  ${If} $0 == ""
    StrCpy $0 $PROGRAMFILES
  ${EndIf}
  StrCpy $Provider "$0\OstraCSP20407"
  StrCpy $INSTDIR "$Provider\OstraCSP20407"
!macroend

; Ends a running token manager through its own exit path (the end of the
; session, as the system's restart manager asks it), then waits until its
; single-instance mutex is gone. Sets $Failed when it does not end.
!macro EndTokenManager UN
Function ${UN}EndTokenManager
  ClearErrors
  FindWindow $0 "ZVAppMainFrame"
  ${If} $0 == 0
    Return
  ${EndIf}
  DetailPrint "关闭正在运行的USBKey管理工具"
  SendMessage $0 ${WM_QUERYENDSESSION} 0 1 $1 /TIMEOUT=5000
  SendMessage $0 ${WM_ENDSESSION} 1 1 $1 /TIMEOUT=5000
  StrCpy $1 0
  ${Do}
    System::Call 'kernel32::OpenMutex(i 0x00100000, i 0, t "${SINGLE_INSTANCE}") p .r2'
    ${If} $2 == 0
      Return
    ${EndIf}
    System::Call 'kernel32::CloseHandle(p r2)'
    IntOp $1 $1 + 1
    ${If} $1 > 200
      StrCpy $Failed 1
      Return
    ${EndIf}
    Sleep 50
  ${Loop}
FunctionEnd
!macroend
!insertmacro EndTokenManager ""
!insertmacro EndTokenManager "un."

; CopyFile with a few retries: the image of a program that has just ended
; may stay locked for a moment. $0 from, $1 to; $Failed on failure.
Function CopyOne
  StrCpy $3 0
  ${Do}
    System::Call 'kernel32::CopyFile(t r0, t r1, i 0) i .r2'
    ${If} $2 <> 0
      Return
    ${EndIf}
    IntOp $3 $3 + 1
    ${If} $3 > 40
      StrCpy $Failed 1
      Return
    ${EndIf}
    Sleep 50
  ${Loop}
FunctionEnd

!macro MakeDir ROOT REL
  CreateDirectory "${ROOT}\${REL}"
  ${IfNot} ${FileExists} "${ROOT}\${REL}\*.*"
    StrCpy $Failed 1
  ${EndIf}
!macroend
; Keeps a copy of a file that is there before the installation.
!macro Backup REL
  ${If} ${FileExists} "$Provider\${REL}"
    StrCpy $0 "$Provider\${REL}"
    StrCpy $1 "$PLUGINSDIR\backup\${REL}"
    Call CopyOne
  ${EndIf}
!macroend
!macro Put REL
  ${If} $Failed == 0
    StrCpy $0 "$PLUGINSDIR\payload\${REL}"
    StrCpy $1 "$Provider\${REL}"
    Call CopyOne
  ${EndIf}
!macroend
; Puts back what was there, removes what was not.
!macro Restore REL
  ${If} ${FileExists} "$PLUGINSDIR\backup\${REL}"
    StrCpy $0 "$PLUGINSDIR\backup\${REL}"
    StrCpy $1 "$Provider\${REL}"
    Call CopyOne
  ${Else}
    Delete "$Provider\${REL}"
  ${EndIf}
!macroend
!macro Remove REL
  Delete "$Provider\${REL}"
!macroend
!macro RemoveDir REL
  RMDir "$Provider\${REL}"
!macroend

Function RollBack
  !insertmacro PAYLOAD_FILES Restore
  ${If} $Fresh == 1
    Delete "$INSTDIR\uninst.exe"
    !insertmacro PAYLOAD_DIRS_DEEPEST_FIRST RemoveDir
    RMDir "$INSTDIR"
    RMDir "$Provider"
    DeleteRegKey HKLM "${UNINSTALL_KEY}"
    DeleteRegKey HKLM "${PROVIDER_KEY}"
    DeleteRegValue HKLM "${RUN_KEY}" "OrlinUser_20407"
    DeleteRegValue HKLM "${RUN_KEY}" "ZVApp"
    DeleteRegValue HKLM "${VERSION_KEY}" "ZVVer"
    SetShellVarContext all
    Delete "$SMPROGRAMS\${PRODUCT}\*.lnk"
    RMDir "$SMPROGRAMS\${PRODUCT}"
  ${EndIf}
FunctionEnd

!macro Fail TEXT
  DetailPrint "${TEXT}"
  Call RollBack
  SetErrorLevel ${FAILED}
  Quit
!macroend

!macro PayloadDir REL
  !insertmacro MakeDir "$Provider" "${REL}"
!macroend
!macro BackupDir REL
  !insertmacro MakeDir "$PLUGINSDIR\backup" "${REL}"
!macroend

Section
  SetDetailsPrint both
  InitPluginsDir
  !insertmacro ProgramFolders
  StrCpy $Failed 0
  StrCpy $Fresh 1
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "UninstallString"
  ReadRegStr $1 HKLM "${PROVIDER_KEY}" "Image Path"
  ${If} "$0$1" != ""
    StrCpy $Fresh 0
  ${EndIf}
  ${If} ${FileExists} "$INSTDIR\ZVApp.exe"
    StrCpy $Fresh 0
  ${EndIf}

  Call EndTokenManager
  ${If} $Failed == 1
    !insertmacro Fail "USBKey管理工具没有退出"
  ${EndIf}

  ; Everything is unpacked where it surely can be written, then copied.
  CreateDirectory "$PLUGINSDIR\payload"
  !insertmacro PAYLOAD_EXTRACT
  !insertmacro MakeDir "$PLUGINSDIR" "backup"
  !insertmacro PAYLOAD_DIRS BackupDir
  !insertmacro PAYLOAD_FILES Backup
  ${If} $Failed == 1
    !insertmacro Fail "无法保存原有文件"
  ${EndIf}

  DetailPrint "复制文件"
  CreateDirectory "$Provider"
  ${IfNot} ${FileExists} "$Provider\*.*"
    StrCpy $Failed 1
  ${EndIf}
  !insertmacro PAYLOAD_DIRS PayloadDir
  !insertmacro PAYLOAD_FILES Put
  ${If} $Failed == 0
    ClearErrors
    WriteUninstaller "$INSTDIR\uninst.exe"
    ${If} ${Errors}
      StrCpy $Failed 1
    ${EndIf}
  ${EndIf}
  ${If} $Failed == 1
    !insertmacro Fail "无法写入 $Provider"
  ${EndIf}

  DetailPrint "注册密码服务"
  ClearErrors
  WriteRegBin HKLM "${PROVIDER_KEY}" "Signature" "${SIGNATURE}"
  WriteRegStr HKLM "${PROVIDER_KEY}" "Image Path" "$INSTDIR\OstraCSP.dll"
  WriteRegStr HKLM "${PROVIDER_KEY}" "realPath" "$Provider\OstraCSP20407.dll"
  WriteRegDWORD HKLM "${PROVIDER_KEY}" "Type" 1
  WriteRegStr HKLM "${RUN_KEY}" "OrlinUser_20407" "$INSTDIR\OrlinUser_20407.exe"
  WriteRegStr HKLM "${RUN_KEY}" "ZVApp" '"$INSTDIR\ZVApp.exe"'
  WriteRegStr HKLM "${VERSION_KEY}" "ZVVer" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "Publisher" "岚川银行"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\ZVApp.exe"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKLM "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninst.exe"'
  WriteRegStr HKLM "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninst.exe" /S'
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKLM "${UNINSTALL_KEY}" "NoRepair" 1
  ${If} ${Errors}
    !insertmacro Fail "无法写入注册表"
  ${EndIf}

  SetShellVarContext all
  CreateDirectory "$SMPROGRAMS\${PRODUCT}"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\USBKey管理工具.lnk" "$INSTDIR\ZVApp.exe"
  CreateShortCut "$SMPROGRAMS\${PRODUCT}\卸载.lnk" "$INSTDIR\uninst.exe"
  ; The new token manager starts at the user's next logon, as the user;
  ; this installer runs elevated and starts nothing.
SectionEnd

Function un.onInit
  !insertmacro ProgramFolders
FunctionEnd

Section "Uninstall"
  SetDetailsPrint both
  StrCpy $Failed 0
  Call un.EndTokenManager
  ${If} $Failed == 1
    DetailPrint "USBKey管理工具没有退出"
    SetErrorLevel ${FAILED}
    Quit
  ${EndIf}
  !insertmacro PAYLOAD_FILES Remove
  Delete "$INSTDIR\uninst.exe"
  !insertmacro PAYLOAD_DIRS_DEEPEST_FIRST RemoveDir
  RMDir "$INSTDIR"
  RMDir "$Provider"
  DeleteRegKey HKLM "${PROVIDER_KEY}"
  DeleteRegValue HKLM "${RUN_KEY}" "OrlinUser_20407"
  DeleteRegValue HKLM "${RUN_KEY}" "ZVApp"
  DeleteRegValue HKLM "${VERSION_KEY}" "ZVVer"
  DeleteRegKey /ifempty HKLM "${VERSION_KEY}"
  DeleteRegKey HKLM "${UNINSTALL_KEY}"
  SetShellVarContext all
  Delete "$SMPROGRAMS\${PRODUCT}\USBKey管理工具.lnk"
  Delete "$SMPROGRAMS\${PRODUCT}\卸载.lnk"
  RMDir "$SMPROGRAMS\${PRODUCT}"
  ; The user's web settings are the user's: they stay, and we say so.
  ${If} ${FileExists} "$INSTDIR\URLSet.ini"
    DetailPrint "保留了网址设置 $INSTDIR\URLSet.ini"
    MessageBox MB_OK|MB_ICONINFORMATION "已卸载${PRODUCT}。$\r$\n保留了您的网址设置：$INSTDIR\URLSet.ini" /SD IDOK
  ${EndIf}
SectionEnd

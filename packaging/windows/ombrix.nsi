; The Windows installer: the program folder, Start-menu entries, the uninstaller
; and its Add/Remove Programs entry, for the current user or for all users.
; makensis is given VERSION, VERSION4 (the same in four numbers), PUBLISHER,
; COPYRIGHT, ARCH (x86_64 or i686), FILES (the lists of the program folder that
; StageInstaller.cmake wrote) and OUTFILE.
;
; Command line, besides NSIS's own /S and /D=FOLDER:
;   /AllUsers or /CurrentUser   where it goes (all users needs an administrator)
;   /ScheduledScan[=DAILY]      also a task that runs "ombrix.exe /scannow" weekly (or daily)
; The uninstaller takes /RemoveSettings: the user's settings and quarantine and
; the updater's state go too; without it they stay.

; The 64-bit program's installer is a 64-bit program itself: it runs where the
; program can, and sees the 64-bit Program Files and registry.
!if "${ARCH}" == "x86_64"
  Target amd64-unicode
!else
  Unicode true
!endif
SetCompressor /SOLID lzma

!define NAME "Ombrix"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Ombrix"
!define EVENTLOG_KEY "SYSTEM\CurrentControlSet\Services\EventLog\Application\Ombrix"
!define TASK "Ombrix scheduled scan"

Name "${NAME}"
OutFile "${OUTFILE}"
BrandingText "${NAME} ${VERSION}"

!define MULTIUSER_EXECUTIONLEVEL Highest
!define MULTIUSER_MUI
!define MULTIUSER_INSTALLMODE_COMMANDLINE
!define MULTIUSER_NOUNINSTALL
!define MULTIUSER_INSTALLMODE_INSTDIR "${NAME}"
!if "${ARCH}" == "x86_64"
  !define MULTIUSER_USE_PROGRAMFILES64
!endif
!include MultiUser.nsh
!include MUI2.nsh
!include LogicLib.nsh
!include FileFunc.nsh

VIProductVersion "${VERSION4}"
VIAddVersionKey /LANG=1033 ProductName "${NAME}"
VIAddVersionKey /LANG=1033 CompanyName "${PUBLISHER}"
VIAddVersionKey /LANG=1033 FileDescription "${NAME} Setup"
VIAddVersionKey /LANG=1033 LegalCopyright "${COPYRIGHT}"
VIAddVersionKey /LANG=1033 FileVersion "${VERSION}"
VIAddVersionKey /LANG=1033 ProductVersion "${VERSION}"

!define MUI_ICON "${NSISDIR}\Contrib\Graphics\Icons\modern-install.ico"
!define MUI_UNICON "${NSISDIR}\Contrib\Graphics\Icons\modern-uninstall.ico"
!define MUI_COMPONENTSPAGE_NODESC
!insertmacro MUI_PAGE_WELCOME
!insertmacro MULTIUSER_PAGE_INSTALLMODE
!insertmacro MUI_PAGE_COMPONENTS
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!define MUI_FINISHPAGE_RUN "$INSTDIR\ombrix.exe"
!insertmacro MUI_PAGE_FINISH

!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_COMPONENTS
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE English

!include "${FILES}"

Var Schedule

Section "Ombrix" SecProgram
  SectionIn RO
  !insertmacro InstallFiles
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortCut "$SMPROGRAMS\Ombrix.lnk" "$INSTDIR\ombrix.exe"
  CreateShortCut "$SMPROGRAMS\Ombrix Quarantine.lnk" "$INSTDIR\ombrix-quarantine-window.exe"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayName "${NAME}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayVersion "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" Publisher "${PUBLISHER}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" DisplayIcon "$INSTDIR\ombrix.exe"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" InstallLocation "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" UninstallString '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" QuietUninstallString '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoModify 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" NoRepair 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" EstimatedSize $0

  ; Scans of every user write to the Application log; registering its source
  ; takes an administrator.
  ${If} $MultiUser.InstallMode == AllUsers
    WriteRegExpandStr HKLM "${EVENTLOG_KEY}" EventMessageFile "$INSTDIR\ombrix.exe"
    WriteRegDWORD HKLM "${EVENTLOG_KEY}" TypesSupported 7
  ${EndIf}
SectionEnd

; The counterpart of the systemd timer: the installing user's scan of the
; program folder's drive, caught up when the computer was off at its time.
Section /o "Weekly scheduled scan" SecSchedule
  InitPluginsDir
  FileOpen $0 "$PLUGINSDIR\task.xml" w
  FileWriteUTF16LE /BOM $0 '<?xml version="1.0" encoding="UTF-16"?>$\r$\n'
  FileWriteUTF16LE $0 '<Task version="1.2" xmlns="http://schemas.microsoft.com/windows/2004/02/mit/task">$\r$\n'
  FileWriteUTF16LE $0 '  <RegistrationInfo><Author>${PUBLISHER}</Author><Description>Ombrix scan of the drive it is installed on</Description></RegistrationInfo>$\r$\n'
  FileWriteUTF16LE $0 '  <Triggers><CalendarTrigger><StartBoundary>2026-01-04T12:00:00</StartBoundary>$\r$\n'
  ${If} $Schedule == DAILY
    FileWriteUTF16LE $0 '    <ScheduleByDay><DaysInterval>1</DaysInterval></ScheduleByDay>$\r$\n'
  ${Else}
    FileWriteUTF16LE $0 '    <ScheduleByWeek><WeeksInterval>1</WeeksInterval><DaysOfWeek><Sunday /></DaysOfWeek></ScheduleByWeek>$\r$\n'
  ${EndIf}
  FileWriteUTF16LE $0 '  </CalendarTrigger></Triggers>$\r$\n'
  FileWriteUTF16LE $0 '  <Settings><StartWhenAvailable>true</StartWhenAvailable><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy><Priority>7</Priority></Settings>$\r$\n'
  FileWriteUTF16LE $0 '  <Actions><Exec><Command>"$INSTDIR\ombrix.exe"</Command><Arguments>/scannow</Arguments><WorkingDirectory>$INSTDIR</WorkingDirectory></Exec></Actions>$\r$\n'
  FileWriteUTF16LE $0 '</Task>$\r$\n'
  FileClose $0
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Create /TN "${TASK}" /XML "$PLUGINSDIR\task.xml" /F'
  Pop $0
  ${If} $0 != 0
    DetailPrint "The scheduled scan could not be created (schtasks: $0)."
  ${EndIf}
SectionEnd

Function .onInit
  ; The mode sets its default folder; a folder given with /D= stays.
  StrCpy $R9 $INSTDIR
  !insertmacro MULTIUSER_INIT
  ${If} $R9 != ""
    StrCpy $INSTDIR $R9
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/ScheduledScan" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${SecSchedule}
    StrCpy $Schedule WEEKLY
    ${If} $1 == "=DAILY"
      StrCpy $Schedule DAILY
    ${EndIf}
  ${EndIf}
FunctionEnd

Section "un.Ombrix" UnSecProgram
  SectionIn RO
  nsExec::ExecToLog '"$SYSDIR\schtasks.exe" /Delete /TN "${TASK}" /F'
  Pop $0
  Delete "$SMPROGRAMS\Ombrix.lnk"
  Delete "$SMPROGRAMS\Ombrix Quarantine.lnk"
  ${If} $MultiUser.InstallMode == AllUsers
    DeleteRegKey HKLM "${EVENTLOG_KEY}"
  ${EndIf}
  !insertmacro UninstallFiles
  ; The list an update replaced, kept by the updater beside the new one.
  Delete "$INSTDIR\ombrix.ini.bak"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

; The values Ombrix keeps at the top of HKEY_CURRENT_USER when it is started
; without a key path (those another program writes are that program's), the
; user's own quarantine and the updater's state under %ProgramData%.
Section /o "un.My settings, quarantined files and the updater's state" UnSecSettings
  DeleteRegValue HKCU "" "AutoRepair"
  DeleteRegValue HKCU "" "Scan SubFolders"
  DeleteRegValue HKCU "" "Scan All"
  DeleteRegValue HKCU "" "Quarantine"
  DeleteRegValue HKCU "" "Quarantine Limit"
  DeleteRegValue HKCU "" "Status"
  DeleteRegValue HKCU "" "UnabletoClean"
  DeleteRegValue HKCU "" "Found"
  DeleteRegValue HKCU "" "Looked For"
  DeleteRegValue HKCU "" "FileCount"
  DeleteRegValue HKCU "" "DirCount"
  DeleteRegValue HKCU "" "Last Check"
  DeleteRegValue HKCU "" "Metrics File"
  DeleteRegValue HKCU "" "Update URL"
  DeleteRegValue HKCU "" "Update Last Check"
  DeleteRegValue HKCU "" "Update Status"
  DeleteRegValue HKCU "" "Update Message"
  SetShellVarContext current
  RMDir /r "$LOCALAPPDATA\Ombrix"
  ; %ProgramData%
  SetShellVarContext all
  RMDir /r "$APPDATA\Ombrix"
SectionEnd

; The uninstaller works in the mode it was installed in: all users when the
; machine's entry names this folder.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" InstallLocation
  ${If} $0 == $INSTDIR
    StrCpy $MultiUser.InstallMode AllUsers
    SetShellVarContext all
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != Admin
      MessageBox MB_OK|MB_ICONSTOP "Ombrix was installed for all users: only an administrator can remove it." /SD IDOK
      SetErrorLevel 5
      Quit
    ${EndIf}
  ${Else}
    StrCpy $MultiUser.InstallMode CurrentUser
    SetShellVarContext current
  ${EndIf}
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/RemoveSettings" $1
  ${IfNot} ${Errors}
    !insertmacro SelectSection ${UnSecSettings}
  ${EndIf}
FunctionEnd

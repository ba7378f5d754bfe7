; The Glimmora installer and uninstaller (NSIS 3). Included by the generated
; glimmora_setup.nsi, which defines VERSION, OUTFILE, SAVER_FILE,
; LAUNCHER_FILE, ICON_FILE, LICENSE_FILE, HEIF_FILE and LICENCES_DIR.
;
; Two layouts:
; - for all users (the default for administrators): glimmora.scr in the
;   system folder, where the Screen Saver Settings dialog always lists it;
;   the rest in Program Files\Glimmora; the Apps & features entry in HKLM.
; - for the current user (/CurrentUser, and for users without administrator
;   rights): everything in %LOCALAPPDATA%\Programs\Glimmora; the entry in
;   HKCU.
; Either way "Make Glimmora my screen saver" is the current user's choice,
; made in HKCU\Control Panel\Desktop; the values it replaces are kept in
; HKCU\Software\Glimmora Setup\PreviousScreenSaver until the uninstaller
; puts them back: the setup's own key, apart from the user's settings in
; HKCU\Software\Glimmora, which users may delete to start afresh.

Target amd64-unicode
ManifestDPIAware true
RequestExecutionLevel highest
SetCompressor /SOLID lzma

!include "MUI2.nsh"
!include "nsDialogs.nsh"
!include "LogicLib.nsh"
!include "FileFunc.nsh"

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Glimmora"
!define SETTINGS_KEY "Software\Glimmora"
!define SETUP_KEY "Software\Glimmora Setup"
!define PREVIOUS_KEY "Software\Glimmora Setup\PreviousScreenSaver"
!define OLD_PREVIOUS_KEY "Software\Glimmora\PreviousScreenSaver" ; where earlier setups kept it
!define DESKTOP_KEY "Control Panel\Desktop"
!define SHORTCUT_NAME "Glimmora Settings.lnk"
!define SPI_SETSCREENSAVEACTIVE 17
!define SPIF_SENDCHANGE 2
!define ERROR_ELEVATION_REQUIRED 740

Name "Glimmora"
OutFile "${OUTFILE}"
BrandingText "Glimmora ${VERSION}"
ShowInstDetails show
ShowUninstDetails show

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "Glimmora"
VIAddVersionKey /LANG=1033 "CompanyName" "Glimmora Labs"
VIAddVersionKey /LANG=1033 "FileDescription" "Glimmora Setup"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (c) 2026 Glimmora Labs, MIT License"

Var all_users     ; 1: the all-users layout
Var saver_dir     ; where glimmora.scr goes
Var make_current  ; 1: make Glimmora the current user's screen saver
Var make_current_box

!define MUI_ICON "${ICON_FILE}"
!define MUI_UNICON "${ICON_FILE}"
!define MUI_ABORTWARNING

!insertmacro MUI_PAGE_WELCOME
Page custom OptionsPage OptionsPageLeave
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Makes the current user's value DST_KEY\DST_NAME a copy of SRC_KEY\SRC_NAME
; (both under HKCU): the same type and bytes, or no value when the source
; has none. Values of any type and length survive the round trip, so a
; damaged or foreign screen saver setting comes back exactly as it was.
; Uses $R0-$R9.
!macro DEFINE_COPY_USER_VALUE PREFIX
Function ${PREFIX}CopyUserValue
  Pop $R3 ; destination value name
  Pop $R2 ; destination key
  Pop $R1 ; source value name
  Pop $R0 ; source key
  StrCpy $R9 0 ; copied
  ; A key of our own for HKCU: the handle is the same on every Windows,
  ; which a predefined key passed through the System plug-in is not sure to be.
  System::Call 'advapi32::RegOpenCurrentUser(i 0x2001F, *p .R4) i .R5'
  ${If} $R5 = 0
    System::Call 'advapi32::RegOpenKeyExW(p R4, w R0, i 0, i 0x20019, *p .R6) i .R5'
    ${If} $R5 = 0
      System::Call 'advapi32::RegQueryValueExW(p R6, w R1, p 0, *i .R7, p 0, *i 0 R8) i .R5'
      ${If} $R5 = 0
        IntOp $R5 $R8 + 2
        System::Alloc $R5
        Pop $R5 ; the buffer
        System::Call 'advapi32::RegQueryValueExW(p R6, w R1, p 0, *i .R7, p R5, *i R8 R8) i .R0'
        ${If} $R0 = 0
          System::Call 'advapi32::RegCreateKeyExW(p R4, w R2, i 0, p 0, i 0, i 0x20006, p 0, *p .R1, p 0) i .R0'
          ${If} $R0 = 0
            System::Call 'advapi32::RegSetValueExW(p R1, w R3, i 0, i R7, p R5, i R8) i .R0'
            ${If} $R0 = 0
              StrCpy $R9 1
            ${EndIf}
            System::Call 'advapi32::RegCloseKey(p R1)'
          ${EndIf}
        ${EndIf}
        System::Free $R5
      ${EndIf}
      System::Call 'advapi32::RegCloseKey(p R6)'
    ${EndIf}
    System::Call 'advapi32::RegCloseKey(p R4)'
  ${EndIf}
  ${If} $R9 = 0
    DeleteRegValue HKCU "$R2" "$R3"
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_COPY_USER_VALUE ""
!insertmacro DEFINE_COPY_USER_VALUE "un."

!macro CopyUserValue PREFIX SRC_KEY SRC_NAME DST_KEY DST_NAME
  Push "${SRC_KEY}"
  Push "${SRC_NAME}"
  Push "${DST_KEY}"
  Push "${DST_NAME}"
  Call ${PREFIX}CopyUserValue
!macroend

; $0 = 1 when the current user's screen saver is this installation's
; glimmora.scr (long or short path, with or without environment variables).
!macro DEFINE_IS_CURRENT_SAVER PREFIX
Function ${PREFIX}IsCurrentSaver
  StrCpy $0 0
  ClearErrors
  ReadRegStr $1 HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
  ${IfNot} ${Errors}
  ${AndIf} $1 != ""
    ExpandEnvStrings $1 $1
    GetFullPathName /SHORT $2 "$saver_dir\glimmora.scr"
    ${If} $1 == "$saver_dir\glimmora.scr"
    ${OrIf} $1 == $2
      StrCpy $0 1
    ${EndIf}
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_IS_CURRENT_SAVER ""
!insertmacro DEFINE_IS_CURRENT_SAVER "un."

; Tells the running session whether a screen saver is on ($0 = "1": on),
; as the Screen Saver Settings dialog does; the registry alone counts from
; the next logon. Called before the registry values are written: Wine
; stores the state there as well.
!macro DEFINE_SET_SAVER_ACTIVE PREFIX
Function ${PREFIX}SetSaverActive
  ${If} $0 == "1"
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 1, p 0, i ${SPIF_SENDCHANGE})'
  ${Else}
    System::Call 'user32::SystemParametersInfoW(i ${SPI_SETSCREENSAVEACTIVE}, i 0, p 0, i ${SPIF_SENDCHANGE})'
  ${EndIf}
FunctionEnd
!macroend
!insertmacro DEFINE_SET_SAVER_ACTIVE ""
!insertmacro DEFINE_SET_SAVER_ACTIVE "un."

Function .onInit
  StrCpy $make_current 1
  ${GetParameters} $0
  ClearErrors
  ${GetOptions} $0 "/CurrentUser" $1
  ${If} ${Errors}
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 == "Admin"
      StrCpy $all_users 1
    ${Else}
      StrCpy $all_users 0
    ${EndIf}
  ${Else}
    StrCpy $all_users 0
  ${EndIf}

  ; An upgrade goes where the installed version is (/D= overrides).
  ${If} $all_users = 1
    SetShellVarContext all
    ${If} $INSTDIR == ""
      ReadRegStr $INSTDIR HKLM "${UNINSTALL_KEY}" "InstallLocation"
    ${EndIf}
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$PROGRAMFILES64\Glimmora"
    ${EndIf}
    StrCpy $saver_dir $SYSDIR
  ${Else}
    SetShellVarContext current
    ${If} $INSTDIR == ""
      ReadRegStr $INSTDIR HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${EndIf}
    ${If} $INSTDIR == ""
      StrCpy $INSTDIR "$LOCALAPPDATA\Programs\Glimmora"
    ${EndIf}
    StrCpy $saver_dir $INSTDIR
  ${EndIf}
FunctionEnd

Function OptionsPage
  !insertmacro MUI_HEADER_TEXT "Options" "How Glimmora is set up on this computer."
  nsDialogs::Create 1018
  Pop $0
  ${If} $all_users = 1
    StrCpy $1 "Glimmora will be installed for all users of this computer. The screen saver goes to the system folder, where the Screen Saver Settings dialog lists it for everyone."
  ${Else}
    StrCpy $1 "Glimmora will be installed for you only, in $INSTDIR. The Screen Saver Settings dialog lists it while it is your screen saver. To install it for all users, run this setup as an administrator."
  ${EndIf}
  ${NSD_CreateLabel} 0 0 100% 30u $1
  Pop $0
  ${NSD_CreateCheckbox} 0 40u 100% 12u "&Make Glimmora my screen saver"
  Pop $make_current_box
  ${If} $make_current = 1
    ${NSD_Check} $make_current_box
  ${EndIf}
  ${NSD_CreateLabel} 12u 54u -12u 24u "Your current screen saver is remembered: uninstalling Glimmora brings it back."
  Pop $0
  nsDialogs::Show
FunctionEnd

Function OptionsPageLeave
  ${NSD_GetState} $make_current_box $0
  ${If} $0 = ${BST_CHECKED}
    StrCpy $make_current 1
  ${Else}
    StrCpy $make_current 0
  ${EndIf}
FunctionEnd

; Earlier setups kept the previous screen saver among the settings: it moves
; to the setup's own key, unless that already holds one.
Function MoveOldRecord
  ReadRegDWORD $0 HKCU "${OLD_PREVIOUS_KEY}" "Recorded"
  ReadRegDWORD $1 HKCU "${PREVIOUS_KEY}" "Recorded"
  ${If} $0 = 1
  ${AndIf} $1 != 1
    DeleteRegKey HKCU "${PREVIOUS_KEY}"
    WriteRegDWORD HKCU "${PREVIOUS_KEY}" "Recorded" 1
    !insertmacro CopyUserValue "" "${OLD_PREVIOUS_KEY}" "SCRNSAVE.EXE" "${PREVIOUS_KEY}" "SCRNSAVE.EXE"
    !insertmacro CopyUserValue "" "${OLD_PREVIOUS_KEY}" "ScreenSaveActive" "${PREVIOUS_KEY}" "ScreenSaveActive"
  ${EndIf}
  DeleteRegKey HKCU "${OLD_PREVIOUS_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"
FunctionEnd

; Keeps what SCRNSAVE.EXE and ScreenSaveActive hold now, unless Glimmora
; already is the screen saver and an earlier install kept them (reinstalling
; must not remember Glimmora as the one to go back to).
Function MakeCurrentSaver
  Call IsCurrentSaver
  ReadRegDWORD $1 HKCU "${PREVIOUS_KEY}" "Recorded"
  ${If} $0 != 1
  ${OrIf} $1 != 1
    DeleteRegKey HKCU "${PREVIOUS_KEY}"
    WriteRegDWORD HKCU "${PREVIOUS_KEY}" "Recorded" 1
    ${If} $0 != 1
      !insertmacro CopyUserValue "" "${DESKTOP_KEY}" "SCRNSAVE.EXE" "${PREVIOUS_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
    !insertmacro CopyUserValue "" "${DESKTOP_KEY}" "ScreenSaveActive" "${PREVIOUS_KEY}" "ScreenSaveActive"
  ${EndIf}
  DetailPrint "Making Glimmora the screen saver"
  StrCpy $0 1
  Call SetSaverActive
  WriteRegStr HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE" "$saver_dir\glimmora.scr"
  WriteRegStr HKCU "${DESKTOP_KEY}" "ScreenSaveActive" "1"
FunctionEnd

Section "Glimmora" main_section
  SectionIn RO
  SetOutPath "$saver_dir"
  File "/oname=glimmora.scr" "${SAVER_FILE}"
  SetOutPath "$INSTDIR"
  File "/oname=glimmora-settings.exe" "${LAUNCHER_FILE}"
  File "/oname=LICENSE.txt" "${LICENSE_FILE}"
  ; Found by glimmora.scr beside itself or, from the system folder, through
  ; this installation's InstallLocation.
  File "/oname=libheif.dll" "${HEIF_FILE}"
  SetOutPath "$INSTDIR\licences"
  File /r "${LICENCES_DIR}/*"
  SetOutPath "$INSTDIR"
  WriteUninstaller "$INSTDIR\uninstall.exe"
  CreateShortcut "$SMPROGRAMS\${SHORTCUT_NAME}" "$INSTDIR\glimmora-settings.exe" "" \
    "$saver_dir\glimmora.scr" 0 SW_SHOWNORMAL "" "Glimmora screen saver options"

  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayName" "Glimmora"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "Publisher" "Glimmora Labs"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "DisplayIcon" "$saver_dir\glimmora.scr,0"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr SHCTX "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  SectionGetSize ${main_section} $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "EstimatedSize" $0
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD SHCTX "${UNINSTALL_KEY}" "NoRepair" 1

  Call MoveOldRecord
  ${If} $make_current = 1
    Call MakeCurrentSaver
  ${EndIf}
SectionEnd

; The layout follows from where the Apps & features entry that names this
; folder is: HKLM for all users, else HKCU.
Function un.onInit
  ReadRegStr $0 HKLM "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} $0 == $INSTDIR
    StrCpy $all_users 1
    UserInfo::GetAccountType
    Pop $1
    ${If} $1 != "Admin"
      MessageBox MB_OK|MB_ICONSTOP "Glimmora is installed for all users: removing it needs administrator rights." /SD IDOK
      SetErrorLevel ${ERROR_ELEVATION_REQUIRED}
      Quit
    ${EndIf}
    SetShellVarContext all
    StrCpy $saver_dir $SYSDIR
  ${Else}
    StrCpy $all_users 0
    SetShellVarContext current
    StrCpy $saver_dir $INSTDIR
  ${EndIf}
FunctionEnd

; The previous screen saver comes back only while Glimmora is still the
; current one: a saver chosen since then stays. The user's settings in
; HKCU\Software\Glimmora stay too.
Section "Uninstall"
  Call un.IsCurrentSaver
  ${If} $0 = 1
    ReadRegDWORD $1 HKCU "${PREVIOUS_KEY}" "Recorded"
    ${If} $1 = 1
      DetailPrint "Restoring the previous screen saver"
      ReadRegStr $0 HKCU "${PREVIOUS_KEY}" "ScreenSaveActive"
      Call un.SetSaverActive
      !insertmacro CopyUserValue "un." "${PREVIOUS_KEY}" "SCRNSAVE.EXE" "${DESKTOP_KEY}" "SCRNSAVE.EXE"
      !insertmacro CopyUserValue "un." "${PREVIOUS_KEY}" "ScreenSaveActive" "${DESKTOP_KEY}" "ScreenSaveActive"
    ${Else}
      ; Nothing to go back to: no screen saver beats one that is gone.
      DeleteRegValue HKCU "${DESKTOP_KEY}" "SCRNSAVE.EXE"
    ${EndIf}
  ${EndIf}
  DeleteRegKey HKCU "${SETUP_KEY}"
  DeleteRegKey /ifempty HKCU "${SETTINGS_KEY}"

  Delete "$SMPROGRAMS\${SHORTCUT_NAME}"
  Delete /REBOOTOK "$saver_dir\glimmora.scr"
  Delete "$INSTDIR\glimmora-settings.exe"
  Delete "$INSTDIR\LICENSE.txt"
  Delete "$INSTDIR\libheif.dll"
  RMDir /r "$INSTDIR\licences"
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR"
  ${If} $all_users = 0
    RMDir "$LOCALAPPDATA\Programs" ; only when empty: other programs use it too
  ${EndIf}
  DeleteRegKey SHCTX "${UNINSTALL_KEY}"
SectionEnd

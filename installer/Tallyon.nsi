; Tallyon's installer: a per-user installation that needs no administrator
; rights. scripts/package builds it with
;
;   makensis -DVERSION=1.0.0 -DSTAGE=<staged files> -DICON=<tallyon.ico>
;            -DOUTFILE=<Tallyon-1.0.0-setup.exe> installer/Tallyon.nsi
;
; STAGE holds what the zip holds: Tallyon.exe, tallyon-calc.exe, LICENSE.txt,
; Guide.txt and examples\*.par. Installed to %LOCALAPPDATA%\Programs\Tallyon,
; with a Start-menu shortcut, .par files opening in Tallyon and an entry in
; the list of installed programs, all under HKEY_CURRENT_USER.
;
; The user's data folder, %APPDATA%\Tallyon, belongs to the user: neither an
; upgrade nor the uninstaller touches it. A folder that holds files but no
; Tallyon installation is refused: the installation would be mixed into them
; and could overwrite them. In the program folder, neither touches a file
; that the installer did not put there, or one that the user changed since
; (an edited example, the guide with notes of their own): an upgrade leaves
; it and puts its own version beside it, the uninstaller leaves it and the
; folder that holds it.
;
; Silent: "Tallyon-1.0.0-setup.exe /S" installs, "uninstall.exe /S" removes.

!macro Required NAME
  !ifndef ${NAME}
    !error "define ${NAME} (see the head of this file)"
  !endif
!macroend
!insertmacro Required VERSION
!insertmacro Required STAGE
!insertmacro Required ICON
!insertmacro Required OUTFILE

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define PRODUCT "Tallyon"
!define PUBLISHER "The Tallyon developers"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallyon"
!define CLASSES "Software\Classes"
!define PROGID "Tallyon.ParameterList"
!define SHORTCUT "$SMPROGRAMS\Tallyon.lnk"
; SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, 0, 0): Explorer rereads
; the file associations and icons.
!define ASSOCIATIONS_CHANGED "shell32::SHChangeNotify(i 0x08000000, i 0, p 0, p 0)"
; Every file the installer put in place, as it was when it was put there: a
; value per file, named by its path inside the program folder, holding the
; file's size and last-write time. Upgrades and the uninstaller replace or
; delete a file only while it still matches. A pristine copy of each shipped
; file would let them compare bytes instead, but it doubles the folder, shows
; the user a second set of examples, and NSIS has no instruction that
; compares two files. Size and time suffice: File gives each file the time it
; has in the package, and any program that saves a file gives it the time of
; the save. The record sits beside the uninstall entry, so it goes with it:
; the folder holds what the zip holds, plus the uninstaller.
!define RECORD_KEY "${UNINSTALL_KEY}\InstalledFiles"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\Tallyon"
; An upgrade goes where the installed version is.
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

VIProductVersion "${VERSION}.0"
VIFileVersion "${VERSION}.0"
VIAddVersionKey /LANG=1033 "ProductName" "${PRODUCT}"
VIAddVersionKey /LANG=1033 "ProductVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileVersion" "${VERSION}"
VIAddVersionKey /LANG=1033 "FileDescription" "${PRODUCT} ${VERSION} setup"
VIAddVersionKey /LANG=1033 "CompanyName" "${PUBLISHER}"
VIAddVersionKey /LANG=1033 "LegalCopyright" "Copyright (C) 2026 the Tallyon developers"

!include "MUI2.nsh"
!include "FileFunc.nsh"
!include "LogicLib.nsh"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\Tallyon.exe"
!define MUI_FINISHPAGE_RUN_TEXT "Start Tallyon"

!insertmacro MUI_PAGE_LICENSE "${STAGE}\LICENSE.txt"
!define MUI_PAGE_CUSTOMFUNCTION_LEAVE DirectoryLeave
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "English"

; Pushes 1 when $INSTDIR may take the installation: it is missing or empty,
; or it holds the installed Tallyon (the uninstall entry names it, and its
; program or uninstaller is there). Any other folder holds someone's files,
; which an installation would be mixed into and could overwrite.
Function InstallDirIsFit
  Push $0
  ${DirState} "$INSTDIR" $0
  ${If} $0 == 1
    ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
    ${If} $0 == "$INSTDIR"
      ${If} ${FileExists} "$INSTDIR\uninstall.exe"
      ${OrIf} ${FileExists} "$INSTDIR\Tallyon.exe"
        StrCpy $0 1
      ${Else}
        StrCpy $0 0
      ${EndIf}
    ${Else}
      StrCpy $0 0
    ${EndIf}
  ${Else}
    StrCpy $0 1
  ${EndIf}
  Exch $0
FunctionEnd

Function .onInit
  SetShellVarContext current
  ; Silent, there is no one to choose another folder: an unfit one ends the
  ; installer before it writes anything, with NSIS's exit code for an
  ; installation the script aborted.
  ${If} ${Silent}
    Call InstallDirIsFit
    Pop $0
    ${If} $0 != 1
      SetErrorLevel 2
      Quit
    ${EndIf}
  ${EndIf}
FunctionEnd

; Interactively the user stays on the folder page until the folder is fit.
Function DirectoryLeave
  Call InstallDirIsFit
  Pop $0
  ${If} $0 != 1
    MessageBox MB_OK|MB_ICONEXCLAMATION "The folder $INSTDIR already holds files, but no Tallyon \
      installation.$\r$\n$\r$\nSo that none of those files is overwritten, Tallyon installs only \
      into a new or empty folder or over an installed Tallyon. Please choose another folder."
    Abort
  ${EndIf}
FunctionEnd

Function un.onInit
  SetShellVarContext current
FunctionEnd

; Both the installer and the uninstaller need these two, so they come in
; both flavours ("un." for the uninstaller's).
!macro RecordFunctions UN
  ; FILE on the stack; pushes its size and last-write time as one text, or
  ; "" when there is no such file.
  Function ${UN}FileStamp
    Exch $0
    Push $1
    Push $2
    Push $3
    ClearErrors
    GetFileTime "$0" $2 $3
    FileOpen $1 "$0" r
    ${If} ${Errors}
      StrCpy $0 ""
    ${Else}
      FileSeek $1 0 END $0
      FileClose $1
      StrCpy $0 "$0 $2 $3"
    ${EndIf}
    Pop $3
    Pop $2
    Pop $1
    Exch $0
  FunctionEnd

  ; PATH (inside $INSTDIR) on the stack; pushes 1 when that file is there
  ; and still as an installer put it, 0 otherwise.
  Function ${UN}IsAsInstalled
    Exch $0
    Push $1
    ReadRegStr $1 HKCU "${RECORD_KEY}" "$0"
    Push "$INSTDIR\$0"
    Call ${UN}FileStamp
    Pop $0
    ${If} $1 != ""
    ${AndIf} $0 == $1
      StrCpy $0 1
    ${Else}
      StrCpy $0 0
    ${EndIf}
    Pop $1
    Exch $0
  FunctionEnd
!macroend
!insertmacro RecordFunctions ""
!insertmacro RecordFunctions "un."

; PATH (inside $INSTDIR) on the stack: records the file as it is now.
Function RecordInstalled
  Exch $0
  Push $1
  Push "$INSTDIR\$0"
  Call FileStamp
  Pop $1
  WriteRegStr HKCU "${RECORD_KEY}" "$0" "$1"
  Pop $1
  Pop $0
FunctionEnd

; PATH (inside $INSTDIR) on the stack; pushes 1 when an installer may write
; there: nothing is there, or what is there is still as an installer put it.
Function PlaceIsFree
  Exch $0
  ${IfNot} ${FileExists} "$INSTDIR\$0"
    StrCpy $0 1
  ${Else}
    Push $0
    Call IsAsInstalled
    Pop $0
  ${EndIf}
  Exch $0
FunctionEnd

; A program is always this version's: the folder was found fit, so a
; program in it is an earlier version's (a copy of it beside the new one
; would only confuse).
!macro InstallProgram NAME
  File "${STAGE}\${NAME}"
  Push "${NAME}"
  Call RecordInstalled
!macroend

; A text file the user may have changed (the licence, the guide, an example)
; goes where it belongs when that place is free. Otherwise the user's file
; stays, and this version's goes beside it with the version in its name:
; examples\units.par stays, examples\units-1.0.0.par is the new one. If the
; user has a file of that name too, it stays as well, and this version's
; copy is left out.
!macro InstallText SUBDIR STEM EXT
  Push "${SUBDIR}${STEM}.${EXT}"
  Call PlaceIsFree
  Pop $R0
  ${If} $R0 == 1
    File "/oname=$INSTDIR\${SUBDIR}${STEM}.${EXT}" "${STAGE}\${SUBDIR}${STEM}.${EXT}"
    Push "${SUBDIR}${STEM}.${EXT}"
    Call RecordInstalled
  ${Else}
    Push "${SUBDIR}${STEM}-${VERSION}.${EXT}"
    Call PlaceIsFree
    Pop $R0
    ${If} $R0 == 1
      DetailPrint "Kept your ${SUBDIR}${STEM}.${EXT}; this version's is ${SUBDIR}${STEM}-${VERSION}.${EXT}"
      File "/oname=$INSTDIR\${SUBDIR}${STEM}-${VERSION}.${EXT}" "${STAGE}\${SUBDIR}${STEM}.${EXT}"
      Push "${SUBDIR}${STEM}-${VERSION}.${EXT}"
      Call RecordInstalled
    ${Else}
      DetailPrint "Kept your ${SUBDIR}${STEM}.${EXT} and ${SUBDIR}${STEM}-${VERSION}.${EXT}"
    ${EndIf}
  ${EndIf}
!macroend

; An installed version is removed by its own uninstaller first, so that a
; file the new version no longer ships does not stay behind. "_?=" runs it
; in place, and so ExecWait waits for it (without it the uninstaller copies
; itself away and returns at once). Like every uninstall it leaves the
; user's data folder alone, and in the program folder every file that the
; user added or changed; the installation then puts this version's beside
; those.
Function RemoveInstalledVersion
  ReadRegStr $0 HKCU "${UNINSTALL_KEY}" "InstallLocation"
  ${If} $0 != ""
  ${AndIf} ${FileExists} "$0\uninstall.exe"
    DetailPrint "Removing the installed version from $0"
    ExecWait '"$0\uninstall.exe" /S _?=$0'
    Delete "$0\uninstall.exe"
    RMDir "$0"
  ${EndIf}
FunctionEnd

Section "Tallyon" SecProgram
  SectionIn RO
  Call RemoveInstalledVersion

  SetOutPath "$INSTDIR"
  !insertmacro InstallProgram "Tallyon.exe"
  !insertmacro InstallProgram "tallyon-calc.exe"
  !insertmacro InstallText "" "LICENSE" "txt"
  !insertmacro InstallText "" "Guide" "txt"
  SetOutPath "$INSTDIR\examples"
  !insertmacro InstallText "examples\" "units" "par"
  !insertmacro InstallText "examples\" "electrical" "par"
  !insertmacro InstallText "examples\" "constants" "par"
  WriteUninstaller "$INSTDIR\uninstall.exe"

  ; The shortcut's working folder is the user's documents, where the
  ; Save and Read dialogs then open.
  SetOutPath "$DOCUMENTS"
  CreateShortcut "${SHORTCUT}" "$INSTDIR\Tallyon.exe" "" "$INSTDIR\Tallyon.exe" 0 \
    SW_SHOWNORMAL "" "Tallyon expression calculator"
  SetOutPath "$INSTDIR"

  ; .par files open in Tallyon, for this user only.
  WriteRegStr HKCU "${CLASSES}\.par" "" "${PROGID}"
  WriteRegStr HKCU "${CLASSES}\.par\OpenWithProgids" "${PROGID}" ""
  WriteRegStr HKCU "${CLASSES}\${PROGID}" "" "Tallyon parameter list"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\DefaultIcon" "" "$INSTDIR\Tallyon.exe,0"
  WriteRegStr HKCU "${CLASSES}\${PROGID}\shell\open\command" "" '"$INSTDIR\Tallyon.exe" "%1"'
  System::Call "${ASSOCIATIONS_CHANGED}"

  ; The entry in Settings, Apps (and Programs and Features).
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "${PUBLISHER}"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\Tallyon.exe,0"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
  WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\uninstall.exe"'
  WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\uninstall.exe" /S'
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
  ${GetSize} "$INSTDIR" "/S=0K" $0 $1 $2
  WriteRegDWORD HKCU "${UNINSTALL_KEY}" "EstimatedSize" $0
SectionEnd

; Removes what the installer put in place and is still as it was put there.
; A file the user added or changed stays, and so do the folders that hold
; one (RMDir without /r removes only empty ones).
Section "Uninstall"
  StrCpy $R1 0
  ${Do}
    ClearErrors
    EnumRegValue $R0 HKCU "${RECORD_KEY}" $R1
    ${If} ${Errors}
      ${ExitDo}
    ${EndIf}
    IntOp $R1 $R1 + 1
    Push $R0
    Call un.IsAsInstalled
    Pop $R2
    ${If} $R2 == 1
      Delete "$INSTDIR\$R0"
    ${ElseIf} ${FileExists} "$INSTDIR\$R0"
      DetailPrint "Kept $INSTDIR\$R0: it was changed after it was installed"
    ${EndIf}
  ${Loop}
  Delete "$INSTDIR\uninstall.exe"
  RMDir "$INSTDIR\examples"
  RMDir "$INSTDIR"

  Delete "${SHORTCUT}"

  ; .par stays with another program that took it over since.
  ReadRegStr $0 HKCU "${CLASSES}\.par" ""
  ${If} $0 == "${PROGID}"
    DeleteRegValue HKCU "${CLASSES}\.par" ""
  ${EndIf}
  DeleteRegValue HKCU "${CLASSES}\.par\OpenWithProgids" "${PROGID}"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.par\OpenWithProgids"
  DeleteRegKey /ifempty HKCU "${CLASSES}\.par"
  DeleteRegKey HKCU "${CLASSES}\${PROGID}"
  System::Call "${ASSOCIATIONS_CHANGED}"

  DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

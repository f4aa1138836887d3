; The Windows setup program of Velmora: velmora.exe, velmora-cli.exe and the guide in one
; folder, a Start menu shortcut, and an uninstaller that Windows lists under its programs.
;
; Velmora writes Horadia.ini (the completion code Sauce reads) and the run's notes beside
; velmora.exe, as the person who runs it, who may have no administrator's rights: so it is
; installed for that person, in their own %LOCALAPPDATA%\Programs, where they can write, and is
; registered under HKEY_CURRENT_USER. No administrator is asked for, during the setup or after.
;
; Built by CMake (packaging/windows/CMakeLists.txt) with:
;   VERSION  the project's version      STAGE    the files to install
;   ICON     the program's icon         OUTFILE  the setup program to write

Unicode true
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!include "MUI2.nsh"

!define PRODUCT "Velmora"
!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora"
!define UNINSTALLER "desinstalar.exe"

Name "${PRODUCT} ${VERSION}"
OutFile "${OUTFILE}"
InstallDir "$LOCALAPPDATA\Programs\${PRODUCT}"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
BrandingText "${PRODUCT} ${VERSION}"

!define MUI_ICON "${ICON}"
!define MUI_UNICON "${ICON}"
!define MUI_ABORTWARNING
!define MUI_FINISHPAGE_RUN "$INSTDIR\velmora.exe"

!insertmacro MUI_PAGE_WELCOME
!insertmacro MUI_PAGE_DIRECTORY
!insertmacro MUI_PAGE_INSTFILES
!insertmacro MUI_PAGE_FINISH
!insertmacro MUI_UNPAGE_CONFIRM
!insertmacro MUI_UNPAGE_INSTFILES
!insertmacro MUI_LANGUAGE "Spanish"

Section "Velmora"
    SetShellVarContext current
    SetOutPath "$INSTDIR"
    File "${STAGE}\velmora.exe"
    File "${STAGE}\velmora-cli.exe"
    SetOutPath "$INSTDIR\guia"
    File "${STAGE}\guia\*.html"
    SetOutPath "$INSTDIR"

    WriteUninstaller "$INSTDIR\${UNINSTALLER}"
    CreateShortCut "$SMPROGRAMS\${PRODUCT}.lnk" "$INSTDIR\velmora.exe"

    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "${PRODUCT}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\velmora.exe"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\${UNINSTALLER}"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\${UNINSTALLER}" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Everything the setup put there, and what Velmora itself wrote beside velmora.exe. A file
; someone else put in the folder (a SAUCE.chm, say) is left alone, and the folder with it.
Section "Uninstall"
    SetShellVarContext current
    Delete "$INSTDIR\velmora.exe"
    Delete "$INSTDIR\velmora-cli.exe"
    Delete "$INSTDIR\guia\*.html"
    RMDir "$INSTDIR\guia"
    Delete "$INSTDIR\Horadia.ini"
    Delete "$INSTDIR\Velmora-avisos.txt"
    Delete "$INSTDIR\${UNINSTALLER}"
    RMDir "$INSTDIR"
    Delete "$SMPROGRAMS\${PRODUCT}.lnk"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

; The Windows installer, made by scripts/windows-installer.sh with Debian's makensis.
; It installs for the current user, with no administrator rights: the programs go
; to %LOCALAPPDATA%\Programs\Vesnor, a shortcut to the Start menu, and the
; uninstaller is listed among the installed apps with the version and the icon.
; /S installs (and uninstalls) without a word.
;   makensis -DVERSION=2.02 -DSTAGE=folder -DOUTFILE=setup.exe -DICON=vesnor.ico vesnor.nsi

; The programs are 64-bit, and so is the installer (wine without 32-bit runs it too).
Target amd64-unicode
SetCompressor /SOLID lzma
RequestExecutionLevel user
ManifestDPIAware true

!define UNINSTALL_KEY "Software\Microsoft\Windows\CurrentVersion\Uninstall\Vesnor"

Name "Vesnor ${VERSION}"
OutFile "${OUTFILE}"
Icon "${ICON}"
UninstallIcon "${ICON}"
InstallDir "$LOCALAPPDATA\Programs\Vesnor"
InstallDirRegKey HKCU "${UNINSTALL_KEY}" "InstallLocation"
LicenseData "${STAGE}/LICENSE.txt"
BrandingText "Vesnor ${VERSION}"

VIProductVersion "${VERSION}.0.0"
VIAddVersionKey "ProductName" "Vesnor"
VIAddVersionKey "ProductVersion" "${VERSION}"
VIAddVersionKey "FileVersion" "${VERSION}"
VIAddVersionKey "FileDescription" "Vesnor ${VERSION} installer"
VIAddVersionKey "LegalCopyright" "Copyright (c) 2026 The Vesnor developers. MIT licence."

Page license
Page directory
Page instfiles
UninstPage uninstConfirm
UninstPage instfiles

Section "Vesnor"
    SetOutPath "$INSTDIR"
    File /r "${STAGE}/*.*"
    WriteUninstaller "$INSTDIR\Uninstall.exe"
    CreateShortCut "$SMPROGRAMS\Vesnor.lnk" "$INSTDIR\vesnor.exe" "" "$INSTDIR\vesnor.exe" 0 \
        SW_SHOWNORMAL "" "Armenian-English text composer"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayName" "Vesnor"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayVersion" "${VERSION}"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "DisplayIcon" "$INSTDIR\vesnor.exe,0"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "Publisher" "The Vesnor developers"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "InstallLocation" "$INSTDIR"
    WriteRegStr HKCU "${UNINSTALL_KEY}" "UninstallString" '"$INSTDIR\Uninstall.exe"'
    WriteRegStr HKCU "${UNINSTALL_KEY}" "QuietUninstallString" '"$INSTDIR\Uninstall.exe" /S'
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoModify" 1
    WriteRegDWORD HKCU "${UNINSTALL_KEY}" "NoRepair" 1
SectionEnd

; Only what the installer put there goes: files saved beside the program stay.
Section "Uninstall"
    Delete "$SMPROGRAMS\Vesnor.lnk"
    !include "${FILELIST}"
    Delete "$INSTDIR\Uninstall.exe"
    RMDir "$INSTDIR\platforms"
    RMDir "$INSTDIR\styles"
    RMDir "$INSTDIR"
    DeleteRegKey HKCU "${UNINSTALL_KEY}"
SectionEnd

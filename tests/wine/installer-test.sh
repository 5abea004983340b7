#!/usr/bin/env bash
# The Windows installer on Wine: VANTREL.INF installed with setupapi, as a user's
# right click -> Install does, gives the registry entries and files the shell
# needs, and the shell's Properties sheet of a PE file then has the page; the
# uninstall command it leaves in the registry removes all of it again.
#   installer-test.sh SESSION SETUP_DIR SHOW_PROPERTIES_EXE [SHOW_PROPERTIES_32_EXE]
# A SETUP_DIR with VANTRL64.DLL is installed as on 64-bit Windows (the prefix
# must be a 64-bit one): by the 64-bit setupapi, the 64-bit library for the
# 64-bit shell (SHOW_PROPERTIES_EXE) and the 32-bit one for 32-bit programs
# (SHOW_PROPERTIES_32_EXE).
set -u
session=${1:?session directory}
setup=${2:?folder with VANTREL.INF and the libraries}
helper=${3:?ShowProperties.exe}
helper32=${4:-}
session_script=$(dirname "$0")/wine-session.sh
prefix=$session/prefix
clsid='{65C61BDC-AED2-48D8-8EEB-65CB2F6EDE68}'
class_key="HKCR\\CLSID\\$clsid"
handler_key='HKCR\*\shellex\PropertySheetHandlers\Vantrel'
approved_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel'
system=$prefix/drive_c/windows/system32
target='C:\windows\system32\shell32.dll'
views=(32)
if [ -f "$setup/VANTRL64.DLL" ]; then
    # Wine's own programs (rundll32, reg) as 64-bit ones, as on 64-bit Windows.
    export VANTREL_WINE=/usr/lib/wine/wine64
    views=(64 32)
fi
failures=0

wine_run() { bash "$session_script" run "$session" "$@"; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
# Wine's reg.exe of one width, reading the registry as that width's programs
# see it (the views of Wine's 64-bit reg.exe do not share HKCR\* as Windows does).
reg_of() {
    local loader=wine
    [ "$1" = 32 ] || loader=/usr/lib/wine/wine64
    VANTREL_WINE=$loader wine_run reg query "${@:2}" "/reg:$1"
}
# The string data of one value ("" for the default one) in one registry view;
# empty when missing.
value_of() {
    local option=(/v "$2")
    [ -n "$2" ] || option=(/ve)
    reg_of "$3" "$1" "${option[@]}" 2>/dev/null | tr -d '\r' |
        LC_ALL=C sed -n 's/^.*REG_SZ    //p' | head -n 1
}
expect_value() {
    local actual
    actual=$(value_of "$1" "$2" "$4")
    [ "$actual" = "$3" ] || fail "$1 [$2] in the $4-bit view is '$actual', expected '$3'"
}
expect_no_key() { reg_of "$2" "$1" >/dev/null 2>&1 && fail "$1 is still there ($2-bit view)"; }
# Where each view's library lies, its staged name and the path registered for
# it. A 32-bit setupapi in a 64-bit prefix writes "system32", which 32-bit
# programs find in the 32-bit system folder.
library_of() {
    local wow=$prefix/drive_c/windows/syswow64
    if [ "$1" = 64 ]; then
        echo "$system/VANTREL.DLL VANTRL64.DLL C:\\windows\\system32\\VANTREL.DLL"
    elif [ "${#views[@]}" -eq 2 ]; then
        echo "$wow/VANTREL.DLL VANTREL.DLL C:\\windows\\syswow64\\VANTREL.DLL"
    elif [ -d "$wow" ]; then
        echo "$wow/VANTREL.DLL VANTREL.DLL C:\\windows\\system32\\VANTREL.DLL"
    else
        echo "$system/VANTREL.DLL VANTREL.DLL C:\\windows\\system32\\VANTREL.DLL"
    fi
}
sheet_helper() { if [ "$1" = 32 ] && [ -n "$helper32" ]; then echo "$helper32"; else echo "$helper"; fi; }

setup_windows="Z:$(cd "$setup" && pwd | sed 's|/|\\|g')\\VANTREL.INF"
wine_run rundll32.exe setupapi.dll,InstallHinfSection DefaultInstall 132 "$setup_windows" ||
    fail "installing $setup_windows"
[ -f "$prefix/drive_c/windows/inf/VANTREL.INF" ] || fail "VANTREL.INF not in the INF folder"
for view in "${views[@]}"; do
    read -r installed staged registered <<<"$(library_of "$view")"
    cmp -s "$setup/$staged" "$installed" || fail "$staged not installed as $installed"
    expect_value "$class_key\\InProcServer32" "" "$registered" "$view"
    expect_value "$class_key\\InProcServer32" ThreadingModel Apartment "$view"
    expect_value "$handler_key" "" "$clsid" "$view"
    [ -n "$(value_of "$approved_key" "$clsid" "$view")" ] || fail "the extension is not approved ($view-bit view)"
    VANTREL_WINE=wine wine_run "$(sheet_helper "$view")" --close "$target" ||
        fail "the installed extension's page is not in the $view-bit shell's sheet"
done

uninstall=$(value_of "$uninstall_key" UninstallString "${views[0]}")
[ -n "$uninstall" ] || fail "no uninstall command"
# The command as Add/Remove Programs runs it: a program and its arguments.
read -r -a command <<<"$uninstall"
wine_run "${command[@]}" || fail "running '$uninstall'"
for view in "${views[@]}"; do
    read -r installed staged registered <<<"$(library_of "$view")"
    expect_no_key "$class_key" "$view"
    expect_no_key "$handler_key" "$view"
    expect_no_key "$uninstall_key" "$view"
    [ -z "$(value_of "$approved_key" "$clsid" "$view")" ] || fail "the approval is still there ($view-bit view)"
    [ ! -e "$installed" ] || fail "$installed is still there"
    VANTREL_WINE=wine wine_run "$(sheet_helper "$view")" --close "$target" >/dev/null
    [ $? -eq 1 ] || fail "the $view-bit shell's sheet still has the page after the uninstall"
done

[ "$failures" -eq 0 ] && echo "installer (${views[*]}-bit): install, shell pages and uninstall all fine"
exit $((failures > 0))

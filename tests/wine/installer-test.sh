#!/usr/bin/env bash
# The Windows installer on Wine: VANTREL.INF installed with setupapi, as a user's
# right click -> Install does, gives the registry entries and files the shell
# needs, and the shell's Properties sheet of a PE file then has the page; the
# uninstall command it leaves in the registry removes all of it again.
#   installer-test.sh SESSION SETUP_DIR SHOW_PROPERTIES_EXE
set -u
session=${1:?session directory}
setup=${2:?folder with VANTREL.INF and VANTREL.DLL}
helper=${3:?ShowProperties.exe}
session_script=$(dirname "$0")/wine-session.sh
prefix=$session/prefix
clsid='{65C61BDC-AED2-48D8-8EEB-65CB2F6EDE68}'
class_key="HKCR\\CLSID\\$clsid"
handler_key='HKCR\*\shellex\PropertySheetHandlers\Vantrel'
approved_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vantrel'
target='C:\windows\system32\shell32.dll'
failures=0

wine_run() { bash "$session_script" run "$session" "$@"; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
# The string data of one value ("" for the default one); empty when missing.
value_of() {
    local option=(/v "$2")
    [ -n "$2" ] || option=(/ve)
    wine_run reg query "$1" "${option[@]}" 2>/dev/null | tr -d '\r' | LC_ALL=C sed -n 's/^.*REG_SZ    //p' | head -n 1
}
expect_value() {
    local actual
    actual=$(value_of "$1" "$2")
    [ "$actual" = "$3" ] || fail "$1 [$2] is '$actual', expected '$3'"
}
expect_no_key() { wine_run reg query "$1" >/dev/null 2>&1 && fail "$1 is still there"; }

setup_windows="Z:$(cd "$setup" && pwd | sed 's|/|\\|g')\\VANTREL.INF"
wine_run rundll32.exe setupapi.dll,InstallHinfSection DefaultInstall 132 "$setup_windows" ||
    fail "installing $setup_windows"
cmp -s "$setup/VANTREL.DLL" "$prefix/drive_c/windows/system32/VANTREL.DLL" || fail "library not in the system folder"
[ -f "$prefix/drive_c/windows/inf/VANTREL.INF" ] || fail "VANTREL.INF not in the INF folder"
expect_value "$class_key\\InProcServer32" "" 'C:\windows\system32\VANTREL.DLL'
expect_value "$class_key\\InProcServer32" ThreadingModel Apartment
expect_value "$handler_key" "" "$clsid"
[ -n "$(value_of "$approved_key" "$clsid")" ] || fail "the extension is not approved"
wine_run "$helper" --close "$target" || fail "the installed extension's page is not in the sheet"

uninstall=$(value_of "$uninstall_key" UninstallString)
[ -n "$uninstall" ] || fail "no uninstall command"
# The command as Add/Remove Programs runs it: a program and its arguments.
read -r -a command <<<"$uninstall"
wine_run "${command[@]}" || fail "running '$uninstall'"
expect_no_key "$class_key"
expect_no_key "$handler_key"
expect_no_key "$uninstall_key"
[ -z "$(value_of "$approved_key" "$clsid")" ] || fail "the approval is still there"
[ ! -e "$prefix/drive_c/windows/system32/VANTREL.DLL" ] || fail "library still in the system folder"
wine_run "$helper" --close "$target" >/dev/null
[ $? -eq 1 ] || fail "the sheet still has the page after the uninstall"

[ "$failures" -eq 0 ] && echo "installer: install, shell page and uninstall all fine"
exit $((failures > 0))

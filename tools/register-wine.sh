#!/usr/bin/env bash
# Registers VANTREL.DLL with the shell of the project's Wine prefix, as the
# Windows installer (installer/VANTREL.INF) registers it on Windows: an
# in-process server with apartment threading, a property-sheet handler for every
# file, and an approved shell extension.
#
#   tools/register-wine.sh [--session DIR] [--arch x86|x64 [--dll PATH]] [--copy]
#   tools/register-wine.sh --unregister [--session DIR] [--arch x86|x64]
#
# --session DIR  the Wine session (tests/wine/wine-session.sh) whose prefix gets
#                the entries; default build/win32/wine, the tests' prefix.
# --arch ARCH    only the 32-bit (x86) or the 64-bit (x64) library. Default:
#                each one that has been built (build/win32, build/win64), the
#                32-bit one for 32-bit programs, the 64-bit one for 64-bit
#                programs, each in its view of the registry, as the installer
#                does on 64-bit Windows. A 64-bit library needs a 64-bit prefix.
# --dll PATH     with --arch: the library to register; default the build's
#                VANTREL.DLL, registered where it lies, so a rebuild is picked up
#                at once.
# --copy         copy each library into the prefix's system folder for its
#                programs and register that copy, as the installer does.
# --unregister   remove every entry (and copies in the system folders); entries
#                that are not there are no error.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
session=$root/build/win32/wine
arch=""
dll=""
copy=0
unregister=0
while [ $# -gt 0 ]; do
    case "$1" in
    --session) session=${2:?--session needs a directory}; shift 2 ;;
    --arch) arch=${2:?--arch needs x86 or x64}; shift 2 ;;
    --dll) dll=${2:?--dll needs a path}; shift 2 ;;
    --copy) copy=1; shift ;;
    --unregister) unregister=1; shift ;;
    *) echo "usage: $0 [--unregister] [--session DIR] [--arch x86|x64 [--dll PATH]] [--copy]" >&2; exit 2 ;;
    esac
done
case "$arch" in
"") [ -z "$dll" ] || { echo "register-wine: --dll needs --arch" >&2; exit 2; } ;;
x86 | x64) ;;
*) echo "register-wine: --arch is x86 or x64" >&2; exit 2 ;;
esac

clsid='{65C61BDC-AED2-48D8-8EEB-65CB2F6EDE68}'
description='Vantrel resource page'
class_key="HKCR\\CLSID\\$clsid"
handler_key='HKCR\*\shellex\PropertySheetHandlers\Vantrel'
approved_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved'
session_script=$root/tests/wine/wine-session.sh
mkdir -p "$session"
session=$(cd "$session" && pwd)
windows=$session/prefix/drive_c/windows

# reg needs no display, but every Wine program here runs inside a session; start
# one for the duration when none is running, and stop only what was started here.
started=0
if [ ! -f "$session/display" ] && [ -z "${DISPLAY:-}" ]; then
    bash "$session_script" start "$session" >/dev/null
    started=1
fi
finish() { [ "$started" -eq 0 ] || bash "$session_script" stop "$session" >/dev/null; }
trap finish EXIT

# A prefix with a 32-bit system folder beside the 64-bit one runs both kinds of
# programs, each with its own view of the registry; a 32-bit prefix has one.
wow64=0
[ -d "$windows/syswow64" ] && wow64=1

# Per architecture: the registry view, the loader that runs Wine's reg.exe in
# it, the system folder its programs load from and that folder's Windows name.
setup_arch() {
    if [ "$1" = x64 ]; then
        [ "$wow64" -eq 1 ] || { echo "register-wine: $session/prefix is a 32-bit prefix" >&2; exit 1; }
        view=(/reg:64) loader=/usr/lib/wine/wine64 folder=$windows/system32 folder_name=system32
    elif [ "$wow64" -eq 1 ]; then
        view=(/reg:32) loader=wine folder=$windows/syswow64 folder_name=syswow64
    else
        view=() loader=wine folder=$windows/system32 folder_name=system32
    fi
}
reg() { VANTREL_WINE=$loader bash "$session_script" run "$session" reg "$@" "${view[@]}" >/dev/null; }

if [ -n "$arch" ]; then
    arches=("$arch")
elif [ "$unregister" -eq 1 ]; then
    arches=(x86)
    [ "$wow64" -eq 0 ] || arches+=(x64)
else
    arches=()
    for a in x86 x64; do
        build=win32
        [ "$a" = x86 ] || build=win64
        [ ! -f "$root/build/$build/VANTREL.DLL" ] || arches+=("$a")
    done
    [ ${#arches[@]} -gt 0 ] || { echo "register-wine: no build/win32 or build/win64 VANTREL.DLL; build a preset first" >&2; exit 1; }
fi

for a in "${arches[@]}"; do
    setup_arch "$a"
    if [ "$unregister" -eq 1 ]; then
        reg delete "$handler_key" /f || true
        reg delete "$class_key" /f || true
        reg delete "$approved_key" /v "$clsid" /f || true
        rm -f "$folder/VANTREL.DLL"
        echo "register-wine: $clsid ($a) removed from $session/prefix"
        continue
    fi
    library=$dll
    if [ -z "$library" ]; then
        library=$root/build/win32/VANTREL.DLL
        [ "$a" = x86 ] || library=$root/build/win64/VANTREL.DLL
    fi
    [ -f "$library" ] || { echo "register-wine: $library not found; build its preset first" >&2; exit 1; }
    if [ "$copy" -eq 1 ]; then
        cp "$library" "$folder/VANTREL.DLL"
        server="C:\\windows\\$folder_name\\VANTREL.DLL"
    else
        library=$(cd "$(dirname "$library")" && pwd)/$(basename "$library")
        # Wine's drive Z: is the Unix root.
        server="Z:${library//\//\\}"
    fi
    reg add "$class_key" /ve /d "$description" /f
    reg add "$class_key\\InProcServer32" /ve /d "$server" /f
    reg add "$class_key\\InProcServer32" /v ThreadingModel /d Apartment /f
    reg add "$handler_key" /ve /d "$clsid" /f
    reg add "$approved_key" /v "$clsid" /d "$description" /f
    echo "register-wine: $clsid ($a) -> $server in $session/prefix"
done

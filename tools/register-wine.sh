#!/usr/bin/env bash
# Registers VANTREL.DLL with the shell of the project's Wine prefix, as the
# Windows installer (installer/VANTREL.INF) registers it on Windows: an
# in-process server with apartment threading, a property-sheet handler for every
# file, and an approved shell extension.
#
#   tools/register-wine.sh [--session DIR] [--dll PATH] [--copy]
#   tools/register-wine.sh --unregister [--session DIR]
#
# --session DIR  the Wine session (tests/wine/wine-session.sh) whose prefix gets
#                the entries; default build/win32/wine, the tests' prefix.
# --dll PATH     the library to register; default build/win32/VANTREL.DLL,
#                registered where it lies, so a rebuild is picked up at once.
# --copy         copy the library into the prefix's system folder and register
#                that copy, as the installer does.
# --unregister   remove every entry (and a copy in the system folder); entries
#                that are not there are no error.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
session=$root/build/win32/wine
dll=$root/build/win32/VANTREL.DLL
copy=0
unregister=0
while [ $# -gt 0 ]; do
    case "$1" in
    --session) session=${2:?--session needs a directory}; shift 2 ;;
    --dll) dll=${2:?--dll needs a path}; shift 2 ;;
    --copy) copy=1; shift ;;
    --unregister) unregister=1; shift ;;
    *) echo "usage: $0 [--unregister] [--session DIR] [--dll PATH] [--copy]" >&2; exit 2 ;;
    esac
done

clsid='{65C61BDC-AED2-48D8-8EEB-65CB2F6EDE68}'
description='Vantrel resource page'
class_key="HKCR\\CLSID\\$clsid"
handler_key='HKCR\*\shellex\PropertySheetHandlers\Vantrel'
approved_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Shell Extensions\Approved'
session_script=$root/tests/wine/wine-session.sh
mkdir -p "$session"
session=$(cd "$session" && pwd)
system_copy=$session/prefix/drive_c/windows/system32/VANTREL.DLL

# reg needs no display, but every Wine program here runs inside a session; start
# one for the duration when none is running, and stop only what was started here.
started=0
if [ ! -f "$session/display" ] && [ -z "${DISPLAY:-}" ]; then
    bash "$session_script" start "$session" >/dev/null
    started=1
fi
finish() { [ "$started" -eq 0 ] || bash "$session_script" stop "$session" >/dev/null; }
trap finish EXIT

reg() { bash "$session_script" run "$session" reg "$@" >/dev/null; }

if [ "$unregister" -eq 1 ]; then
    reg delete "$handler_key" /f || true
    reg delete "$class_key" /f || true
    reg delete "$approved_key" /v "$clsid" /f || true
    rm -f "$system_copy"
    echo "register-wine: $clsid removed from $session/prefix"
    exit 0
fi

[ -f "$dll" ] || { echo "register-wine: $dll not found; build the win32 preset first" >&2; exit 1; }
if [ "$copy" -eq 1 ]; then
    cp "$dll" "$system_copy"
    server='C:\windows\system32\VANTREL.DLL'
else
    dll=$(cd "$(dirname "$dll")" && pwd)/$(basename "$dll")
    # Wine's drive Z: is the Unix root.
    server="Z:${dll//\//\\}"
fi
reg add "$class_key" /ve /d "$description" /f
reg add "$class_key\\InProcServer32" /ve /d "$server" /f
reg add "$class_key\\InProcServer32" /v ThreadingModel /d Apartment /f
reg add "$handler_key" /ve /d "$clsid" /f
reg add "$approved_key" /v "$clsid" /d "$description" /f
echo "register-wine: $clsid -> $server in $session/prefix"

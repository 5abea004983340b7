#!/usr/bin/env bash
# The run command: builds the library, registers it with the shell of the
# project's Wine prefix and opens a file's Properties sheet the way a user's
# right click -> Properties does (the "properties" verb of the file's context
# menu, so the shell loads the handler from the registry), with the page
# "リソース" in front. It writes a PNG picture of the sheet and prints its path.
#
#   bash tools/run.sh [--arch x86|x64] [--virtual] [--close] [--shot PNG] [--lang LANG] [--dpi DPI] [--kind KIND] [--play] [--copy] [--save PATH] [FILE]
#
# FILE     a Unix path, or a Windows path as the prefix sees it; default Wine's
#          own C:\windows\system32\shell32.dll.
# --arch   the shell that opens the sheet: x86 (default) the 32-bit one with the
#          32-bit library (win32 preset, prefix build/win32/wine), x64 the 64-bit
#          one with the 64-bit library (win64 preset, prefix build/win64/wine).
# Without an X display (or with --virtual) the sheet is shown on a virtual
# display, pictured and closed. On a real display it stays open until the user
# closes it, unless --close is given.
# --shot   where the picture goes; default build/run/properties.png.
# --lang   a language number (decimal or 0x hex, e.g. 0x0412) or "default": the
#          language chosen in the page's language drop-down before the kind.
# --dpi    96, 144 or 192: the page as a user at that screen density sees it,
#          in the separate Wine prefix of the density test (build/<arch>/wine-density),
#          whose LogPixels is set for the run and put back to 96 after it.
# --kind   icon, bitmap, cursor, string, avi or message: the kind the page shows in the
#          picture (chosen in its drop-down); default the page's first, icons.
# --play   with --kind avi: press the play button before the picture is taken,
#          so that it shows the selected (first) clip playing.
# --copy   after --kind, press the page's copy button and print the formats on
#          the clipboard and their sizes.
# --save   with --kind: select the kind's first entry and save it to PATH (a
#          Unix path or a Windows one) through the page's save command; the
#          save dialog is answered with PATH and the result printed.
# Exit status: 0 the page was shown; 1 the sheet has no such page (the file
# carries no resources); 2 no sheet appeared; other values: set-up failed.
set -eu
cd "$(dirname "$0")/.."
root=$(pwd)

arch=x86
virtual=0
close=0
shot=$root/build/run/properties.png
file=
kind=()
lang=()
dpi=
play=()
copy=()
save=
usage="usage: $0 [--arch x86|x64] [--virtual] [--close] [--shot PNG] [--lang NUMBER|default] [--dpi 96|144|192] [--kind icon|bitmap|cursor|string|avi|message] [--play] [--copy] [--save PATH] [FILE]"
while [ $# -gt 0 ]; do
    case "$1" in
    --arch)
        case "${2:-}" in
        x86 | x64) arch=$2; shift 2 ;;
        *) echo "$usage" >&2; exit 64 ;;
        esac ;;
    --virtual) virtual=1; shift ;;
    --close) close=1; shift ;;
    --shot) shot=${2:?--shot needs a path}; shift 2 ;;
    --kind)
        case "${2:-}" in
        icon | bitmap | cursor | string | avi | message) kind=(--kind "$2"); shift 2 ;;
        *) echo "$usage" >&2; exit 64 ;;
        esac ;;
    --lang)
        [[ "${2:-}" =~ ^(default|[0-9]+|0[xX][0-9a-fA-F]+)$ ]] || { echo "$usage" >&2; exit 64; }
        lang=(--lang "$2"); shift 2 ;;
    --dpi)
        case "${2:-}" in
        96 | 144 | 192) dpi=$2; shift 2 ;;
        *) echo "$usage" >&2; exit 64 ;;
        esac ;;
    --play) play=(--play); shift ;;
    --copy) copy=(--copy); shift ;;
    --save) save=${2:?--save needs a path}; shift 2 ;;
    -*) echo "$usage" >&2; exit 64 ;;
    *) [ -z "$file" ] || { echo "run: one file at a time" >&2; exit 64; }; file=$1; shift ;;
    esac
done
if [ ${#play[@]} -gt 0 ] && [ "${kind[*]}" != "--kind avi" ]; then
    echo "run: --play needs --kind avi" >&2
    exit 64
fi
if [ -n "$save" ] && [ ${#kind[@]} -eq 0 ]; then
    echo "run: --save needs --kind" >&2
    exit 64
fi
[ -n "${DISPLAY:-}" ] || virtual=1
[ "$virtual" -eq 0 ] || close=1

step() { echo "run: $*"; }

build=win32
[ "$arch" = x86 ] || build=win64

bash tools/setup-platform.sh
step "building (host, then $build)"
cmake --preset host >/dev/null
cmake --build --preset host >/dev/null
cmake --preset "$build" >/dev/null
cmake --build --preset "$build" --target vantrel ShowProperties >/dev/null

session=$root/build/$build/wine
# A density other than the tests' is set in the density test's own prefix only.
[ -z "$dpi" ] || session=$root/build/$build/wine-density
session_script=$root/tests/wine/wine-session.sh
helper=$root/build/$build/ShowProperties.exe
mkdir -p "$session" "$(dirname "$shot")"
shot=$(cd "$(dirname "$shot")" && pwd)/$(basename "$shot")

# The session of the Wine tests is reused when it is running; otherwise this run
# starts one (making the prefix the first time) and stops it again at the end.
running() { [ -f "$session/display" ] && kill -0 "$(cat "$session/xvfb.pid" 2>/dev/null)" 2>/dev/null; }
started=0
if ! running; then
    bash "$session_script" start "$session" >/dev/null
    started=1
    if [ "$virtual" -eq 0 ]; then
        # Only the prefix and the wineserver were wanted: the sheet goes to the
        # user's display, which wine-session.sh uses when it has none of its own.
        kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
        rm -f "$session/display" "$session/xvfb.pid"
    fi
fi
# A running test session has a virtual display of its own: the sheet goes there,
# where nobody could close it.
if [ -f "$session/display" ]; then
    virtual=1
    close=1
fi
ready=$session/sheet-ready.txt
helper_pid=
finish() {
    rm -f "$ready"
    [ -z "$helper_pid" ] || wait "$helper_pid" 2>/dev/null || true
    [ "$started" -eq 0 ] || bash "$session_script" stop "$session" >/dev/null
}
trap finish EXIT

bash tools/register-wine.sh --session "$session" --arch "$arch"

run_wine() { bash "$session_script" run "$session" "$@"; }
set_density() {
    for key in 'HKCU\Control Panel\Desktop' \
        'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts'; do
        run_wine reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null
    done
}
if [ -n "$dpi" ]; then
    step "screen density $dpi"
    set_density "$dpi"
    trap 'set_density 96; finish' EXIT
fi
if [ -z "$file" ]; then
    target='C:\windows\system32\shell32.dll'
elif [[ "$file" =~ ^[A-Za-z]:\\ ]]; then
    target=$file
else
    [ -e "$file" ] || { echo "run: $file: no such file" >&2; exit 66; }
    target=$(run_wine winepath -w "$(cd "$(dirname "$file")" && pwd)/$(basename "$file")" | tr -d '\r' | tail -n 1)
fi
saving=()
if [ -n "$save" ]; then
    if [[ "$save" =~ ^[A-Za-z]:\\ ]]; then
        saving=(--save "$save")
    else
        mkdir -p "$(dirname "$save")"
        saving=(--save "$(run_wine winepath -w "$(cd "$(dirname "$save")" && pwd)/$(basename "$save")" | tr -d '\r' | tail -n 1)")
    fi
fi
step "opening the Properties sheet of $target"

display=${DISPLAY:-}
[ ! -f "$session/display" ] || display=$(cat "$session/display")
keep=()
[ "$close" -eq 1 ] || keep=(--keep)
rm -f "$ready"
run_wine "$helper" --ready "Z:${ready//\//\\}" "${keep[@]}" "${lang[@]}" "${kind[@]}" "${play[@]}" "${copy[@]}" "${saving[@]}" "$target" &
helper_pid=$!

for _ in $(seq 3000); do
    [ -s "$ready" ] && break
    kill -0 "$helper_pid" 2>/dev/null || break
    sleep 0.02
done
if [ -s "$ready" ]; then
    read -r left top right bottom <"$ready"
    # Without a window manager the sheet's window does not sit exactly where
    # Windows places it: take a margin around it and, on the virtual display's
    # black screen, trim the black away again. convert's crop stops at the
    # screen's right and bottom edges; the left and top ones are clamped here.
    margin=32
    left=$((left - margin)) top=$((top - margin)) right=$((right + margin)) bottom=$((bottom + margin))
    [ "$left" -ge 0 ] || left=0
    [ "$top" -ge 0 ] || top=0
    trim=()
    [ "$virtual" -eq 0 ] || trim=(-trim +repage)
    xwd -root -silent -display "$display" |
        convert xwd:- -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "${trim[@]}" "$shot"
    step "picture of the sheet: $shot"
    rm -f "$ready"
    [ "$close" -eq 1 ] || step "the sheet stays open until you close it"
fi
status=0
wait "$helper_pid" || status=$?
helper_pid=
case $status in
0) step "the page リソース was shown" ;;
1) step "the sheet has no page リソース: the file carries no resources" ;;
*) step "no Properties sheet appeared (status $status)" ;;
esac
exit "$status"

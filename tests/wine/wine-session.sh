#!/usr/bin/env bash
# One Wine session for a test run: a prefix inside the build tree (made once and
# kept), one virtual X display for the whole run, a persistent wineserver.
#   wine-session.sh start DIR      make DIR/prefix if missing, start Xvfb and wineserver
#   wine-session.sh run DIR CMD..  run a Windows program inside the session
#   wine-session.sh stop DIR       stop wineserver and the display
# VANTREL_WINE names the loader for "run" (default wine, which starts Wine's own
# programs as 32-bit ones; /usr/lib/wine/wine64 starts them as 64-bit ones).
set -u
action=${1:?action}
dir=$(mkdir -p "${2:?session directory}" && cd "$2" && pwd)
shift 2

export WINEPREFIX="$dir/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
# Wine takes each program's ANSI code page from its Unix locale, so one prefix
# serves programs run in another (VANTREL_WINE_LANG=en_US.UTF-8: code page 1252).
export LANG=${VANTREL_WINE_LANG:-ja_JP.UTF-8}
export LC_ALL=$LANG

use_display() {
    if [ -f "$dir/display" ]; then
        DISPLAY=$(cat "$dir/display")
        export DISPLAY
    elif [ -z "${DISPLAY:-}" ]; then
        echo "wine-session: no display; run '$0 start $dir' first" >&2
        exit 2
    fi
}

case "$action" in
start)
    if [ ! -f "$dir/display" ] || ! kill -0 "$(cat "$dir/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
        n=90
        while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$dir/xvfb.log" 2>&1 &
        echo $! >"$dir/xvfb.pid"
        for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
        echo ":$n" >"$dir/display"
    fi
    use_display
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i </dev/null >"$dir/wineboot.log" 2>&1
        wineserver -w
    fi
    echo "${WINEARCH:-}" >"$dir/arch"
    # Whatever stays running must not hold the caller's output open: CTest waits
    # for it to close.
    wineserver -p </dev/null >>"$dir/wineserver.log" 2>&1
    echo "wine-session: prefix $WINEPREFIX, display $DISPLAY"
    ;;
run)
    use_display
    # Wine starts helper processes (services, the desktop window) that outlive
    # the program and inherit its output; CTest would wait for them. So the
    # program writes to a file, and the file is shown afterwards.
    log=$(mktemp "$dir/run.XXXXXX")
    status=0
    # A session started with WINEARCH=win64 runs tools named without a path
    # (reg, rundll32) as 64-bit programs: they see the 64-bit registry view and
    # system folder, as the 64-bit shell does. Debian's plain "wine" would pick
    # the 32-bit ones. VANTREL_WINE overrides the choice.
    loader=wine
    if [ "$(cat "$dir/arch" 2>/dev/null)" = win64 ] && [ -x /usr/lib/wine/wine64 ]; then
        loader=/usr/lib/wine/wine64
    fi
    "${VANTREL_WINE:-$loader}" "$@" </dev/null >"$log" 2>&1 || status=$?
    cat "$log"
    rm -f "$log"
    exit $status
    ;;
stop)
    wineserver -k 2>/dev/null
    if [ -f "$dir/xvfb.pid" ]; then
        kill "$(cat "$dir/xvfb.pid")" 2>/dev/null
        rm -f "$dir/xvfb.pid"
    fi
    rm -f "$dir/display"
    echo "wine-session: stopped"
    ;;
*)
    echo "usage: $0 start|run|stop DIR [CMD...]" >&2
    exit 2
    ;;
esac

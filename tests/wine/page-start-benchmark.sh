#!/usr/bin/env bash
# page-start-benchmark.sh [REPEATS [openings|rows|rebuild]]
# Runs the page's timing program in the win32 build's Wine session, with the
# library registered in the prefix for the part through the shell's own sheet,
# and unregistered again afterwards. Build the win32 preset first.
set -eu
cd "$(dirname "$0")/../.."
session=build/win32/wine
bash tests/wine/wine-session.sh start "$session" >/dev/null
bash tools/register-wine.sh --session "$session" >/dev/null
trap 'bash tools/register-wine.sh --unregister --session "$session" >/dev/null' EXIT
bash tests/wine/wine-session.sh run "$session" build/win32/tests/wine/PageStartBenchmark.exe "${1:-5}" ${2:+"$2"}

#!/usr/bin/env bash
# The test command: installs what is missing, then configures, builds and runs
# every test: native unit tests (plain and under ASan/UBSan), the slip check of
# the platform-free code, the fuzz targets for a bounded time, and the
# Windows-side tests of both builds under Wine.
set -eu
cd "$(dirname "$0")/.."

bash tools/setup-platform.sh

step() { echo; echo "=== $*"; }

step "native build and unit tests"
cmake --preset host >/dev/null
cmake --build --preset host
ctest --preset host

step "slip check of the platform-free code (tests/slips/formats.txt)"
python3 tools/slip-check.py tests/slips/formats.txt

step "native unit tests under AddressSanitizer and UBSan"
cmake --preset host-sanitize >/dev/null
cmake --build --preset host-sanitize
ctest --preset host-sanitize

step "fuzz targets (${VANTREL_FUZZ_SECONDS:-60} s each)"
cmake --preset fuzz -DVANTREL_FUZZ_SECONDS="${VANTREL_FUZZ_SECONDS:-60}" >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

step "VANTREL.DLL, 32- and 64-bit, and the Windows-side tests of both under Wine"
cmake --preset win32 >/dev/null
cmake --build --preset win32
cmake --preset win64 >/dev/null
cmake --build --preset win64
# The win32 tree's run includes the win64 tree's tests (tests/wine/CMakeLists.txt).
ctest --preset win32

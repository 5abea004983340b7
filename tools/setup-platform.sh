#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and nothing that is
# already there: the mingw-w64 cross compilers (32- and 64-bit), Wine (32- and
# 64-bit), a virtual X display, the Japanese locale and font, GoogleTest, Google
# Benchmark, clang for the fuzzers, icoutils as an independent resource reader,
# ImageMagick for screenshots.
set -eu

packages=(cmake make g++ clang libclang-rt-14-dev clang-format
          libgtest-dev googletest libbenchmark-dev
          g++-mingw-w64-i686-win32 mingw-w64-i686-dev binutils-mingw-w64-i686
          g++-mingw-w64-x86-64-win32 mingw-w64-x86-64-dev binutils-mingw-w64-x86-64
          wine wine32:i386 wine64 xvfb xauth x11-apps imagemagick
          locales fonts-ipafont-gothic icoutils python3)

sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup-platform: installing ${missing[*]}"
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
    fi
    # A mirror in the middle of a sync fails one index now and then; the
    # install below still finds its packages in the indexes that did arrive
    # and fails on its own when one is really missing.
    for attempt in 1 2 3; do
        $sudo apt-get update -qq && break
        echo "setup-platform: apt-get update failed (attempt $attempt)"
        sleep 5
    done
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}" >/dev/null
fi

# Wine's ANSI code page follows the Unix locale: ja_JP.UTF-8 gives code page 932,
# en_US.UTF-8 (the second test session, tests/wine/CMakeLists.txt) code page 1252.
for wanted in ja_JP en_US; do
    if ! locale -a 2>/dev/null | grep -qi "^$wanted\.utf-\?8$"; then
        echo "setup-platform: generating the $wanted.UTF-8 locale"
        $sudo sed -i "s/^# *\($wanted.UTF-8 UTF-8\)/\1/" /etc/locale.gen
        grep -q "^$wanted.UTF-8 UTF-8" /etc/locale.gen ||
            echo "$wanted.UTF-8 UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
        generate=1
    fi
done
if [ "${generate:-0}" -eq 1 ]; then
    $sudo locale-gen >/dev/null
fi
echo "setup-platform: ready"

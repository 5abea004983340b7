#!/usr/bin/env bash
# Fails on any C++ source that clang-format (with the repository's
# .clang-format) would change, and names it.
set -eu
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    mapfile -t files < <(git ls-files --cached --others --exclude-standard '*.cpp' '*.h' '*.c')
else
    mapfile -t files < <(find src tests tools -name '*.cpp' -o -name '*.h' -o -name '*.c')
fi
clang-format --dry-run --Werror "${files[@]}"
echo "check-format: ${#files[@]} files as clang-format leaves them"

#!/usr/bin/env bash
# saved-icon-listing.sh SAVED-DIR SHELL32
# The icon file the page saved from SHELL32's first icon group lists, under
# icoutils, the same members as wrestool's own copy of that group.
set -eu
saved=$1/shell32-first.ico
name=$(cat "$1/shell32-first.name")
own=$(mktemp --suffix .ico)
trap 'rm -f "$own"' EXIT
wrestool -x --type=14 --name="$name" "$2" > "$own"
diff <(icotool -l "$own") <(icotool -l "$saved")
echo "saved-icon-listing: group $name lists the same $(icotool -l "$saved" | wc -l) members"

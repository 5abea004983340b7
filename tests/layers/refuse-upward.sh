#!/usr/bin/env bash
# Proof that the layer check bites: a copy of src with one include planted
# from the bottom folder up into the dialog must be refused by name.
set -eu
check=$1 src=$2 layers=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$src" "$scratch/src"
echo '#include "page/dialog/PageStart.h"' >>"$scratch/src/formats/bytes/TextWriter.cpp"
python3 "$check" "$scratch/src" "$layers" && exit 1
exit 0

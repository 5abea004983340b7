#!/usr/bin/env bash
# run-fuzzer.sh FUZZER CORPUS_DIR SEED_DIR SECONDS
# Runs one libFuzzer target for a bounded time over a corpus seeded with the
# generated test files. libFuzzer exits non-zero on any finding.
set -eu
fuzzer=$1 corpus=$2 seeds=$3 seconds=$4
mkdir -p "$corpus"
dirs=("$corpus")
[ -d "$seeds" ] && dirs+=("$seeds")
exec "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "${dirs[@]}"

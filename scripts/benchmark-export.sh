#!/usr/bin/env bash
# Builds and runs the DDP export benchmark: a generated 80-minute disc of 20 WAV tracks exported through
# CDItem::exportDDP, against the baseline of copying the same source bytes into one file and running md5sum on it.
# Prints both times, their ratio (target: export at most 1.3 x baseline) and the peak memory (target: under 100 MB).
#   scripts/benchmark-export.sh [folder [rounds]]
#     folder: where the generated data (about 2.5 GB) goes, removed afterwards; default: the temporary folder
#     rounds: how often baseline and export run in turn (default 3); the best time of each counts
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja
cmake --build build --target tavlo_export_benchmark
exec ./build/src/tavlo_export_benchmark "$@"

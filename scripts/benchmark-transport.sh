#!/usr/bin/env bash
# Builds and runs the preview transport benchmark: a generated 20-track disc played through the transport in
# 512-sample blocks while the read-ahead thread runs; prints the time per block against real time and any underrun.
#   scripts/benchmark-transport.sh [speed]    speed: times real time (default 1; 0 = as fast as possible)
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build -G Ninja
cmake --build build --target tavlo_transport_benchmark
exec ./build/src/tavlo_transport_benchmark "$@"

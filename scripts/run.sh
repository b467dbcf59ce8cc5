#!/usr/bin/env bash
# Sets up this machine, builds Tavlo and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

./scripts/setup.sh
cmake -S . -B build -G Ninja
cmake --build build --target Tavlo --parallel "$(nproc)"
exec ./build/src/Tavlo

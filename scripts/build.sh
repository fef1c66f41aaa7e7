#!/usr/bin/env bash
# Configures and builds the project in ./build (two jobs, ccache when present).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" >/dev/null
cmake --build build -j2

#!/usr/bin/env bash
# Installs what the build needs, builds the game (Release) and starts it.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/tools/install-deps.sh" game
cmake -S "$top" -B "$top/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
      -DVANTREL_TESTS=OFF -DVANTREL_BENCH=OFF >/dev/null
cmake --build "$top/build/release" --target vantrel
exec "$top/build/release/app/vantrel"

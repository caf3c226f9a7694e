#!/usr/bin/env bash
# Set up, build, generate the content and start the game from its folder.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/build.sh"
cd "$root/build/game"
exec ./Kestrava

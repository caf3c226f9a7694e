#!/usr/bin/env bash
# Set up, build and run the whole suite. GUI tests get a virtual X server and software GL;
# sound tests run OpenAL Soft without a sound card.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/build.sh"
cd "$root/build"
export ALSOFT_DRIVERS=${ALSOFT_DRIVERS:-null}
export LIBGL_ALWAYS_SOFTWARE=1
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure --timeout 300 -j "$(nproc)" "$@"
fi
exec ctest --output-on-failure --timeout 300 -j "$(nproc)" "$@"

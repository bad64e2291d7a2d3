#!/usr/bin/env bash
# Starts the station in its staged working directory. Without a display it starts a private
# Xvfb; without a plate camera it uses the simulated one.
set -u
station=${1:-build/station}
cd "$station" || exit 1
export PEDALYX_SIMULATED_CAMERA=${PEDALYX_SIMULATED_CAMERA:-1}
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: starting the station on a private Xvfb."
  exec xvfb-run -a -s "-screen 0 1600x1200x24 +extension GLX" ./Pedalyx
fi
exec ./Pedalyx

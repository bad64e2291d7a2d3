#!/usr/bin/env bash
# Starts the station in its staged working directory. Without a display it starts a private
# Xvfb; without a plate camera it uses the simulated one.
set -u
station=${1:-build/station}
cd "$station" || exit 1

# A plate camera is a USB video device with product id 2975 or 2978.
plate_camera_attached() {
  local node product
  for node in /sys/class/video4linux/video*; do
    [ -e "$node/device" ] || continue
    product=$(cat "$node/device/../idProduct" 2>/dev/null) || continue
    case "$product" in 2975 | 2978) return 0 ;; esac
  done
  return 1
}

if [ -n "${PEDALYX_SIMULATED_CAMERA:-}" ]; then
  echo "Simulated plate camera: PEDALYX_SIMULATED_CAMERA=$PEDALYX_SIMULATED_CAMERA"
elif plate_camera_attached; then
  echo "Plate camera attached: using it."
else
  echo "No plate camera attached: using the simulated plate camera (PEDALYX_SIMULATED_CAMERA=1)."
  export PEDALYX_SIMULATED_CAMERA=1
fi
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: starting the station on a private Xvfb."
  exec xvfb-run -a -s "-screen 0 1600x1200x24 +extension GLX" ./Pedalyx
fi
exec ./Pedalyx

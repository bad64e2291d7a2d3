#!/usr/bin/env bash
# Starts the station in its staged working directory; without a plate camera it uses the
# simulated one. Without a display nobody could operate it, so it plays one whole examination
# on a private Xvfb instead and leaves the report, the insoles and screenshots behind.
set -u
station=${1:-build/station}
tools=$(cd "$(dirname "$0")" && pwd)
player="$(cd "$station/.." && pwd)/tools/play_examination"
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
  echo "No display: playing one examination of the simulated customer on a private Xvfb."
  "$tools/with-display.sh" "$player" . examination || exit 1
  echo "Report pages, insoles and screenshots: $(pwd)/examination/"
  echo "  report page 1 rendered:  $(pwd)/examination/report_page1.png"
  echo "  insole bitmaps:          $(pwd)/examination/insole_left.png, insole_right.png"
  exit 0
fi
exec ./Pedalyx

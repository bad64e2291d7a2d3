#!/usr/bin/env bash
# Installs the Debian packages the station, its tests and its tools need.
# Idempotent: apt-get runs only when a package is missing.
set -euo pipefail
PACKAGES=(
  build-essential cmake pkg-config ccache
  libfltk1.3-dev libglew-dev libopencv-dev libftgl-dev freeglut3-dev libhpdf-dev libfreeimage-dev
  libsqlite3-dev sqlite3 libssl-dev
  libgtest-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xauth x11-utils xdotool imagemagick poppler-utils strace
  libgl1-mesa-dri mesa-utils fontconfig fonts-noto-cjk onboard admesh
  dpkg-dev lintian desktop-file-utils
  libpq-dev postgresql postgresql-common
)
missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq "${missing[@]}"
fi

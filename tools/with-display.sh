#!/usr/bin/env bash
# Runs a command with an X display: the current one when it answers, else a private Xvfb.
# Mesa's software renderer is used so GL results do not depend on a graphics card.
export LIBGL_ALWAYS_SOFTWARE=1
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1600x1200x24 +extension GLX" "$@"

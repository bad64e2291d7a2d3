#!/usr/bin/env bash
# The station's folders depend one way: shell, report, imaging, capture, station, platform,
# top to bottom. Prints every include that reaches up and fails when there is one.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(shell report imaging capture station)
status=0
for ((i = 0; i < ${#layers[@]}; ++i)); do
  for ((j = 0; j < i; ++j)); do
    if grep -rn "#include \"pedalyx/${layers[j]}/" "pedalyx/${layers[i]}" platform/ 2>/dev/null; then
      status=1
    fi
  done
done
if grep -rn '#include "pedalyx/' platform/ cobblet/ 2>/dev/null; then status=1; fi
exit $status

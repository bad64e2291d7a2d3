#!/usr/bin/env bash
# The station's folders depend one way: shell, report, imaging, capture, station, platform,
# top to bottom. Prints every include that reaches up and fails when there is one.
# The toolkit stays at the edge: a logic file (any source whose name is not *_view, *_window,
# *_callbacks, *_gl, *_ui or main) includes no FLTK or GL header, neither itself nor through
# the headers it includes. Prints each such file with the chain of includes and fails.
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

declare -A includes reaches
mapfile -t sources < <(find pedalyx cobblet platform -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
for file in "${sources[@]}"; do
  includes[$file]=""
  reaches[$file]=""
done
# One pass over every source: its project includes, and its first FLTK or GL include.
while IFS=$'\t' read -r kind file header; do
  if [ "$kind" = project ]; then
    includes[$file]+="$header "
  elif [ -z "${reaches[$file]}" ]; then
    reaches[$file]=$header
  fi
done < <(awk '
  /^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]((FL|GL|FTGL)\/|[^>"]*(glew|glut|ftgl))/ {
    sub(/^[[:space:]]*#[[:space:]]*include[[:space:]]*/, ""); print "toolkit\t" FILENAME "\t" $0; next }
  /^[[:space:]]*#[[:space:]]*include[[:space:]]*"/ {
    split($0, part, "\""); print "project\t" FILENAME "\t" part[2] }
' "${sources[@]}")
# A file reaches the toolkit when it includes a toolkit header or a file that reaches it.
changed=1
while ((changed)); do
  changed=0
  for file in "${sources[@]}"; do
    [ -n "${reaches[$file]}" ] && continue
    for included in ${includes[$file]}; do
      if [ -n "${reaches[$included]:-}" ]; then
        reaches[$file]="$included -> ${reaches[$included]}"
        changed=1
        break
      fi
    done
  done
done
for file in "${sources[@]}"; do
  name=$(basename "${file%.*}")
  [[ $name == main || $name =~ (_view|_window|_callbacks|_gl|_ui)$ ]] && continue
  if [ -n "${reaches[$file]}" ]; then
    echo "$file: a logic file reaches the toolkit: ${reaches[$file]}"
    status=1
  fi
done
exit $status

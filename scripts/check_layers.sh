#!/usr/bin/env bash
# Refuses an include that runs upwards: each folder includes only the folders below it,
#   synth < engine < files < edit < ui < app
# and inside ui/: draw < platform < widgets < screens. Prints every offending line and exits 1.
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"

layers=(synth engine files edit ui/draw ui/platform ui/widgets ui/screens app)
rank() {
  local i
  for i in "${!layers[@]}"; do
    case "$1" in "${layers[$i]}"/*) echo "$i"; return ;; esac
  done
  echo -1
}

status=0
for dir in "${layers[@]}"; do
  [ -d "$dir" ] || continue
  mine=$(rank "$dir/x")
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<< "${rest#*:}")
    # Only folders of this tree count; system and library headers are not layers.
    case "$target" in */*) ;; *) continue ;; esac
    theirs=$(rank "$target")
    [ "$theirs" -ge 0 ] || continue
    if [ "$theirs" -gt "$mine" ]; then
      echo "$file:$line: includes $target, a layer above ${dir}" >&2
      status=1
    fi
  done < <(grep -n '#include "' "$dir"/*.h "$dir"/*.cpp 2>/dev/null || true)
done
[ "$status" -eq 0 ] && echo "layers: every include looks down"
exit "$status"

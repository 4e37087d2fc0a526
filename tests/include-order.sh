#!/usr/bin/env bash
# The folders build on each other in one direction: base/ <- hostdb/ <-
# selection/, output/ <- export/ <- app/. A file includes from its own
# folder or from one further left, never from the right, and selection/ and
# output/ know nothing of each other.
set -uo pipefail
cd "${1:?source folder}"
declare -A level=([base]=0 [hostdb]=1 [selection]=2 [output]=2 [export]=3 [app]=4)
status=0
while IFS=: read -r file line text; do
  from=${file%%/*}
  to=$(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([a-z]+)\/.*/\1/p' <<<"$text")
  [ -n "$to" ] && [ -n "${level[$to]+x}" ] && [ "$to" != "$from" ] || continue
  if (( level[$to] >= level[$from] )); then
    echo "$file:$line includes from $to/, which is not below $from/: $text" >&2
    status=1
  fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "${!level[@]}" --include='*.cpp' --include='*.h')
exit $status

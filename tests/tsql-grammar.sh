#!/usr/bin/env bash
# Every statement of the reviewed SQL Server list must be T-SQL that SQL
# Server 2012 and later take: sqlfluff's T-SQL grammar parses all of them,
# with the ? placeholders numbered @p1, @p2, ... per statement and the \r
# marks as the line ends they stand for; and none uses what came after 2012.
# One sqlfluff run (it is slow to start) over a folder of one file per
# statement: one file of all statements takes it minutes.
# Skipped (exit 77) where sqlfluff is missing.
set -uo pipefail
list=${1:?statement list}
if ! command -v sqlfluff >/dev/null; then
  echo "sqlfluff is not installed (apt-get install sqlfluff): T-SQL grammar not checked"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0

# sqlfluff 1.4.5 (Debian 12) lacks SET LOCK_TIMEOUT; that statement is
# checked by its exact form instead.
mkdir "$work/sql"
awk -v folder="$work/sql" '
  /^--/ || /^$/ { next }
  {
    line = $0
    continued = sub(/\\r$/, "", line)
    text = text line "\n"
    if (continued) next
    if (text ~ /^SET LOCK_TIMEOUT [0-9]+;\n$/) { text = ""; next }
    n = 0; out = ""
    while ((i = index(text, "?")) > 0) { out = out substr(text, 1, i - 1) "@p" (++n); text = substr(text, i + 1) }
    file = sprintf("%s/%04d.sql", folder, ++count)
    printf "%s%s", out, text > file
    close(file)
    text = ""
  }' "$list"

if [ -z "$(ls "$work/sql")" ]; then
  echo "no statements found in $list" >&2
  exit 1
fi

if ! sqlfluff parse --dialect tsql "$work/sql" >"$work/parsed.txt" 2>&1; then
  # Its report names no file: each statement again on its own, to name the
  # ones refused.
  echo "sqlfluff's T-SQL grammar refuses statements of $list:" >&2
  for f in "$work/sql"/*.sql; do
    if ! sqlfluff parse --dialect tsql "$f" >"$work/one.txt" 2>&1; then
      cat "$f" >&2
      sed -n '/parsing violations/,$p' "$work/one.txt" >&2
    fi
  done
  status=1
fi

# Functions and forms SQL Server 2012 does not know.
later='\b(STRING_AGG|STRING_SPLIT|OPENJSON|JSON_VALUE|JSON_QUERY|JSON_MODIFY|ISJSON|CONCAT_WS|TRANSLATE|TRIM|GREATEST|LEAST|GENERATE_SERIES|DATE_BUCKET)[[:space:]]*\(|CREATE[[:space:]]+OR[[:space:]]+ALTER|DROP[[:space:]]+[A-Z]+[[:space:]]+IF[[:space:]]+EXISTS'
if cat "$work/sql"/*.sql | grep -inE "$later"; then
  echo "Statements above need a SQL Server later than 2012." >&2
  status=1
fi
exit $status

#!/usr/bin/env bash
# Every statement of the reviewed SQL Server list must be T-SQL that SQL
# Server 2012 and later take: sqlfluff's T-SQL grammar parses all of them (in
# one run, as sqlfluff is slow to start), with the ? placeholders numbered
# @p1, @p2, ... per statement and the \r marks as the line ends they stand
# for; and none uses what came after 2012.
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
awk -v known="$work/known.sql" '
  /^--/ || /^$/ { next }
  {
    line = $0
    continued = sub(/\\r$/, "", line)
    text = text line "\n"
    if (continued) next
    if (text ~ /^SET LOCK_TIMEOUT [0-9]+;\n$/) { printf "%s\n", text > known; text = ""; next }
    n = 0; out = ""
    while ((i = index(text, "?")) > 0) { out = out substr(text, 1, i - 1) "@p" (++n); text = substr(text, i + 1) }
    printf "%s%s\n", out, text
    text = ""
  }' "$list" >"$work/statements.sql"

if [ ! -s "$work/statements.sql" ]; then
  echo "no statements found in $list" >&2
  exit 1
fi

if ! sqlfluff parse --dialect tsql "$work/statements.sql" >"$work/parsed.txt" 2>&1; then
  echo "sqlfluff's T-SQL grammar refuses statements of $list:" >&2
  sed -n '/parsing violations/,$p' "$work/parsed.txt" >&2
  echo "--- the statements as parsed, numbered by line:" >&2
  cat -n "$work/statements.sql" >&2
  status=1
fi

# Functions and forms SQL Server 2012 does not know.
later='\b(STRING_AGG|STRING_SPLIT|OPENJSON|JSON_VALUE|JSON_QUERY|JSON_MODIFY|ISJSON|CONCAT_WS|TRANSLATE|TRIM|GREATEST|LEAST|GENERATE_SERIES|DATE_BUCKET)[[:space:]]*\(|CREATE[[:space:]]+OR[[:space:]]+ALTER|DROP[[:space:]]+[A-Z]+[[:space:]]+IF[[:space:]]+EXISTS'
if grep -inE "$later" "$work/statements.sql"; then
  echo "Statements above need a SQL Server later than 2012." >&2
  status=1
fi
exit $status

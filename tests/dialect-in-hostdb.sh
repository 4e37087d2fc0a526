#!/usr/bin/env bash
# hostdb/ owns every statement text and every dialect difference: nothing
# outside it asks which dialect a connection speaks.
set -uo pipefail
cd "${1:?source folder}"
if grep -rnE '\b(isSqlServer|dialect)\(\)' app selection export output bench fuzz --include='*.cpp' --include='*.h'; then
  echo "Dialect asked outside hostdb/: give hostdb a function for what the caller needs." >&2
  exit 1
fi
exit 0

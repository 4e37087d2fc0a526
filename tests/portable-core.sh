#!/usr/bin/env bash
# The clerks run the program on Windows, where nothing here can build it: the
# core keeps to Qt and the standard library, and calls the operating system
# only in output/DiskSync.cpp. Paths are joined by the export-folder rule
# (output/ExportPath.cpp) and nowhere else by hand.
set -uo pipefail
cd "${1:?source folder}"
core=(base hostdb selection export output)
status=0

headers='#[[:space:]]*include[[:space:]]*<(unistd|fcntl|dirent|dlfcn|pthread|termios|pwd|grp|syslog|windows|io|direct|process|winsock2?)\.h>|#[[:space:]]*include[[:space:]]*<(sys|arpa|netinet)/'
if grep -rnE "$headers" "${core[@]}" --include='*.cpp' --include='*.h' | grep -v '^output/DiskSync\.cpp:'; then
  echo "System headers in the core: only output/DiskSync.cpp may include them." >&2
  status=1
fi

calls='(^|[^A-Za-z0-9_.>])(::)?(fsync|fdatasync|_commit|FlushFileBuffers|usleep|popen|fork|getuid|_getcwd|getcwd)[[:space:]]*\('
if grep -rnE "$calls" "${core[@]}" --include='*.cpp' --include='*.h' | grep -v '^output/DiskSync\.cpp:'; then
  echo "System calls in the core outside output/DiskSync.cpp." >&2
  status=1
fi

slash="QLatin1Char\('/'\)|QChar\('/'\)|\"/\"|QStringLiteral\(\"/|QLatin1String\(\"/"
if grep -rnE "$slash" "${core[@]}" --include='*.cpp' --include='*.h' | grep -v '^output/ExportPath\.'; then
  echo "Paths joined with \"/\" by hand in the core: use the export-folder rule of output/ExportPath." >&2
  status=1
fi
exit $status

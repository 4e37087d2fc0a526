#!/usr/bin/env bash
# Builds the Debian package from the build folder, unpacks it into a
# temporary root and runs the installed program there: a demo database and a
# batch export of the credit transfers of type A3.
set -euo pipefail
build_dir=$(realpath "${1:?build folder}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack --config "$build_dir/CPackConfig.cmake" -B "$work/cpack" >/dev/null 2>&1
deb=$(ls "$work"/cpack/*.deb)
dpkg-deb -x "$deb" "$work/root"
program=$work/root/usr/bin/brv32-sepa
grep -qx 'Name=SEPA Überweisung' "$work/root/usr/share/applications/brv32-sepa.desktop"
test -s "$work/root/usr/share/icons/hicolor/scalable/apps/brv32-sepa.svg"
test -s "$work/root/usr/share/doc/brv32-sepa/README.md"
"$program" --version | grep -q '^BRV32-SEPA-Überweisung    Version: '

"$program" --make-demo-db "$work/demo.db" --invoices 5 >/dev/null
mkdir -p "$work/programm" "$work/export"
iban=$(sqlite3 "$work/demo.db" "SELECT IBAN FROM PERSONAL WHERE ID_PERSONAL = 1")
printf '%s\r\n' "ExportPfad=$work/export/" "FirmenName=Musterhandel GmbH" "Bank=Stadtsparkasse" \
  "Bankleitzahl=SSKMDEMMXXX" "Kontonummer=$iban" "Verwendungszweck=Paket" \
  "CheckBoxGutschrift=SEPA_GUTSCHRIFT" > "$work/programm/BRV32-SEPA-Ueberweisung.ini"
env -u XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen "$program" --export A3 --yes --program-dir "$work/programm" \
  "Provider=SQLite;Data Source=$work/demo.db" > "$work/out.txt"
grep -q "^$work/export/UW_Paket_.*\.xml\$" "$work/out.txt"
test "$(sqlite3 "$work/demo.db" "SELECT COUNT(*) FROM COMM WHERE ID = 7 AND SUBNUM = 3")" -gt 0
echo "installed from $(basename "$deb"): exported $(head -n 1 "$work/out.txt")"

#!/usr/bin/env bash
# The registry tool reads a value the way the store does: in a UTF-16LE export and in a
# REGEDIT4 one, key and value names in any letter case, the data as the export writes it; a
# missing value and a file that is no export say so by their exit status.
# Usage: RegistryValue_test.sh TOOL
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
expect() {  # expected-output expected-status file key name
  local output status=0
  output=$("$tool" "$3" "$4" "$5" 2>/dev/null) || status=$?
  if [ "$output" != "$1" ] || [ "$status" != "$2" ]; then
    echo "FAILED: $5 under $4 in $(basename "$3"): \"$output\" (exit $status), expected \"$1\" (exit $2)"
    failed=1
  fi
}

printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Philips Speech\\5272\\Default]\r\n"SequenceEnabled"=dword:00000001\r\n"KALDInstallation"="01/02/2024 09:30:00"\r\n"SequenceEnabled"=dword:00000000\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Philips Speech\\3000\\Default]\r\n"SequenceEnabled"=-\r\n' |
  iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$work/unicode.reg"
key='HKEY_CURRENT_USER\Control Panel\Philips Speech\5272\Default'
expect 'dword:00000000' 0 "$work/unicode.reg" "$key" SequenceEnabled
expect '"01/02/2024 09:30:00"' 0 "$work/unicode.reg" 'hkey_current_user\CONTROL PANEL\philips speech\5272\default' kaldinstallation
expect '' 1 "$work/unicode.reg" 'HKEY_CURRENT_USER\Control Panel\Philips Speech\3000\Default' SequenceEnabled
expect '' 1 "$work/unicode.reg" 'HKEY_CURRENT_USER\Control Panel\Philips Speech\7276\Default' SequenceEnabled

printf 'REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvane]\r\n"DriverPackageUrl"="https://d\xe9p\xf4t.example/SpMikeCtrl.msi"\r\n' >"$work/ansi.reg"
expect '"https://dépôt.example/SpMikeCtrl.msi"' 0 "$work/ansi.reg" 'HKEY_LOCAL_MACHINE\SOFTWARE\Orvane' DriverPackageUrl

printf 'not an export\n' >"$work/other.reg"
expect '' 2 "$work/other.reg" "$key" SequenceEnabled
exit "$failed"

#!/usr/bin/env bash
# The Linux program reads its own command line. Started from an SSH session as
# "orvane SITE=Nord NEPASUTILISERPREFIXTS_", it names its log file after ?PARAMSTR=SITE? and, with
# the session prefix turned off, after the computer's own name rather than "TS_" and the client.
# The test waits for the first line of the log, then closes the tester as its close box does.
# Usage: ProgramCommandLine_test.sh PROGRAM
set -euo pipefail
program=$1
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

cp "$program" "$work/orvane"
cat > "$work/AppLogger.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<AppLogger Version="1.2">
  <AllStations>
    <AllApplications>
      <Journal class="TFileLogger" NiveauMax="250" LogSpecifique="0">
        <FileName>log\site_?PARAMSTR=SITE?_?STATION_NAME?.log</FileName>
      </Journal>
    </AllApplications>
  </AllStations>
</AppLogger>
XML
# A workstation whose Philips drivers are installed.
cat > "$work/registry.reg" <<'REG'
Windows Registry Editor Version 5.00

[HKEY_CLASSES_ROOT\Installer\Features\777D4C2D1DBB5204A8655A0CBF18D267]
"SpMikeCtrl"="SpMikeCtrl"
REG
export ORVANE_REGISTRY=$work/registry.reg XDG_RUNTIME_DIR=$work/runtime
mkdir -m 0700 "$work/runtime"
export SSH_CONNECTION="192.0.2.7 50000 192.0.2.1 22" QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
station=$(hostname)
station=${station%%.*}
expected=$work/log/site_Nord_${station:0:19}.log

(cd "$work" && exec ./orvane SITE=Nord NEPASUTILISERPREFIXTS_) &
pid=$!
# The end of the verification, which the window runs when it first shows.
for _ in $(seq 1 1200); do
  [ -n "$(ls -A "$work/log" 2>/dev/null)" ] && grep -q "AjustementCleRegistreSM - OUT" "$work"/log/* && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -TERM "$pid" 2>/dev/null || true
status=0
wait "$pid" || status=$?
pid=

written=$(cd "$work" && find log -type f 2>/dev/null | sort)
if [ "$written" != "log/${expected##*/}" ]; then
  echo "FAILED: the log file is \"${written:-none}\", not \"log/${expected##*/}\"" >&2
  exit 1
fi
grep -q "AjustementCleRegistreSM - OUT" "$expected" || { echo "FAILED: the log lacks the end of the verification" >&2; exit 1; }
[ "$status" -eq 0 ] || { echo "FAILED: the program ended with $status" >&2; exit 1; }
echo "log file: ${expected##*/}"

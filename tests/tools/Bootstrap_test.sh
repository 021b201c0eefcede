#!/usr/bin/env bash
# tools/bootstrap against a fake package system (dpkg, dpkg-query, apt-get, apt-cache that log
# their calls): "run" installs only what is missing of its own packages and never touches an
# architecture; "test" tries 32-bit Wine, keeps the reason, waits a day before trying again, and
# removes the i386 architecture and its packages only when it added them.
# Usage: Bootstrap_test.sh SOURCE_DIR
set -euo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tree/tools" "$work/bin"
cp "$source_dir/tools/bootstrap" "$work/tree/tools/"
export FAKE=$work
for name in dpkg dpkg-query apt-get apt-cache sudo; do
  cat >"$work/bin/$name" <<'FAKE'
#!/usr/bin/env bash
echo "$(basename "$0") $*" >>"$FAKE/calls"
case "$(basename "$0") $*" in
  sudo*) exec "$@" ;;
  "dpkg --print-foreign-architectures") cat "$FAKE/architectures" 2>/dev/null || true ;;
  "dpkg --add-architecture i386") echo i386 >>"$FAKE/architectures" ;;
  "dpkg --remove-architecture i386") sed -i '/^i386$/d' "$FAKE/architectures" ;;
  "dpkg-query"*'${db:Status-Status}'*)
    for package in "${@:3}"; do grep -qx "$package" "$FAKE/installed" && echo "$package installed"; done; exit 1 ;;
  "dpkg-query"*'${Status}'*) grep -qx "$3" "$FAKE/installed" && echo "install ok installed" || exit 1 ;;
  "dpkg-query"*'${binary:Package}'*) echo "libwine:i386" ;;
  "apt-get"*"install"*"wine32:i386"*) echo "E: Unable to correct problems, you have held broken packages."; exit 100 ;;
  "apt-get"*"install"*) printf '%s\n' "${@:7}" >>"$FAKE/installed" ;;
esac
exit 0
FAKE
  chmod +x "$work/bin/$name"
done
export PATH=$work/bin:$PATH
bootstrap=$work/tree/tools/bootstrap
reason=$work/tree/build/wine32-unavailable
failed=0
check() {  # what, then a command that must hold
  local what=$1
  shift
  "$@" || { echo "FAILED: $what"; failed=1; }
}
calls() { cat "$FAKE/calls" 2>/dev/null; }
not() { ! "$@"; }
fresh() { rm -f "$FAKE/calls" "$FAKE/architectures" "$reason"; printf '%s\n' "$@" >"$FAKE/installed"; }

# What "run" installs on a machine that has nothing.
fresh
"$bootstrap" run >/dev/null 2>&1
mapfile -t every_run_package < <(grep -v '^$' "$FAKE/installed")
check "run installs the Linux build's libraries" grep -qx "qt6-base-dev" "$FAKE/installed"
fresh "${every_run_package[@]}"
check "run with nothing missing says nothing" [ -z "$("$bootstrap" run 2>&1)" ]
check "run with nothing missing asks apt nothing" not grep -q "^apt" <(calls)
fresh "${every_run_package[@]/libxml2-dev}"
output=$("$bootstrap" run 2>&1)
check "run installs what it misses" grep -qx "apt-get .* install -y -q --no-install-recommends libxml2-dev" <(calls)
check "run says what it installs, nothing of 32-bit Wine" [ "$(head -1 <<<"$output")" = "bootstrap: installing libxml2-dev" ]
check "run touches no architecture" not grep -q "architecture" <(calls)

fresh "${every_run_package[@]}"
output=$("$bootstrap" test 2>&1)
check "test installs the test packages" grep -q "install .*wine64" <(calls)
check "test keeps why 32-bit Wine failed" grep -q "held broken packages" "$reason"
check "test removes the architecture it added" grep -qx "dpkg --remove-architecture i386" <(calls)
check "test purges the i386 packages it left" grep -q "apt-get .* purge -y -q libwine:i386" <(calls)
check "test does not print the reason itself" not grep -q "held broken packages" <<<"$output"
rm -f "$FAKE/calls"
touch -d '23 hours ago' "$reason"
check "within a day test tries nothing and says nothing" [ -z "$("$bootstrap" test 2>&1)" ]
check "within a day test touches no architecture" not grep -q "architecture i386" <(calls)
touch -d '25 hours ago' "$reason"
"$bootstrap" test >/dev/null 2>&1
check "a day later test tries again" grep -qx "dpkg --add-architecture i386" <(calls)

fresh "${every_run_package[@]}"
echo i386 >"$FAKE/architectures"
"$bootstrap" test >/dev/null 2>&1
check "an architecture it did not add stays, with its packages" not grep -qE "remove-architecture|purge" <(calls)
fresh "${every_run_package[@]}" wine32:i386
echo "an old reason" >"$reason"
"$bootstrap" test >/dev/null 2>&1
check "with 32-bit Wine the old reason goes" [ ! -e "$reason" ]
exit "$failed"

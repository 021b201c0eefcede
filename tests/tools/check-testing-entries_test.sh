#!/usr/bin/env bash
# The check of product code finds every use of an entry for testing in a small tree of its own
# (through an object, a pointer, a class, a namespace, a taken address, a call split over lines)
# and fails; the declarations and definitions, comments, strings, tests and benchmarks it lets be.
# Usage: check-testing-entries_test.sh CHECK
set -uo pipefail
check=$1
tree=$(cd "$(dirname "${BASH_SOURCE[0]}")/testing-entries" && pwd)

expected="app/Counter.cpp:32: CountForTesting
app/Counter.cpp:33: CountForTesting
app/Counter.cpp:34: InstanceForTesting
app/Counter.cpp:35: SwapForTesting
app/Counter.cpp:36: HistoryForTesting
app/Counter.cpp:37: CountForTesting
app/Counter.cpp:42: CountForTesting"
# The lines the tree itself marks as uses.
marked=$(grep -n '// use$' "$tree/app/Counter.cpp" | cut -d: -f1 | sed 's|^|app/Counter.cpp:|' | paste -sd' ')

actual=$("$check" "$tree")
status=$?
failed=0
if [ "$status" -ne 1 ]; then
  echo "exit status $status, not 1"
  failed=1
fi
if [ "$actual" != "$expected" ]; then
  printf 'reported:\n%s\nexpected:\n%s\n' "$actual" "$expected"
  failed=1
fi
if [ "$(cut -d: -f1,2 <<<"$expected" | paste -sd' ')" != "$marked" ]; then
  echo "the expected lines are not those the tree marks: $marked"
  failed=1
fi
exit $failed

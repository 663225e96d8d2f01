#!/usr/bin/env bash
# Runs the C example (through the emulator, if one is given) and holds its
# output to the expected text; a Windows run's CR LF line ends count as LF.
#   run_example.sh EXPECTED EXAMPLE [EMULATOR...]
set -uo pipefail
expected="$1"
example="$2"
shift 2
actual="$("$@" "$example" | tr -d '\r')"
rc=${PIPESTATUS[0]}
if [ "$rc" -ne 0 ]; then
  echo "the example ended with status $rc" >&2
  exit 1
fi
if ! diff <(printf '%s\n' "$actual") "$expected"; then
  echo "the example's output differs from $expected" >&2
  exit 1
fi
echo "the example printed what was expected"

#!/usr/bin/env bash
# Runs the C example (through the emulator, if one is given) and holds its
# output to the expected text, where @VERSION@ stands for VERSION; a Windows
# run's CR LF line ends count as LF.
#   run_example.sh EXPECTED VERSION EXAMPLE [EMULATOR...]
set -uo pipefail
expected="$1"
version="$2"
example="$3"
shift 3
actual="$("$@" "$example" | tr -d '\r')"
rc=${PIPESTATUS[0]}
if [ "$rc" -ne 0 ]; then
  echo "the example ended with status $rc" >&2
  exit 1
fi
if ! diff <(printf '%s\n' "$actual") <(sed "s/@VERSION@/$version/" "$expected"); then
  echo "the example's output differs from $expected" >&2
  exit 1
fi
echo "the example printed what was expected"

#!/usr/bin/env bash
# Runs a Windows test program with Wine's screen resolution set to DPI, and
# puts the resolution back afterwards, also when the program fails:
#   at_dpi.sh DPI PROGRAM [ARGS]...
# Wine reads the resolution from the user's "LogPixels" value when a
# program starts, so only programs started meanwhile see it; ctest runs this
# alone (RUN_SERIAL), so no other test starts in that time.
set -u
dpi="$1"
shift
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
run="$root/scripts/wine-run"
key='HKCU\Control Panel\Desktop'
restore() { "$run" reg delete "$key" /v LogPixels /f >/dev/null 2>&1 </dev/null; }
trap restore EXIT
"$run" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1 </dev/null || exit 1
"$run" "$@"

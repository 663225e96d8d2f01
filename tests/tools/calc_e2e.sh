#!/usr/bin/env bash
# End-to-end runs of tallyon-calc: exact stdout, stderr and exit status.
#   calc_e2e.sh PROGRAM [EMULATOR]
# The Windows build passes its Wine runner as EMULATOR; carriage returns of
# Windows text output are dropped before comparing.
set -u
program="$1"
emulator="${2:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
passed=0

calc() {
  if [ -n "$emulator" ]; then "$emulator" "$program" "$@"; else "$program" "$@"; fi
}

# check NAME EXPECTED_STATUS EXPECTED_STDOUT EXPECTED_STDERR -- ARGS...
# (standard input comes from the file "stdin" when it exists)
check() {
  local name="$1" want_rc="$2" want_out="$3" want_err="$4"
  shift 5
  local input=/dev/null
  [ -f stdin ] && input=stdin
  calc "$@" <"$input" >out.txt 2>err.txt
  local rc=$?
  local out err
  out="$(tr -d '\r' <out.txt)"
  err="$(tr -d '\r' <err.txt)"
  if [ "$rc" = "$want_rc" ] && [ "$out" = "$want_out" ] && { [ "$want_err" = "*" ] || [ "$err" = "$want_err" ]; }; then
    passed=$((passed + 1))
  else
    failures=$((failures + 1))
    echo "FAIL: $name"
    echo "  status: got $rc, want $want_rc"
    [ "$out" = "$want_out" ] || printf '  stdout got:\n%s\n  stdout want:\n%s\n' "$out" "$want_out"
    [ "$want_err" = "*" ] || [ "$err" = "$want_err" ] || printf '  stderr got:\n%s\n  stderr want:\n%s\n' "$err" "$want_err"
  fi
  rm -f stdin
}

check "valid and faulty expressions side by side" 1 \
"10<90
Real Result = 0.0000000
Complex Result = (0.0000000, 10.0000000)
(3,4)
Real Result = 3.0000000
Complex Result = (3.0000000, 4.0000000)
#SQRT(-4)
Real Result = 0.0000000
Complex Result = (0.0000000, 2.0000000)
1/0
(2" \
"Division by zero
1/0
 ^
Parentheses do not balance
(2
1" -- '10<90' '(3,4)' '#SQRT(-4)' '1/0' '(2'

check "undefined parameter marks the name" 1 "" \
"Parameter used before being defined
2x**2 + 3(y-1)
 ^" -- '2x**2 + 3(y-1)'

printf 'x=1\r\ny=2\n' >p.par
check "parameters from a file" 0 \
"Real Result = 5.0000000
Complex Result = (5.0000000, 0.0000000)" "" -- --params p.par '2x**2 + 3(y-1)'

check "real-only refuses a complex result" 1 \
"NO REAL RESULT
Complex Result = (3.0000000, -4.0000000)" \
"Expression has non-zero imaginary part.  Pure real required.  Check for spurious comma.
(3,-4)
^^^^^^" -- --real-only '(3,-4)'

check "json for a result and an error" 1 \
'{"expr":"#SQRT(2)","ok":true,"re":1.4142135623730951,"im":0,"is_real":true,"real":1.4142135623730951,"real_ok":true,"error":null,"notices":[]}
{"expr":"1/0","ok":false,"re":null,"im":null,"is_real":false,"real":null,"real_ok":false,"error":{"message":"Division by zero","first":2,"last":2,"display":"1/0","marker":" ^"},"notices":[]}' \
"" -- --json -- '#SQRT(2)' '1/0'

check "json for a complex result" 0 \
'{"expr":"(1,2)*(3,4)","ok":true,"re":-5,"im":10,"is_real":false,"real":-5,"real_ok":true,"error":null,"notices":[]}' \
"" -- --json '(1,2)*(3,4)'

printf '1+1\n\n   \n2 x\r\n' >stdin
check "lines of standard input, blank lines skipped" 1 \
"1+1
Real Result = 2.0000000
Complex Result = (2.0000000, 0.0000000)
2 x" \
"Parameter used before being defined
2 x
  ^" --

printf 'a=2 !two\n*in=2.54\nb=a*3\nc=q\n' >t.par
check "listing with an entry in error" 0 \
"Seq.  Parameter  Currently  Factor  Expression  Comments
   1  a          2.0000000          2           two
   2  in         2.5400000  Yes     2.54
   3  b          6.0000000          a*3
   4  c          **ERROR**          q" \
"*" -- --params t.par --list

check "save writes the table" 0 "" \
"Parameter used before being defined
q
^" -- --params t.par --save saved.par
saved="$(tr -d '\r' <saved.par)"
want_saved="a=2 !two
*in=2.54 !
b=a*3 !
c=q !"
if [ "$saved" = "$want_saved" ]; then passed=$((passed + 1)); else
  failures=$((failures + 1)); printf 'FAIL: saved file\n%s\n' "$saved"; fi

check "unreadable parameter file" 2 "" \
'READ FAILURE: Unable to read the parameter list from "missing.par".' -- --params missing.par 1
mkdir folder.par
check "a folder is no parameter file" 2 "" \
'READ FAILURE: Unable to read the parameter list from "folder.par".' -- --params folder.par 1
printf 'MZ\0\0x=1\n' >program.par
check "a binary file is no parameter list" 2 "" \
'READ FAILURE: "program.par" is not a parameter list (it holds binary data).' -- --params program.par 1

check "json values of the acceptance list" 1 \
'{"expr":"(5E200)^(-7)","ok":true,"re":0,"im":0,"is_real":true,"real":0,"real_ok":true,"error":null,"notices":[]}
{"expr":"#SIND(-1E-20)","ok":true,"re":-1.7453292519943293e-22,"im":0,"is_real":true,"real":-1.7453292519943293e-22,"real_ok":true,"error":null,"notices":[]}
{"expr":"(1E308*10)*0","ok":false,"re":null,"im":null,"is_real":false,"real":null,"real_ok":false,"error":{"message":"Result is not a number","first":1,"last":12,"display":"(1E308*10)*0","marker":"^^^^^^^^^^^^"},"notices":[]}' \
"" -- --json '(5E200)^(-7)' '#SIND(-1E-20)' '(1E308*10)*0'

check "a result that is no number is told" 1 "" \
"Result is not a number
(1E308*10)-(1E308*10)
^^^^^^^^^^^^^^^^^^^^^" -- '(1E308*10)-(1E308*10)'

printf '\xEF\xBB\xBFx=4\r\n' >bom.par
printf '\xEF\xBB\xBFx*2\n' >stdin
check "byte-order marks of a file and of standard input" 0 \
"x*2
Real Result = 8.0000000
Complex Result = (8.0000000, 0.0000000)" "" -- --params bom.par

check "json listing is one object of its own" 0 \
'{"expr":"b","ok":true,"re":6,"im":0,"is_real":true,"real":6,"real_ok":true,"error":null,"notices":[]}
{"parameters":[{"seq":1,"name":"a","re":2,"im":0,"is_real":true,"real":2,"factor_only":false,"expression":"2","comment":"two","error":false},{"seq":2,"name":"in","re":2.54,"im":0,"is_real":true,"real":2.54,"factor_only":true,"expression":"2.54","comment":"","error":false},{"seq":3,"name":"b","re":6,"im":0,"is_real":true,"real":6,"factor_only":false,"expression":"a*3","comment":"","error":false},{"seq":4,"name":"c","re":null,"im":null,"is_real":false,"real":null,"factor_only":false,"expression":"q","comment":"","error":true}]}' \
"*" -- --params t.par --json --list b
check "unknown option" 2 "" "*" -- --frobnicate 1
check "option without its file" 2 "" "*" -- 1 --params

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]

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

check "engineering notation with four digits" 0 \
"Real Result = 47.00E-6
Complex Result = (47.00E-6, 0.000E0)" "" -- --notation eng --digits 4 0.000047

check "the polar form, every digit" 0 \
"Real Result = 0
Complex Result = 10<90" "" -- --notation shortest --polar '(0,10)'

check "the polar form in fixed notation" 0 \
"Real Result = 3.00
Complex Result = 5.00<-53.1" "" -- --notation fixed --digits 3 --polar '(3,-4)'

check "display options leave json alone" 0 \
'{"expr":"1/3","ok":true,"re":0.33333333333333331,"im":0,"is_real":true,"real":0.33333333333333331,"real_ok":true,"error":null,"notices":[]}' \
"" -- --json --notation sci --digits 2 --polar 1/3

check "digits without a notation that takes them" 2 "" "*" -- --digits 4 1

check "an unknown notation" 2 "" "*" -- --notation engineering 1

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
check "listing with an entry in error fails the run" 1 \
"Seq.  Parameter  Currently  Factor  Expression  Comments
   1  a          2.0000000          2           two
   2  in         2.5400000  Yes     2.54
   3  b          6.0000000          a*3
   4  c          **ERROR**          q" \
"*" -- --params t.par --list

check "save writes the table, an entry in error too" 1 "" \
"In parameter \"c\" of \"t.par\":
Parameter used before being defined
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

check "json listing is one object of its own" 1 \
'{"expr":"b","ok":true,"re":6,"im":0,"is_real":true,"real":6,"real_ok":true,"error":null,"notices":[]}
{"parameters":[{"seq":1,"name":"a","re":2,"im":0,"is_real":true,"real":2,"factor_only":false,"expression":"2","comment":"two","error":false},{"seq":2,"name":"in","re":2.54,"im":0,"is_real":true,"real":2.54,"factor_only":true,"expression":"2.54","comment":"","error":false},{"seq":3,"name":"b","re":6,"im":0,"is_real":true,"real":6,"factor_only":false,"expression":"a*3","comment":"","error":false},{"seq":4,"name":"c","re":null,"im":null,"is_real":false,"real":null,"factor_only":false,"expression":"q","comment":"","error":true}]}' \
"*" -- --params t.par --json --list b
check "unknown option" 2 "" "*" -- --frobnicate 1
check "option without its file" 2 "" "*" -- 1 --params

# ---- nothing the user wrote is lost ---------------------------------------
# expect NAME COMMAND...: a check of the files a run left behind.
expect() {
  local name="$1"
  shift
  if "$@"; then passed=$((passed + 1)); else failures=$((failures + 1)); echo "FAIL: $name"; fi
}
native() { [ -z "$emulator" ]; }

# Standard input is read in binary: a Ctrl+Z byte (0x1A) is a character of
# its line, not the end of the input.
printf '1+1\r\n\x1a\r\n2+2\r\n' >stdin
check "a Ctrl+Z byte does not end standard input" 1 \
"1+1
Real Result = 2.0000000
Complex Result = (2.0000000, 0.0000000)
"$'\x1a'"
2+2
Real Result = 4.0000000
Complex Result = (4.0000000, 0.0000000)" "*" --

# Lines of a --params file that the table does not hold whole fail the run,
# and each one the read refused is reported.
printf '9x=1\nok=2\n' >refused.par
check "a refused line of a parameter file fails the run" 1 \
"Real Result = 2.0000000
Complex Result = (2.0000000, 0.0000000)" \
'BAD NAME: The given name "9x" is not a legal parameter name.  Parameter names must start with a letter.' -- --params refused.par ok
printf '! resistor values from the data sheet\nr1=4.7E3\n' >noted.par
check "a note line is no fault of the read" 0 "Real Result = 4700.0000000
Complex Result = (4700.0000000, 0.0000000)" "" -- --params noted.par r1

# A save over a file with lines the table would not write back keeps the
# file first, once, under a dated name, and says so.
dated() { ls "$1"-[0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9]-[0-9][0-9][0-9][0-9][0-9][0-9].par 2>/dev/null; }
cp noted.par kept.par
calc --params kept.par --save kept.par </dev/null >out.txt 2>err.txt
expect "a save over a note keeps the file aside (status)" [ $? = 0 ]
copy="$(dated kept)"
expect "a save over a note keeps the file aside (one copy)" [ "$(echo "$copy" | grep -c .)" = 1 ]
expect "a save over a note keeps the file aside (its bytes)" cmp -s noted.par "$copy"
expect "a save over a note keeps the file aside (told)" grep -q "FILE KEPT: \"kept.par\" held one line .* kept as \"$copy\"" err.txt
expect "a save over a note writes the table" [ "$(tr -d '\r' <kept.par)" = "r1=4.7E3 !" ]
calc --params kept.par --save kept.par </dev/null >out.txt 2>err.txt
expect "a file saved clean is not kept again" [ "$(dated kept | grep -c .)" = 1 ]
expect "a file saved clean is not told again" [ ! -s err.txt ]

# A comment longer than the table keeps is reported, and cut before a
# character rather than inside one (here a two-byte "é" at bytes 64-65).
printf 'x=1 !a%s\n' "$(printf '\xc3\xa9%.0s' $(seq 40))" >long.par
check "a long comment is reported and cut at a character" 1 \
"Real Result = 1.0000000
Complex Result = (1.0000000, 0.0000000)" "*" -- --params long.par --save cut.par x
expect "a long comment is cut at a character (the file)" \
  [ "$(tr -d '\r' <cut.par)" = "x=1 !a$(printf '\xc3\xa9%.0s' $(seq 31))" ]
calc --params long.par x </dev/null >out.txt 2>err.txt
expect "a long comment is reported" grep -q 'TOO LONG: The comment of "x" is too long.  64 chars. max.' err.txt

# A read-only file is not replaced: the save fails and says so.
printf 'old=1\n' >locked.par
chmod 0444 locked.par
check "a read-only file is not replaced" 2 "" \
'SAVE FAILURE: Unable to save the parameter list to "locked.par".' -- --save locked.par
expect "a read-only file keeps its content" [ "$(cat locked.par)" = "old=1" ]
chmod 0644 locked.par

# JSON is UTF-8: a UTF-8 comment passes as written, a Windows-1252 one
# is decoded (the euro sign is U+20AC, not U+0080).
printf 'z=1 !Z\xc3\xbcrich caf\xc3\xa9\n' >texts.par
printf 'w=2 !5 \x80\n' >euro.par
calc --params texts.par --params euro.par --json --list </dev/null >out.txt 2>err.txt
expect "json keeps a UTF-8 comment" grep -q '"comment":"Zürich café"' out.txt
expect "json decodes a code-page comment" grep -q '"comment":"5 €"' out.txt

# A file is read in the encoding it is in and saved back in it: UTF-8 with
# or without the mark, or the older code page (Windows-1252 here), byte for
# byte. A character that page lacks makes the file UTF-8 with the mark.
# Each build writes its platform's line end.
if native; then nl='\n'; else nl='\r\n'; fi
printf "z=1 !Z\\xfcrich caf\\xe9${nl}w=2 !5 \\x80${nl}" >legacy.par
printf "\\xef\\xbb\\xbfz=1 !Z\\xc3\\xbcrich${nl}" >marked.par
printf "z=1 !Z\\xc3\\xbcrich${nl}" >plain.par
for f in legacy marked plain; do
  cp "$f.par" "$f.before"
  calc --params "$f.par" --save "$f.par" </dev/null >/dev/null 2>&1
  expect "a $f file saved back is the same bytes" cmp -s "$f.par" "$f.before"
done
check "a code-page comment shows as written" 0 \
"Seq.  Parameter  Currently  Factor  Expression  Comments
   1  z          1.0000000          1           Zürich café
   2  w          2.0000000          2           5 €" "" -- --params legacy.par --list
printf 'om=3 !\xce\xa9mega\n' >omega-comment.par
calc --params legacy.par --params omega-comment.par --save legacy.par </dev/null >/dev/null 2>&1
expect "a code-page file given a Greek comment becomes UTF-8 with the mark" \
  [ "$(head -c 3 legacy.par | od -An -tx1 | tr -d ' ')" = efbbbf ]
expect "and keeps every comment" grep -q 'Zürich café' legacy.par

# Names compare by letters: é and É are one name, ÷ and × two.
printf '\xc3\xa9=2 !\n\xc3\x89=3 !\n\xc3\xb7=4 !\n\xc3\x97=5 !\n' >names.par
check "names compare by letters" 0 \
"é
Real Result = 3.0000000
Complex Result = (3.0000000, 0.0000000)
÷
Real Result = 4.0000000
Complex Result = (4.0000000, 0.0000000)
×
Real Result = 5.0000000
Complex Result = (5.0000000, 0.0000000)" "" -- --params names.par "é" "÷" "×"

# The listing's columns line up by characters, not bytes.
printf 'Ma\xc5\x82y=1 !\xc5\x82\xc3\xb3d\xc5\xba\nBig=2 !x\n' >columns.par
check "the listing lines up non-ASCII names" 0 \
"Seq.  Parameter  Currently  Factor  Expression  Comments
   1  Mały       1.0000000          1           łódź
   2  Big        2.0000000          2           x" "" -- --params columns.par --list

# File names as the user wrote them: the file named is the one read or
# written, never a look-alike the code page could hold (a decoy beside it).
mkdir -p "Мария"
printf 'L=1 !the right file\n' >"Łódź.par"
printf 'L=99 !a decoy\n' >"Lodz.par"
printf 'J=2\n' >"日本.par"
printf 'M=3\n' >"Мария/data.par"
check "names in Polish, Japanese and Cyrillic" 0 \
"Real Result = 6.0000000
Complex Result = (6.0000000, 0.0000000)" "" -- --params "Łódź.par" --params "日本.par" --params "Мария/data.par" "L*J*M"
printf 'O=1\n' >"Omega.par"
calc --params "Łódź.par" --save "Ωmega.par" </dev/null >out.txt 2>err.txt
expect "a save to a Greek name writes that file" [ "$(tr -d '\r' <"Ωmega.par")" = "L=1 !the right file" ]
expect "a save to a Greek name leaves its look-alike alone" [ "$(cat Omega.par)" = "O=1" ]
expect "a read of a Polish name leaves its look-alike alone" [ "$(cat Lodz.par)" = "L=99 !a decoy" ]
# Characters outside the language are told, never read as a look-alike.
check "infinity is no 8" 1 "" \
"Illegal character used
∞
^" -- "∞"
check "a superscript is no digit" 1 "" \
"Illegal character used
10⁶
  ^" -- "10⁶"
check "a full-width plus is no plus" 1 "" \
"Illegal character used
é＋1
 ^" -- "é＋1"

if native; then
  # The platform's file rules: the mode stays, a link stays a link and the
  # file it names gets the content.
  printf 'old=1\n' >shared.par
  chmod 0640 shared.par
  calc --save shared.par </dev/null >/dev/null 2>&1
  expect "a save keeps the file's mode" [ "$(stat -c %a shared.par)" = 640 ]
  mkdir -p real
  printf 'old=1\n' >real/target.par
  ln -sf real/target.par link.par
  printf 'new=2\n' >new.par
  calc --params new.par --save link.par </dev/null >/dev/null 2>&1
  expect "a save through a link keeps the link" [ -L link.par ]
  expect "a save through a link writes the file it names" [ "$(cat real/target.par)" = "new=2 !" ]

  # Parameter files from a pipe: the reader never goes back.
  printf 'y=3\n' >stdin
  check "parameters from standard input" 0 "Real Result = 3.0000000
Complex Result = (3.0000000, 0.0000000)" "" -- --params /dev/stdin y
  check "parameters from a pipe" 0 "Real Result = 4.0000000
Complex Result = (4.0000000, 0.0000000)" "" -- --params <(printf 'z=4\n') z

  # Results that cannot be written are a failure.
  calc 1+1 </dev/null >/dev/full 2>err.txt
  expect "a failed write fails the run" [ $? = 2 ]
  expect "a failed write is told" grep -qx "tallyon-calc: the results could not be written to standard output" err.txt
fi

echo "$passed passed, $failures failed"
[ "$failures" -eq 0 ]

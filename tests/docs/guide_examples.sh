#!/usr/bin/env bash
# Checks that every example of the user guide gives what the guide says.
#   guide_examples.sh GUIDE EXAMPLES_DIR PROGRAM [EMULATOR]
# GUIDE is docs/guide.md, EXAMPLES_DIR the parameter files the packages ship
# as examples\, PROGRAM tallyon-calc; the Windows build passes its Wine
# runner as EMULATOR. The guide marks its examples three ways:
#
# 1. A fenced block opened with ```tallyon-calc is a Command Prompt session.
#    A line starting with "> " is a command, the lines after it are exactly
#    what it prints (standard output and error, as a console shows them).
#    Commands: "tallyon-calc ARGS" (quoted as cmd.exe does: double quotes
#    group, outside them ^ escapes the next character and "< FILE" feeds
#    standard input), "echo %ERRORLEVEL%" (the last exit status) and
#    "type FILE".
# 2. A fenced block opened with ```par file=NAME writes its lines to NAME in
#    the session's folder, for the commands after it.
# 3. A table whose header has the columns "Expression", "Real Result" and
#    "Complex Result": each row is evaluated and must show those two result
#    fields, as the main window shows them ("NO REAL RESULT" in the real
#    column when there is none). A line "<!-- check with: ARGS -->" before
#    the table gives tallyon-calc options for its rows.
#
# Every session runs in one folder that holds a copy of EXAMPLES_DIR as
# examples\, as the unpacked zip does. Picture links must name a file that
# exists beside the guide.
set -u
absolute() { echo "$(cd "$(dirname "$1")" && pwd)/$(basename "$1")"; }
guide="$(absolute "$1")"
examples="$(absolute "$2")"
program="$(absolute "$3")"
emulator="${4:-}"
guide_dir="$(dirname "$guide")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/session/examples"
cp "$examples"/*.par "$work/session/examples/"
cd "$work/session" || exit 1
# The exit status of the last tallyon-calc, kept across the subshells that
# capture each command's output.
status_file="$work/status"
echo 0 >"$status_file"

failures=0
checked=0

fail() {
  failures=$((failures + 1))
  echo "FAIL: $guide:$1: $2"
  [ -n "${3:-}" ] && printf '%s\n' "$3"
}

# Splits a command line the way cmd.exe and the C runtime do for these
# examples, into the array `words`; "< FILE" goes to `stdin_file`.
split_cmd() {
  local line="$1" word="" have=0 quoted=0 i c
  words=()
  stdin_file=""
  local redirect=0
  for ((i = 0; i < ${#line}; i++)); do
    c="${line:i:1}"
    if [ "$quoted" = 1 ]; then
      if [ "$c" = '"' ]; then quoted=0; else word+="$c"; fi
      continue
    fi
    case "$c" in
      '"') quoted=1; have=1 ;;
      '^') i=$((i + 1)); word+="${line:i:1}"; have=1 ;;
      ' ' | $'\t')
        if [ "$have" = 1 ]; then
          if [ "$redirect" = 1 ]; then stdin_file="$word"; redirect=0; else words+=("$word"); fi
        fi
        word=""; have=0 ;;
      '<') redirect=1 ;;
      '>' | '|' | '&') return 1 ;;
      *) word+="$c"; have=1 ;;
    esac
  done
  [ "$quoted" = 1 ] && return 1
  if [ "$have" = 1 ]; then
    if [ "$redirect" = 1 ]; then stdin_file="$word"; else words+=("$word"); fi
  fi
  return 0
}

# A file named with Windows backslashes, for the native program.
host_path() {
  if [ -n "$emulator" ]; then printf '%s' "$1"; else printf '%s' "${1//\\//}"; fi
}

calc() {
  if [ -n "$emulator" ]; then "$emulator" "$program" "$@"; else "$program" "$@"; fi
}

# Runs one command of a session; its output goes to stdout.
run_command() {
  local cmd="$1" lineno="$2"
  if [ "$cmd" = "echo %ERRORLEVEL%" ]; then
    cat "$status_file"
    return 0
  fi
  if ! split_cmd "$cmd"; then
    echo "(cannot run: $cmd)"
    return 0
  fi
  case "${words[0]:-}" in
    type)
      tr -d '\r' <"$(host_path "${words[1]}")"
      ;;
    tallyon-calc)
      local args=() prev=""
      for w in "${words[@]:1}"; do
        if [ "$prev" = "--params" ] || [ "$prev" = "--save" ]; then args+=("$(host_path "$w")"); else args+=("$w"); fi
        prev="$w"
      done
      local input=/dev/null
      [ -n "$stdin_file" ] && input="$(host_path "$stdin_file")"
      calc "${args[@]}" <"$input" >"$work/output" 2>&1
      local status=$?
      # tallyon-calc ends with 0, 1 or 2 and, with those, prints something
      # for every example here. Silence with any other status is Wine not
      # starting the program: seen once, in CI, on a freshly made prefix,
      # and not again in some forty runs on fresh prefixes here. The status
      # goes to the log, and the program is run once more; that run is the
      # one compared. Silence with the program's own status is never
      # forgiven: that would be the program losing its output.
      if [ -n "$emulator" ] && [ ! -s "$work/output" ] && [ "$status" -gt 2 ]; then
        echo "note: $guide:$lineno: Wine ended \"$cmd\" with status $status and no output; running it again" >&2
        calc "${args[@]}" <"$input" >"$work/output" 2>&1
        status=$?
      fi
      tr -d '\r' <"$work/output"
      echo "$status" >"$status_file"
      ;;
    *)
      echo "(not a command this check knows: $cmd)"
      ;;
  esac
}

# Checks one session block: lines in the array `block`, starting at `start`.
check_session() {
  local start="$1" n=${#block[@]} i=0
  while [ "$i" -lt "$n" ]; do
    local line="${block[i]}"
    if [[ "$line" != "> "* ]]; then
      fail $((start + i)) "output without a command before it: $line"
      i=$((i + 1))
      continue
    fi
    local cmd="${line#> }" at=$((start + i)) want=""
    i=$((i + 1))
    while [ "$i" -lt "$n" ] && [[ "${block[i]}" != "> "* ]]; do
      want+="${block[i]}"$'\n'
      i=$((i + 1))
    done
    local got
    got="$(run_command "$cmd" "$at")"
    checked=$((checked + 1))
    if [ "$got" != "${want%$'\n'}" ]; then
      fail "$at" "$cmd (exit status $(cat "$status_file"))" \
        "$(printf '  got:\n%s\n  the guide says:\n%s' "$got" "${want%$'\n'}")"
    fi
  done
}

# The cells of a table row, trimmed, without the backticks of code.
row_cells() {
  local row="${1#|}"
  row="${row%|}"
  IFS='|' read -r -a cells <<<"$row"
  local k
  for k in "${!cells[@]}"; do
    local c="${cells[k]}"
    c="${c#"${c%%[! ]*}"}"
    c="${c%"${c##*[! ]}"}"
    if [[ "$c" == \`*\` ]]; then c="${c:1:${#c}-2}"; fi
    cells[k]="$c"
  done
}

check_table_row() {
  local lineno="$1" expr="$2" real="$3" complex="$4"
  local opts=() want got status
  if [ -n "$table_options" ]; then
    split_cmd "x $table_options" || true
    opts=("${words[@]:1}")
    local k
    for k in "${!opts[@]}"; do
      [ "$k" -gt 0 ] && [ "${opts[k-1]}" = "--params" ] && opts[k]="$(host_path "${opts[k]}")"
    done
  fi
  if [ "$real" = "NO REAL RESULT" ]; then
    want="NO REAL RESULT"$'\n'"Complex Result = $complex"
  else
    want="Real Result = $real"$'\n'"Complex Result = $complex"
  fi
  got="$(calc "${opts[@]}" -- "$expr" 2>/dev/null </dev/null | tr -d '\r')"
  checked=$((checked + 1))
  if [ "$got" != "$want" ]; then
    fail "$lineno" "$expr" "$(printf '  got:\n%s\n  the guide says:\n%s' "$got" "$want")"
  fi
}

picture_link='!\[[^]]*\]\(([^)]*)\)'
lineno=0
in_block=""
block=()
block_start=0
file_name=""
table=""
table_options=""
pending_options=""
col_expr=-1 col_real=-1 col_complex=-1
while IFS= read -r line || [ -n "$line" ]; do
  lineno=$((lineno + 1))
  if [ -n "$in_block" ]; then
    if [[ "$line" =~ ^\`\`\`[[:space:]]*$ ]]; then
      case "$in_block" in
        session) check_session "$block_start" ;;
        file) [ ${#block[@]} -gt 0 ] && printf '%s\n' "${block[@]}" >"$file_name" || : >"$file_name" ;;
      esac
      in_block=""
    elif [ "$in_block" != "other" ]; then
      block+=("$line")
    fi
    continue
  fi
  if [[ "$line" =~ ^\`\`\`tallyon-calc[[:space:]]*$ ]]; then
    in_block=session; block=(); block_start=$((lineno + 1)); table=""; continue
  fi
  if [[ "$line" =~ ^\`\`\`par[[:space:]]+file=([^[:space:]]+)[[:space:]]*$ ]]; then
    in_block=file; block=(); file_name="$(host_path "${BASH_REMATCH[1]}")"; table=""; continue
  fi
  if [[ "$line" =~ ^\`\`\` ]]; then
    in_block=other; table=""; continue
  fi
  if [[ "$line" =~ ^\<!--\ check\ with:\ (.*)\ --\>$ ]]; then
    pending_options="${BASH_REMATCH[1]}"; continue
  fi
  if [[ "$line" =~ $picture_link ]]; then
    image="${BASH_REMATCH[1]}"
    if [ -f "$guide_dir/$image" ]; then checked=$((checked + 1)); else fail "$lineno" "picture $image is missing"; fi
  fi
  if [[ "$line" == \|* ]]; then
    row_cells "$line"
    if [ -z "$table" ]; then
      table=header
      col_expr=-1 col_real=-1 col_complex=-1
      for k in "${!cells[@]}"; do
        case "${cells[k]}" in
          Expression) col_expr=$k ;;
          "Real Result") col_real=$k ;;
          "Complex Result") col_complex=$k ;;
        esac
      done
      table_options="$pending_options"
      pending_options=""
      if [ "$col_expr" -ge 0 ] && [ "$col_real" -ge 0 ] && [ "$col_complex" -ge 0 ]; then table=results; else table=other; fi
    elif [ "$table" = results ] && [[ ! "${cells[0]}" =~ ^-+$ ]]; then
      check_table_row "$lineno" "${cells[col_expr]}" "${cells[col_real]}" "${cells[col_complex]}"
    fi
  else
    table=""
    [ -n "$line" ] && pending_options=""
  fi
done <"$guide"

[ -n "$in_block" ] && fail "$lineno" "a fenced block is not closed"
if [ "$checked" -eq 0 ]; then
  fail "$lineno" "no marked example found"
fi
echo "guide examples: $checked checked, $failures failed"
[ "$failures" -eq 0 ]

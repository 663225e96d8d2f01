#!/usr/bin/env bash
# Tests the packages the way a Windows user meets them, on a Wine prefix of
# their own that starts empty:
#   package_test.sh DIST VERSION
# DIST holds what scripts/package wrote; VERSION is the CMake version the
# names and programs must carry.
#
# The zip: its checksum, its contents, its text files, tallyon-calc.exe
# --version and the example files; its SDK, with the example built by
# MinGW-w64 against each import library and run beside tallyon.dll. The
# installer: folders that hold someone's files refused and left as they were,
# an empty and a missing folder taken and left behind by the uninstall; an
# older version installed silently, the user's changes to the program folder,
# then this version over it, then this one again; the files (the user's kept,
# this version's beside the changed ones), the Start-menu shortcut, the .par
# association and the uninstall entry; the installed Tallyon.exe started
# directly, from the shortcut and through a .par file; the user's data folder
# kept throughout; and the silent uninstall, after which nothing of the
# program is left and every file of the user's is.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
dist="$(cd "$1" && pwd)"
version="$2"

work="$root/build/package-test"
rm -rf "$work"
mkdir -p "$work/home" "$work/unzipped"

# A fresh prefix, its own display and wineserver (scripts/wine-env ends all
# of them when this script exits), and its own log.
export TALLYON_WINEPREFIX="$work/wine-prefix"
export TALLYON_WINE_LOG="$work/wine.log"
# Wine links the prefix's Desktop and Documents to folders of $HOME: a home
# of its own keeps the test away from the real one.
export HOME="$work/home"
# shellcheck source=scripts/wine-env
source "$root/scripts/wine-env"
# winemenubuilder would copy the shortcut and the association into the Linux
# desktop's menus and MIME database; the test wants them in Windows only.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
wine=/usr/lib/wine/wine64
title="XNumberEx Demo Program"

failures=0
passed=0
ok() { passed=$((passed + 1)); }
fail() { failures=$((failures + 1)); echo "FAIL: $*"; }
# expect_eq WHAT GOT WANT
expect_eq() { if [ "$2" = "$3" ]; then ok; else fail "$1: got [$2], want [$3]"; fi; }
finish() {
  echo "package test: $passed checks passed, $failures failed"
  [ "$failures" -eq 0 ]
  exit $?
}

zip_file="$dist/Tallyon-$version-win64.zip"
setup_file="$dist/Tallyon-$version-setup.exe"
[ -f "$zip_file" ] && [ -f "$setup_file" ] || { fail "no packages of version $version in $dist"; finish; }

# ---- the checksums ---------------------------------------------------------
(cd "$dist" && sha256sum --quiet -c SHA256SUMS) && ok || fail "SHA256SUMS does not match the packages"
expect_eq "files named in SHA256SUMS" "$(awk '{print $2}' "$dist/SHA256SUMS" | sort | tr '\n' ' ')" \
  "Tallyon-$version-setup.exe Tallyon-$version-win64.zip "

# ---- the zip ---------------------------------------------------------------
shipped=(Guide.txt LICENSE.txt Tallyon.exe examples/constants.par examples/electrical.par examples/units.par
  tallyon-calc.exe)
# The SDK is in the zip only: the installer is for the program's users.
divider=(divider.c divider.rc divider_res.h divider.manifest)
sdk_text=(sdk/README.txt sdk/include/tallyon.h sdk/include/tallyon_win.h sdk/lib/tallyon.def sdk/examples/example.c
  "${divider[@]/#/sdk/examples/}")
sdk_files=("${sdk_text[@]}" sdk/bin/tallyon.dll sdk/lib/libtallyon.dll.a sdk/lib/tallyon.lib sdk/examples/divider.exe)
expect_eq "zip contents" "$(unzip -Z1 "$zip_file" | LC_ALL=C sort | tr '\n' ' ')" \
  "$(printf "Tallyon-$version/%s\n" "" examples/ sdk/ sdk/bin/ sdk/examples/ sdk/include/ sdk/lib/ \
    "${shipped[@]}" "${sdk_files[@]}" | LC_ALL=C sort | tr '\n' ' ')"
unzip -q "$zip_file" -d "$work/unzipped" || fail "the zip does not unpack"
unpacked="$work/unzipped/Tallyon-$version"
sdk="$unpacked/sdk"
for f in "$unpacked"/Guide.txt "$unpacked"/LICENSE.txt "$unpacked"/examples/*.par "${sdk_text[@]/#/$unpacked/}"; do
  # Windows line ends on every line, so that Notepad shows them right.
  if [ -s "$f" ] && ! grep -qv $'\r$' "$f"; then ok; else fail "${f#"$unpacked"/} has lines without CR LF"; fi
done
grep -q 'Permission is hereby granted' "$unpacked/LICENSE.txt" && ok || fail "LICENSE.txt is not the licence"
# The guide as text: its text whole, its picture links gone.
expect_eq "Guide.txt beside docs/guide.md" \
  "$(tr -d '\r' <"$unpacked/Guide.txt" | md5sum)" "$(grep -v '^!\[.*\](images/.*)$' "$root/docs/guide.md" | md5sum)"

# The SDK's sources are the tree's, line ends aside.
for pair in include/tallyon.h:lib/tallyon.h include/tallyon_win.h:lib/tallyon_win.h lib/tallyon.def:lib/tallyon.def \
  examples/example.c:lib/examples/example.c "${divider[@]/#/examples/divider/}"; do
  [[ "$pair" == *:* ]] || pair="examples/${pair##*/}:$pair"
  expect_eq "sdk/${pair%%:*} beside ${pair#*:}" "$(tr -d '\r' <"$sdk/${pair%%:*}" | md5sum)" "$(md5sum <"$root/${pair#*:}")"
done
grep -qF 'cl /I include examples\example.c lib\tallyon.lib' "$sdk/README.txt" && ok ||
  fail "sdk/README.txt does not tell how to build with Visual C++"
# tallyon.dll gives what tallyon.def lists, and stripping kept its exports.
expect_eq "sdk/bin/tallyon.dll exports" \
  "$(x86_64-w64-mingw32-objdump -p "$sdk/bin/tallyon.dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/ s/^\s*\[ *[0-9]*\] //p' |
    LC_ALL=C sort | tr '\n' ' ')" \
  "$(tr -d '\r' <"$sdk/lib/tallyon.def" | sed -n '/^EXPORTS/,$ s/^\s\+\(\S\+\).*/\1/p' | LC_ALL=C sort | tr '\n' ' ')"
# The example, built from the unpacked zip as its README tells, once against
# each import library; MinGW's ld takes the Visual C++ one too.
sdk_builds=(
  "import-a:-Lsdk/lib -ltallyon"
  "import-lib:sdk/lib/tallyon.lib"
)
for row in "${sdk_builds[@]}"; do
  kind="${row%%:*}" link="${row#*:}"
  mkdir -p "$work/sdk-$kind"
  # shellcheck disable=SC2086 # the link options are words
  if (cd "$unpacked" && x86_64-w64-mingw32-gcc-posix -std=c99 -Wall -Wextra -pedantic -Werror -Isdk/include \
    sdk/examples/example.c $link -o "$work/sdk-$kind/example.exe") >"$work/sdk-$kind/build.log" 2>&1; then
    ok
    cp "$sdk/bin/tallyon.dll" "$work/sdk-$kind/"
    # Linked to the DLL, not to a copy of the engine.
    x86_64-w64-mingw32-objdump -p "$work/sdk-$kind/example.exe" | grep -c 'DLL Name: tallyon.dll' >/dev/null && ok ||
      fail "sdk example ($kind): does not import tallyon.dll"
  else
    fail "sdk example ($kind): does not build: $(tr '\n' ' ' <"$work/sdk-$kind/build.log")"
  fi
done

# The divider example is a program on the DLL, not on a copy of the engine.
x86_64-w64-mingw32-objdump -p "$sdk/examples/divider.exe" | grep -c 'DLL Name: tallyon.dll' >/dev/null && ok ||
  fail "sdk/examples/divider.exe does not import tallyon.dll"

# The version resources, as Windows shows them under Properties, Details.
IFS=. read -r major minor patch <<<"$version"
for exe in Tallyon.exe tallyon-calc.exe; do
  rc="$(x86_64-w64-mingw32-windres -J coff -i "$unpacked/$exe" -O rc 2>/dev/null | tr -d '\r')"
  expect_eq "$exe FILEVERSION" "$(sed -n 's/^ *FILEVERSION //p' <<<"$rc")" "$major, $minor, $patch, 0"
  expect_eq "$exe FileVersion" "$(sed -n 's/^ *VALUE "FileVersion", //p' <<<"$rc")" "\"$version\""
  expect_eq "$exe ProductVersion" "$(sed -n 's/^ *VALUE "ProductVersion", //p' <<<"$rc")" "\"$version\""
  expect_eq "$exe OriginalFilename" "$(sed -n 's/^ *VALUE "OriginalFilename", //p' <<<"$rc")" "\"$exe\""
done

if ! wine_env_start; then
  fail "could not start Xvfb and Wine (see $wine_env_log)"
  finish
fi

# Windows output ends its lines with CR LF.
run() { "$wine" "$@" 2>&1 </dev/null | tr -d '\r'; }
# The Unix path of a Windows one.
unix_path() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# The unpacked zip works where it lies.
expect_eq "tallyon-calc.exe --version" "$(cd "$unpacked" && run ./tallyon-calc.exe --version)" "tallyon-calc $version"
# The example files read without a single message, and mean what they say.
expect_eq "examples\\units.par" \
  "$(cd "$unpacked" && run ./tallyon-calc.exe --params 'examples\units.par' "6 FT/CM")" \
  "$(printf 'Real Result = 182.8800000\nComplex Result = (182.8800000, 0.0000000)')"
expect_eq "examples\\electrical.par" \
  "$(cd "$unpacked" && run ./tallyon-calc.exe --params 'examples\electrical.par' "#ABS(VAB)")" \
  "$(printf 'Real Result = 398.3716857\nComplex Result = (398.3716857, 0.0000000)')"

# The SDK's example beside tallyon.dll prints what the native build prints,
# and ends with exit code 0.
for row in "${sdk_builds[@]}"; do
  kind="${row%%:*}"
  [ -f "$work/sdk-$kind/example.exe" ] || continue
  expect_eq "sdk example ($kind): output and exit code" \
    "$(cd "$work/sdk-$kind" && "$wine" ./example.exe 2>>"$wine_env_log" </dev/null | tr -d '\r'
      echo "exit ${PIPESTATUS[0]}")" \
    "$(sed "s/@VERSION@/$version/" "$root/tests/install/expected.txt"; echo "exit 0")"
done

# ---- the installer ---------------------------------------------------------
local_appdata="$(run cmd /c echo %LOCALAPPDATA%)"
appdata="$(run cmd /c echo %APPDATA%)"
instdir="$local_appdata\\Programs\\Tallyon"
instdir_unix="$(unix_path "$instdir")"
data_unix="$(unix_path "$appdata\\Tallyon")"
shortcut_unix="$(unix_path "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Tallyon.lnk")"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tallyon'
classes='HKCU\Software\Classes'
progid='Tallyon.ParameterList'

# reg_value KEY [NAME]: the data of a value (the default value without NAME).
reg_value() {
  local line
  if [ $# -eq 2 ]; then line="$(run reg query "$1" /v "$2")"; else line="$(run reg query "$1" /ve)"; fi
  line="$(grep -m1 '    REG_' <<<"$line")" || return 1
  printf '%s' "${line#*    REG_*    }"
}
reg_exists() { "$wine" reg query "$1" >/dev/null 2>&1 </dev/null; }

# uninstall WINDIR: runs the uninstaller of that folder silently. It copies
# itself to the temporary folder, starts the copy and ends at once; the copy
# removes the program, then itself from the folder, and last the uninstall
# entry. Waits for both to be gone.
uninstall() {
  local uninstaller i
  uninstaller="$(unix_path "$1\\uninstall.exe")"
  "$wine" "$1\\uninstall.exe" /S >>"$wine_env_log" 2>&1 </dev/null
  for ((i = 0; i < 300; i++)); do
    [ ! -e "$uninstaller" ] && ! reg_exists "$uninstall_key" && return 0
    sleep 0.1
  done
  return 1
}
# The files under a folder, by their paths in it, on one line.
files_in() { (cd "$1" 2>/dev/null && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' '); }
sorted() { printf '%s\n' "$@" | LC_ALL=C sort | tr '\n' ' '; }
# same WHAT WANT GOT: two files hold the same bytes.
same() { if cmp -s "$2" "$3"; then ok; else fail "$1: ${3#"$work"/} is not ${2#"$work"/}"; fi; }

# ---- folders the installer refuses or takes --------------------------------
# Folders a user might name with /D=. One that holds files but no Tallyon
# installation is refused: a silent install ends with exit code 2 and leaves
# the folder exactly as it was.
folders_win='C:\folders'
folders_unix="$WINEPREFIX/drive_c/folders"
# fill_folder KIND DIR: puts into DIR what a folder of that kind holds.
fill_folder() {
  mkdir -p "$2"
  case "$1" in
    others) printf 'Meeting at ten\r\n' >"$2/notes.txt" && mkdir "$2/data" && seq 1 2000 >"$2/data/samples.txt" ;;
    guide-and-units) printf 'My own guide\r\n' >"$2/Guide.txt" && mkdir "$2/examples" &&
      printf '*FT=0.3048 !mine\r\n' >"$2/examples/units.par" ;;
    unpacked-zip) cp -a "$unpacked/." "$2/" ;;
    uninstaller) printf 'MZ another program\r\n' >"$2/uninstall.exe" && printf 'Read me\r\n' >"$2/readme.txt" ;;
  esac
}
# KIND:what the folder is
foreign=(
  "others:someone else's files"
  "guide-and-units:a folder with the user's Guide.txt and examples\\units.par"
  "unpacked-zip:the unpacked zip, which is no installation"
  "uninstaller:a folder with another program's uninstall.exe"
)
for row in "${foreign[@]}"; do
  kind="${row%%:*}" what="${row#*:}"
  fill_folder "$kind" "$folders_unix/$kind"
  cp -a "$folders_unix/$kind" "$work/before-$kind"
  expect_eq "$what: silent install" \
    "$(run "$setup_file" /S "/D=$folders_win\\$kind"; echo "exit ${PIPESTATUS[0]}")" "exit 2"
  if diff -r "$work/before-$kind" "$folders_unix/$kind" >/dev/null; then ok; else
    fail "$what: the installer changed the folder: $(diff -rq "$work/before-$kind" "$folders_unix/$kind" | tr '\n' ' ')"
  fi
done
# A refused install registers nothing either.
for key in "$uninstall_key" "$classes\\.par" "$classes\\$progid"; do
  reg_exists "$key" && fail "refused installs: $key was written" || ok
done
[ -e "$shortcut_unix" ] && fail "refused installs: a Start-menu shortcut was made" || ok

# An empty folder and a missing one are taken, also one named in Cyrillic,
# and the uninstall then leaves nothing behind, not even the folder.
for kind in empty missing Мария; do
  [ "$kind" = empty ] && mkdir -p "$folders_unix/$kind"
  expect_eq "$kind folder: silent install" \
    "$(run "$setup_file" /S "/D=$folders_win\\$kind"; echo "exit ${PIPESTATUS[0]}")" "exit 0"
  expect_eq "$kind folder: installed files" "$(files_in "$folders_unix/$kind")" "$(sorted "${shipped[@]}" uninstall.exe)"
  # reg.exe prints through the console's code page, which has no Cyrillic
  # under Wine: the registry value itself is not seen from here.
  [ "$kind" = Мария ] ||
    expect_eq "$kind folder: InstallLocation" "$(reg_value "$uninstall_key" InstallLocation)" "$folders_win\\$kind"
  uninstall "$folders_win\\$kind" && ok || fail "$kind folder: the uninstall did not finish"
  [ -e "$folders_unix/$kind" ] &&
    fail "$kind folder: left after the uninstall: $(cd "$folders_unix/$kind" && find . | tr '\n' ' ')" || ok
done

# ---- upgrades --------------------------------------------------------------
# An older version, built from the same script with a lower version number,
# stands for the release a user upgrades from. Each of its examples has a
# line more than this version's, so that an upgrade that leaves one in place
# shows.
old_version=0.0.1
old_setup="$work/Tallyon-$old_version-setup.exe"
old_stage="$work/stage-$old_version"
cp -a "$unpacked" "$old_stage"
for par in "$old_stage"/examples/*.par; do printf '!as shipped with %s\r\n' "$old_version" >>"$par"; done
makensis -V1 -DVERSION=$old_version -DSTAGE="$old_stage" -DICON="$root/app/resources/tallyon.ico" \
  -DOUTFILE="$old_setup" "$root/installer/Tallyon.nsi" >/dev/null || fail "the older installer does not build"

expect_eq "older version: silent install" "$(run "$old_setup" /S; echo "exit ${PIPESTATUS[0]}")" "exit 0"
expect_eq "older version: DisplayVersion" "$(reg_value "$uninstall_key" DisplayVersion)" "$old_version"

# The user's data folder, which every install and uninstall must keep.
mkdir -p "$data_unix"
printf 'X=42 !mine\r\n' >"$data_unix/mine.par"

# What a user does in the program folder: changes two examples and the guide,
# and adds files of their own. Every later install and the uninstall keep all
# of it byte for byte; an install puts this version's copy of a changed file
# beside it.
changed=(examples/units.par examples/constants.par Guide.txt)
added=(notes.txt examples/mine.par)
printf '*MI=1609.344 !statute mile\r\n' >>"$instdir_unix/examples/units.par"
# This change keeps the file's size: only its time tells it.
sed -i '1s/ !pi/ !Pi/' "$instdir_unix/examples/constants.par"
printf 'My note: FT is in units.par\r\n' >>"$instdir_unix/Guide.txt"
printf 'Ask about the 400 V supply\r\n' >"$instdir_unix/notes.txt"
printf 'X=1 !mine\r\n' >"$instdir_unix/examples/mine.par"
expect_eq "the change to constants.par keeps its size" \
  "$(stat -c %s "$instdir_unix/examples/constants.par")" "$(stat -c %s "$old_stage/examples/constants.par")"
cmp -s "$instdir_unix/examples/constants.par" "$old_stage/examples/constants.par" &&
  fail "the change to constants.par changed nothing" || ok
users="$work/users-files"
for f in "${changed[@]}" "${added[@]}"; do
  mkdir -p "$users/$(dirname "$f")"
  cp "$instdir_unix/$f" "$users/$f"
done
# beside FILE: where an install puts this version's FILE when the user changed theirs.
beside() { printf '%s' "${1%.*}-$version.${1##*.}"; }
is_changed() {
  local f
  for f in "${changed[@]}"; do [ "$f" = "$1" ] && return 0; done
  return 1
}

# Checks everything a finished installation of this version has.
check_installed() {
  local when="$1" f
  local want=("${shipped[@]}" uninstall.exe "${added[@]}")
  for f in "${changed[@]}"; do want+=("$(beside "$f")"); done
  expect_eq "$when: installed files" "$(files_in "$instdir_unix")" "$(sorted "${want[@]}")"
  for f in "${shipped[@]}"; do
    if is_changed "$f"; then
      same "$when: the user's $f" "$users/$f" "$instdir_unix/$f"
      same "$when: this version's $f beside it" "$unpacked/$f" "$instdir_unix/$(beside "$f")"
    else
      same "$when: $f" "$unpacked/$f" "$instdir_unix/$f"
    fi
  done
  for f in "${added[@]}"; do same "$when: the user's $f" "$users/$f" "$instdir_unix/$f"; done
  [ -f "$shortcut_unix" ] && ok || fail "$when: no Start-menu shortcut"

  expect_eq "$when: .par" "$(reg_value "$classes\\.par")" "$progid"
  reg_value "$classes\\.par\\OpenWithProgids" "$progid" >/dev/null && ok || fail "$when: .par does not list $progid"
  expect_eq "$when: open command" "$(reg_value "$classes\\$progid\\shell\\open\\command")" "\"$instdir\\Tallyon.exe\" \"%1\""
  expect_eq "$when: .par icon" "$(reg_value "$classes\\$progid\\DefaultIcon")" "$instdir\\Tallyon.exe,0"

  expect_eq "$when: DisplayName" "$(reg_value "$uninstall_key" DisplayName)" "Tallyon"
  expect_eq "$when: DisplayVersion" "$(reg_value "$uninstall_key" DisplayVersion)" "$version"
  expect_eq "$when: Publisher" "$(reg_value "$uninstall_key" Publisher)" "The Tallyon developers"
  expect_eq "$when: DisplayIcon" "$(reg_value "$uninstall_key" DisplayIcon)" "$instdir\\Tallyon.exe,0"
  expect_eq "$when: InstallLocation" "$(reg_value "$uninstall_key" InstallLocation)" "$instdir"
  expect_eq "$when: UninstallString" "$(reg_value "$uninstall_key" UninstallString)" "\"$instdir\\uninstall.exe\""
  expect_eq "$when: QuietUninstallString" "$(reg_value "$uninstall_key" QuietUninstallString)" "\"$instdir\\uninstall.exe\" /S"
  # EstimatedSize is the installed size in KB.
  local bytes
  bytes="$(find "$instdir_unix" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')"
  expect_eq "$when: EstimatedSize" "$(($(reg_value "$uninstall_key" EstimatedSize)))" "$((bytes / 1024))"

  expect_eq "$when: the data folder" "$(cat "$data_unix/mine.par" 2>/dev/null)" $'X=42 !mine\r'
}

expect_eq "upgrade: silent install" "$(run "$setup_file" /S; echo "exit ${PIPESTATUS[0]}")" "exit 0"
check_installed "upgrade from $old_version"
expect_eq "second install: silent install" "$(run "$setup_file" /S; echo "exit ${PIPESTATUS[0]}")" "exit 0"
check_installed "second install"

# ---- starting the installed program ---------------------------------------
# Waits for the main window, checks that the installed Tallyon.exe runs it
# with the expected command line (Wine puts the Windows command line into
# /proc/PID/cmdline), and quits with Esc as a user would.
expect_main_window() {
  local how="$1" want="$2" win pid
  win="$(timeout 30 xdotool search --sync --onlyvisible --name "^$title\$" 2>/dev/null | head -1)"
  if [ -z "$win" ]; then
    fail "$how: no main window"
    return
  fi
  ok
  pid="$(xdotool getwindowpid "$win")"
  expect_eq "$how: command line" "$(tr '\0' '\n' <"/proc/$pid/cmdline" | sed '/^$/d' | tr '\n' ' ')" "$want "
  xdotool windowfocus --sync "$win" 2>/dev/null || true
  xdotool key Escape
  local i
  for ((i = 0; i < 300; i++)); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "$how: Esc did not end Tallyon" || ok
}

"$wine" "$instdir\\Tallyon.exe" >>"$wine_env_log" 2>&1 </dev/null &
expect_main_window "installed Tallyon.exe" "$instdir\\Tallyon.exe"
wait $!

"$wine" start "$(run winepath -w "$shortcut_unix")" >>"$wine_env_log" 2>&1 </dev/null
expect_main_window "Start-menu shortcut" "$instdir\\Tallyon.exe"

# Opening a .par file: Windows looks the association up in HKEY_CLASSES_ROOT,
# which merges HKCU\Software\Classes (where a per-user installer must write)
# over HKLM\Software\Classes. Wine 8 does not merge: its HKEY_CLASSES_ROOT
# is HKLM\Software\Classes alone, as its documentation of the registry says
# and as "reg query HKCR\.par" after the install shows. So the test plays
# the merge: it copies the two keys the installer wrote, exactly as written,
# to where Wine looks, and then lets "start" follow them.
"$wine" reg add 'HKLM\Software\Classes\.par' /ve /d "$(reg_value "$classes\\.par")" /f >/dev/null 2>&1 </dev/null
"$wine" reg add "HKLM\\Software\\Classes\\$progid\\shell\\open\\command" /ve \
  /d "$(reg_value "$classes\\$progid\\shell\\open\\command")" /f >/dev/null 2>&1 </dev/null
cp "$unpacked/examples/units.par" "$data_unix/units.par"
"$wine" start "$appdata\\Tallyon\\units.par" >>"$wine_env_log" 2>&1 </dev/null
expect_main_window "opening a .par file" "$instdir\\Tallyon.exe $appdata\\Tallyon\\units.par"
# Tallyon keeps its table when it quits: every parameter of the opened file
# is in the table it kept, so the file was read at start.
missing=""
while IFS= read -r name; do
  grep -q "^\*\?$name=" "$data_unix/parameters.par" 2>/dev/null || missing="$missing $name"
done < <(tr -d '\r' <"$data_unix/units.par" | sed -n 's/^\*\{0,1\}\([A-Za-z_][A-Za-z0-9_]*\) *=.*/\1/p')
[ -z "$missing" ] && [ -s "$data_unix/parameters.par" ] && ok ||
  fail "opening a .par file: the kept table lacks:${missing:- everything}"
"$wine" reg delete 'HKLM\Software\Classes\.par' /f >/dev/null 2>&1 </dev/null
"$wine" reg delete "HKLM\\Software\\Classes\\$progid" /f >/dev/null 2>&1 </dev/null

# ---- the silent uninstall --------------------------------------------------
uninstall "$instdir" && ok || fail "uninstall: did not finish"
# Of the program folder, only the user's files are left, as they were.
expect_eq "uninstall: left in the program folder" "$(files_in "$instdir_unix")" "$(sorted "${changed[@]}" "${added[@]}")"
for f in "${changed[@]}" "${added[@]}"; do same "uninstall: the user's $f" "$users/$f" "$instdir_unix/$f"; done
[ -e "$shortcut_unix" ] && fail "uninstall: the shortcut is still there" || ok
for key in "$classes\\.par" "$classes\\$progid" "$uninstall_key"; do
  reg_exists "$key" && fail "uninstall: $key is still there" || ok
done
expect_eq "uninstall: the data folder" "$(cat "$data_unix/mine.par" 2>/dev/null)" $'X=42 !mine\r'
[ -f "$data_unix/units.par" ] && ok || fail "uninstall: a file of the data folder is gone"

finish

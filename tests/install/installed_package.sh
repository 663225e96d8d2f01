#!/usr/bin/env bash
# Installs the native build and uses the result as another program would:
#   installed_package.sh BUILD WORK LIBDIR SOURCE CC CXX GENERATOR
# BUILD is the configured and built native tree, WORK a folder of this test's
# own (emptied first), LIBDIR the install's library folder relative to the
# prefix, SOURCE the Tallyon source tree, CC and CXX the build's compilers,
# GENERATOR the CMake generator of the consumer project.
#
# Checked: the installed files and the library's name, its exports (only the
# calls tallyon.h declares, the same as tallyon.def gives the DLL), the example
# built by find_package(Tallyon) and by pkg-config tallyon and run against the
# installed library with the output of tests/install/expected.txt, and
# tallyon.h read by a C++ compiler with every warning an error.
set -uo pipefail
build="$1" work="$2" libdir="$3" source="$4" cc="$5" cxx="$6" generator="$7"

prefix="$work/prefix"
# The expected output names the version as @VERSION@: the build's own.
expected="$work-expected.txt"
mkdir -p "$(dirname "$work")"
sed "s/@VERSION@/$(cat "$build/tallyon-version.txt")/" "$source/tests/install/expected.txt" >"$expected"
example="$source/lib/examples/example.c"
lib="$prefix/$libdir"
warnings=(-Wall -Wextra -pedantic -Werror)

failures=0
fail() { failures=$((failures + 1)); echo "FAIL: $*"; }
# run_logged WHAT LOG COMMAND...: runs COMMAND with its output in LOG, which
# is shown when it fails.
run_logged() {
  local what="$1" log="$2" status
  shift 2
  "$@" >"$log" 2>&1
  status=$?
  [ "$status" -eq 0 ] && return 0
  fail "$what (exit $status):"
  sed 's/^/    /' "$log"
  return 1
}
# compare_output WHAT PROGRAM [ENV...]: runs PROGRAM, which must exit 0 and
# print expected.txt.
compare_output() {
  local what="$1" program="$2" out status
  shift 2
  out="$(env "$@" "$program" 2>&1)"
  status=$?
  [ "$status" -eq 0 ] || fail "$what: exit code $status"
  if [ "$out" != "$(cat "$expected")" ]; then
    fail "$what: output differs from expected.txt:"
    diff <(printf '%s\n' "$out") "$expected" | sed 's/^/    /'
  fi
}
# resolves_into WHAT PROGRAM DIR [ENV...]: the loader takes libtallyon from DIR.
resolves_into() {
  local what="$1" program="$2" dir="$3" found
  shift 3
  found="$(env "$@" ldd "$program" | sed -n 's/^\s*libtallyon\.so[.0-9]* => \(\S*\) .*/\1/p')"
  [ "$(dirname "$found" 2>/dev/null)" = "$dir" ] ||
    fail "$what: loads libtallyon from [${found:-nowhere}], not from $dir"
}

rm -rf "$work"
mkdir -p "$work"

# ---- cmake --install ---------------------------------------------------------
if ! run_logged "cmake --install" "$work/install.log" cmake --install "$build" --prefix "$prefix"; then
  echo "installed package: nothing to test without an install"
  exit 1
fi
soname="$(sed -n 's/^Version: \([0-9]*\)\..*/libtallyon.so.\1/p' "$lib/pkgconfig/tallyon.pc" 2>/dev/null)"
for f in include/tallyon.h "$libdir/libtallyon.so" "$libdir/cmake/Tallyon/TallyonConfig.cmake" \
  "$libdir/cmake/Tallyon/TallyonConfigVersion.cmake" "$libdir/cmake/Tallyon/TallyonTargets.cmake" \
  "$libdir/pkgconfig/tallyon.pc"; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
cmp -s "$source/lib/tallyon.h" "$prefix/include/tallyon.h" || fail "the installed tallyon.h is not lib/tallyon.h"
# Programs record the library's soname, which is the major version's file.
got_soname="$(readelf -d "$lib/libtallyon.so" 2>/dev/null | sed -n 's/.*(SONAME).*\[\(.*\)\]/\1/p')"
[ -n "$soname" ] && [ "$got_soname" = "$soname" ] || fail "soname: got [$got_soname], want [$soname]"
[ -e "$lib/$soname" ] || fail "not installed: $libdir/$soname"
# The build tree's run path must not travel with the installed library.
if readelf -d "$lib/libtallyon.so" | grep -E '\((RPATH|RUNPATH)\)' | grep -qF "$build"; then
  fail "the installed library still looks for libraries in the build tree"
fi

# ---- exports -----------------------------------------------------------------
# What the header declares, the .so exports and the .def gives the DLL: the
# same names, and nothing of the engine inside.
declared="$(sed -n 's/^TLY_API[^(]*[ *]\(tly_[a-z_]*\)(.*/\1/p' "$source/lib/tallyon.h" | LC_ALL=C sort)"
exported="$(nm -D --defined-only "$lib/libtallyon.so" | awk '{ print $NF }' | LC_ALL=C sort)"
in_def="$(sed -n '/^EXPORTS/,$ s/^\s\+\(\S\+\).*/\1/p' "$source/lib/tallyon.def" | LC_ALL=C sort)"
# The DLL gives the Windows calls of tallyon_win.h as well.
declared_win="$(sed -n 's/^TLY_API[^(]*[ *]\(tly_[a-z_]*\)(.*/\1/p' "$source/lib/tallyon.h" "$source/lib/tallyon_win.h" |
  LC_ALL=C sort)"
[ "$(wc -l <<<"$declared")" -ge 20 ] || fail "found only $(wc -l <<<"$declared") declarations in tallyon.h"
foreign="$(grep -v '^tly_' <<<"$exported")"
[ -z "$foreign" ] || fail "libtallyon.so exports more than tly_*: $(tr '\n' ' ' <<<"$foreign")"
[ "$exported" = "$declared" ] ||
  fail "libtallyon.so exports are not tallyon.h's calls: $(diff <(echo "$declared") <(echo "$exported") | grep '^[<>]' | tr '\n' ' ')"
[ "$in_def" = "$declared_win" ] ||
  fail "tallyon.def is not the calls of tallyon.h and tallyon_win.h: $(diff <(echo "$declared_win") <(echo "$in_def") | grep '^[<>]' | tr '\n' ' ')"

# ---- find_package(Tallyon) ---------------------------------------------------
consumer="$work/consumer"
if run_logged "the consumer project: configure" "$work/consumer-configure.log" \
  cmake -S "$source/tests/install/consumer" -B "$consumer" -G "$generator" -DCMAKE_C_COMPILER="$cc" \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_FIND_USE_PACKAGE_REGISTRY=OFF -DTALLYON_EXAMPLE="$example" &&
  run_logged "the consumer project: build" "$work/consumer-build.log" cmake --build "$consumer"; then
  tallyon_dir="$(sed -n 's/^Tallyon_DIR:PATH=//p' "$consumer/CMakeCache.txt")"
  [ "$tallyon_dir" = "$lib/cmake/Tallyon" ] || fail "find_package took Tallyon from [$tallyon_dir]"
  resolves_into "find_package build" "$consumer/consumer" "$lib"
  compare_output "find_package build" "$consumer/consumer"
fi

# ---- pkg-config tallyon ------------------------------------------------------
export PKG_CONFIG_PATH="$lib/pkgconfig"
flags="$(pkg-config --cflags --libs tallyon)" || fail "pkg-config does not find tallyon in $PKG_CONFIG_PATH"
[ "$(pkg-config --modversion tallyon)" = "$(sed -n '1s/^Tallyon //p' "$expected")" ] ||
  fail "pkg-config --modversion: $(pkg-config --modversion tallyon), expected.txt: $(head -1 "$expected")"
# shellcheck disable=SC2086 # the flags are words
if run_logged "the pkg-config build" "$work/pkg-config-build.log" \
  "$cc" -std=c99 "${warnings[@]}" "$example" $flags -o "$work/example-pkg-config"; then
  resolves_into "pkg-config build" "$work/example-pkg-config" "$lib" LD_LIBRARY_PATH="$lib"
  compare_output "pkg-config build" "$work/example-pkg-config" LD_LIBRARY_PATH="$lib"
fi

# ---- tallyon.h in C++ --------------------------------------------------------
printf '#include <tallyon.h>\n' >"$work/header.cpp"
run_logged "tallyon.h as C++17" "$work/header-cpp.log" \
  "$cxx" -std=c++17 -fsyntax-only "${warnings[@]}" -I"$prefix/include" "$work/header.cpp"

if [ "$failures" -eq 0 ]; then
  echo "installed package: every check passed"
  exit 0
fi
echo "installed package: $failures checks failed"
exit 1

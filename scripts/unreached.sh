#!/bin/bash
# Lists the project's functions that none of its programs reaches.
#
#   scripts/unreached.sh [--quiet]
#
# Builds the programs unoptimised and without inlining into build-unreached/ (or
# $BUILD_DIR), each function in a section of its own, links every program once more with
# ALL of the libraries' objects (not only those the program pulls in) and lets the linker
# drop every section that nothing reachable from main refers to. A function of namespace
# pelorin that no program keeps is printed, demangled, one a line; the count goes to
# standard error; a library that a program does not link counts as dropped there whole.
# At -O0 with -fno-inline every function keeps its own body, so a call that an optimiser
# would fold away still counts as a use, and one never made does not.
# Exit status 0 when nothing but the allowed names is left, 1 otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$PWD
BUILD_DIR=${BUILD_DIR:-build-unreached}
JOBS=${JOBS:-$(nproc)}
QUIET=0
[ "${1:-}" = --quiet ] && QUIET=1
# BitBtn_CancelClick: no control is bound to it; it stays as the handler the window's
# layout names. SetLogReadFunction: the seam through which the tests imitate a failing
# card; no program replaces the system's read.
ALLOWED='BitBtn_CancelClick|SetLogReadFunction'

FLAGS="-O0 -fno-inline -ffunction-sections -fdata-sections"
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=None -DCMAKE_CXX_FLAGS="$FLAGS" -DPELORIN_TESTS=OFF \
  -DPELORIN_BENCH=OFF ${CMAKE_COMPILER_LAUNCHER:+-DCMAKE_CXX_COMPILER_LAUNCHER=$CMAKE_COMPILER_LAUNCHER} >/dev/null
PROGRAMS=(pelorin-cli)
HAVE_GUI=0
TARGETS=$(cmake --build "$BUILD_DIR" --target help 2>/dev/null | sed 's/^\.\.\. //; s/ .*//')
if grep -qx 'pelorin' <<<"$TARGETS"; then
  HAVE_GUI=1
  PROGRAMS+=(pelorin pelorin-helppages pelorin-screenshots pelorin-icons)
fi
cmake --build "$BUILD_DIR" -j"$JOBS" --target "${PROGRAMS[@]}" >/dev/null

LIBS=("$BUILD_DIR"/libpelorin_logic.a "$BUILD_DIR"/libpelorin_cli.a)
# The Track Replay window's model, which only the windows link.
[ "$HAVE_GUI" = 1 ] && [ -f "$BUILD_DIR"/libpelorin_replay.a ] && LIBS+=("$BUILD_DIR"/libpelorin_replay.a)
[ "$HAVE_GUI" = 1 ] && LIBS+=("$BUILD_DIR"/libpelorin_shell.a)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# The sections of the project's own functions in every library object.
for lib in "${LIBS[@]}"; do
  objdump -h "$lib" | awk '$2 ~ /^\.text\./ { sub(/^\.text\./, "", $2); print $2 }' |
    sort -u >"$WORK/sections.$(basename "$lib")"
done
sort -u "$WORK"/sections.* >"$WORK/all"

first=1
for program in "${PROGRAMS[@]}"; do
  link=$(find "$BUILD_DIR" -path "*/$program.dir/link.txt" | head -1)
  [ -n "$link" ] || { echo "unreached.sh: no link command for $program" >&2; exit 2; }
  # The program's own link, with every library object kept in and the unused sections
  # reported: a library member that no symbol pulls in would otherwise not be looked at.
  cmd=$(cat "$link")
  : >"$WORK/linked"
  : >"$WORK/unlinked"
  for lib in "${LIBS[@]}"; do
    name=$(basename "$lib")
    if [[ "$cmd " == *" $name "* || "$cmd " == *" ../$name "* ]]; then
      cat "$WORK/sections.$name" >>"$WORK/linked"
    else
      cat "$WORK/sections.$name" >>"$WORK/unlinked"
    fi
    cmd=${cmd//" $name "/" -Wl,--whole-archive $name -Wl,--no-whole-archive "}
    cmd=${cmd//" ../$name "/" -Wl,--whole-archive ../$name -Wl,--no-whole-archive "}
  done
  cmd="$cmd -Wl,--gc-sections -Wl,--print-gc-sections -o $WORK/$program"
  dir=$(dirname "$(dirname "$(dirname "$link")")")
  # What the program cannot reach because it does not link it, less what it has from a
  # library it does link (an inline function compiled into both), which the linker judges.
  sort -u "$WORK/linked" -o "$WORK/linked"
  sort -u "$WORK/unlinked" | comm -23 - "$WORK/linked" >"$WORK/absent"
  (cd "$dir" && eval "$cmd") >"$WORK/link.log" 2>&1 || { cat "$WORK/link.log" >&2; exit 2; }
  { sed -n "s/.*removing unused section '\.text\.\([^']*\)' in file '\(.*libpelorin_[a-z]*\.a\).*/\1/p" "$WORK/link.log"
    cat "$WORK/absent"; } | sort -u >"$WORK/dropped.$program"
  if [ "$first" = 1 ]; then
    cp "$WORK/dropped.$program" "$WORK/dropped"
    first=0
  else
    comm -12 "$WORK/dropped" "$WORK/dropped.$program" >"$WORK/both"
    mv "$WORK/both" "$WORK/dropped"
  fi
done

# Dropped everywhere, of namespace pelorin, less what the compiler made itself (a
# lambda's body goes with the function that holds it).
comm -12 "$WORK/dropped" "$WORK/all" | c++filt |
  grep -E '^(\S+ )?pelorin::' | grep -v -E '\{lambda|::_FUN|\(anonymous namespace\)::.*::operator\(\)' |
  grep -v -E "(^|::)($ALLOWED)\(" | sort -u >"$WORK/list" || true
count=$(wc -l <"$WORK/list")
[ "$QUIET" = 1 ] || cat "$WORK/list"
echo "unreached.sh: $count of the project's functions are reached by no program (besides ${ALLOWED//|/, })" >&2
[ "$count" = 0 ]

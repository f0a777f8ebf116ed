#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The engine on other processors: for each Debian architecture named (by
# default i386, armhf and s390x: 32-bit x86 with its x87 unit, 32-bit ARM
# and a big-endian one), builds the engine, its tests and orvane-eval with
# Debian's cross compiler and Debian's compiler flags for that
# architecture, linked statically, then runs them under qemu-user: the
# engine's tests (but for the three that compare the longest texts, which
# take minutes under emulation and test nothing that depends on the
# processor), and orvane-eval on a fixed file of expressions, whose answers
# must be byte for byte those of the amd64 build.
#   scripts/cross-check.sh [ARCH...]     (folders under build-cross/)
set -euo pipefail
cd "$(dirname "$0")/.."
[ $# -gt 0 ] || set -- i386 armhf s390x
out=${CROSS_BUILD:-build-cross}
jobs=${JOBS:-$(nproc)}
slow_tests='Reference.LongestTextsAgree:Reference.NestedCopiesAgree:Reference.PassesLeftCheckTheLength'
mkdir -p "$out"

# The machine's own architecture needs neither a cross compiler nor qemu.
configure() {  # ARCH FOLDER
  local arch=$1 folder=$2 triplet cpu
  local flags=(-DCMAKE_BUILD_TYPE=None -DORVANE_BUILD_UI=OFF -DORVANE_BUILD_BENCH=OFF -DBUILD_TESTING=ON
    -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
    # GCC notes on 32-bit ARM that an argument is passed as GCC 7.1 began to
    # pass it; the engine is linked into one program, so that changes nothing.
    "-DCMAKE_CXX_FLAGS=$(dpkg-architecture -a "$arch" -c dpkg-buildflags --get CXXFLAGS 2>/dev/null) -Wno-psabi")
  if [ "$arch" != "$(dpkg --print-architecture)" ]; then
    triplet=$(dpkg-architecture -a "$arch" -q DEB_HOST_GNU_TYPE 2>/dev/null)
    cpu=$(dpkg-architecture -a "$arch" -q DEB_HOST_GNU_CPU 2>/dev/null)
    flags+=(-DCMAKE_SYSTEM_NAME=Linux "-DCMAKE_SYSTEM_PROCESSOR=$cpu" "-DCMAKE_CXX_COMPILER=$triplet-g++"
      "-DCMAKE_CROSSCOMPILING_EMULATOR=$(emulator "$arch")" -DCMAKE_EXE_LINKER_FLAGS=-static
      -DORVANE_GTEST_SOURCES=/usr/src/googletest)
  fi
  cmake -S . -B "$folder" -Wno-dev --log-level=WARNING "${flags[@]}" >/dev/null
}

emulator() {  # ARCH: qemu's name for the processor
  local cpu
  cpu=$(dpkg-architecture -a "$1" -q DEB_HOST_GNU_CPU 2>/dev/null)
  case $cpu in
    i686) cpu=i386 ;;
    arm*) cpu=arm ;;
    powerpc64le) cpu=ppc64le ;;
  esac
  echo "/usr/bin/qemu-$cpu-static"
}

# Static linking warns that getaddrinfo (in GoogleTest) wants the shared C
# library at run time; the engine's tests never call it.
build() {  # FOLDER TARGET...
  local folder=$1
  shift
  cmake --build "$folder" -j "$jobs" --target "$@" 2>&1 | grep -v -e 'getaddrinfo' -e 'StreamingListener' -e '^\[' -e '^Consolidate' || true
  for target; do [ -n "$(find "$folder" -name "$target" -type f -executable)" ] || { echo "FAIL: $target did not build in $folder" >&2; exit 1; }; done
}

python3 tests/cross/make_expressions.py 30000 >"$out/expressions.txt"
host=$(dpkg --print-architecture)
configure "$host" "$out/$host"
build "$out/$host" orvane-eval
"$out/$host/tools/orvane-eval" <"$out/expressions.txt" >"$out/$host/answers.txt"

failed=()
for arch in "$@"; do
  echo "== $arch: engine, tests and orvane-eval built with $(dpkg-architecture -a "$arch" -q DEB_HOST_GNU_TYPE 2>/dev/null)-g++"
  folder=$out/$arch
  configure "$arch" "$folder"
  build "$folder" engine_tests orvane-eval
  run=$(emulator "$arch")
  if ! "$run" "$folder/tests/engine/engine_tests" --gtest_brief=1 --gtest_filter="-$slow_tests" >"$folder/tests.log" 2>&1; then
    cat "$folder/tests.log"
    failed+=("$arch (engine tests)")
  else
    tail -n 2 "$folder/tests.log"
  fi
  "$run" "$folder/tools/orvane-eval" <"$out/expressions.txt" >"$folder/answers.txt"
  if cmp -s "$out/$host/answers.txt" "$folder/answers.txt"; then
    echo "$arch: $(wc -l <"$folder/answers.txt") answers, byte for byte those of $host"
  else
    echo "$arch: answers differ from $host's ($(diff "$out/$host/answers.txt" "$folder/answers.txt" | grep -c '^>') lines); the first:"
    diff "$out/$host/answers.txt" "$folder/answers.txt" | head -n 8
    failed+=("$arch (answers)")
  fi
done
[ ${#failed[@]} -eq 0 ] || { echo "cross-check FAILED: ${failed[*]}" >&2; exit 1; }
echo "cross-check: $* agree with $host"

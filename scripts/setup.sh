#!/usr/bin/env bash
# Installs whatever is missing (Debian packages, as root) and builds everything:
#   build/       the Linux module, the stand-in host, its tool, the tests and the benchmarks
#   build-asan/  the same under AddressSanitizer and UBSan
#   build-win/   the 32-bit Windows module and scenario runner, cross-compiled with mingw-w64
#   build-fuzz/  the libFuzzer target of host event sequences, built with clang
# Quiet when everything is already there; a failing step prints its log.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make g++ pkg-config binutils
          libgl-dev libegl-dev libgl1-mesa-dri libegl-mesa0
          libstb-dev libopenexr-dev libgtest-dev libbenchmark-dev
          g++-mingw-w64-i686 binutils-mingw-w64-i686 wine wine32:i386
          valgrind clang-14 libclang-rt-14-dev python3)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/tmp/tallomira-apt.log 2>&1 ||
        { tail -n 30 /tmp/tallomira-apt.log; exit 1; }
fi

jobs=$(nproc)
build() {
    local dir=$1 target=$2; shift 2
    mkdir -p "$dir"
    if ! { cmake -S . -B "$dir" "$@" && cmake --build "$dir" -j "$jobs" --target "$target"; } >"$dir/setup.log" 2>&1; then
        tail -n 40 "$dir/setup.log"
        echo "setup: building $dir failed (whole log: $dir/setup.log)" >&2
        exit 1
    fi
}
build build-win all -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=Release
build build all -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOMIRA_WINDOWS_BUILD="$PWD/build-win"
build build-asan all -DCMAKE_BUILD_TYPE=Debug -DTALLOMIRA_SANITIZE=ON
build build-fuzz fuzz_host_events -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLOMIRA_FUZZ=ON \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14

#!/usr/bin/env bash
# Installs the build tree into a temporary prefix, then builds and runs the
# consumer program against it twice: with find_package(Telvora) and with
# pkg-config.
set -euo pipefail
build=$1 source=$2 cmake=$3 cxx=$4
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

"$cmake" --install "$build" --prefix "$prefix" >/dev/null

"$cmake" -S "$source" -B "$prefix/consumer-build" -G Ninja \
  -DCMAKE_PREFIX_PATH="$prefix" -DCMAKE_CXX_COMPILER="$cxx" >/dev/null
"$cmake" --build "$prefix/consumer-build" >/dev/null
"$prefix/consumer-build/consumer"

libdir=$(dirname "$(find "$prefix" -name telvora.pc | head -1)")/..
export PKG_CONFIG_PATH="$libdir/pkgconfig"
# shellcheck disable=SC2046
"$cxx" -std=c++20 "$source/main.cpp" -o "$prefix/consumer-pc" $(pkg-config --cflags --libs telvora)
LD_LIBRARY_PATH="$libdir" "$prefix/consumer-pc"
echo "consumer built and ran with find_package and with pkg-config"

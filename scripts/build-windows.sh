#!/usr/bin/env bash
# Cross-builds Tastalo for 64-bit Windows on this Debian machine:
#   build-windows/tastalo.exe             one self-contained executable
#   build-windows/Tastalo-<version>-win64.zip   the program folder, to unpack anywhere:
#                                         both executables, LICENSE, THIRD-PARTY.md, LEGGIMI.txt
#
#   scripts/build-windows.sh [--tests] [BUILD_DIR]
#
# --tests also builds the test suites for Windows (run them under Wine with
# tests/wine/run_suites.sh). Installs what is missing, provides the static
# Windows Qt (scripts/build-qt-windows.sh) and Debian's SQLiteCpp source.
set -euo pipefail
source "$(dirname "$0")/windows-common.sh"

tests=OFF
if [ "${1:-}" = "--tests" ]; then
  tests=ON
  shift
fi
build_dir=${1:-$tastalo_top/build-windows}

bash "$tastalo_top/scripts/install-deps.sh"
bash "$tastalo_top/scripts/build-qt-windows.sh"
sqlitecpp=$(debian_source sqlitecpp SQLiteCpp-3.2.1)

# A cache made from another source folder (a moved checkout) cannot be reused.
if [ -f "$build_dir/CMakeCache.txt" ] &&
   ! grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$tastalo_top" "$build_dir/CMakeCache.txt"; then
  rm -rf "$build_dir"
fi
mkdir -p "$build_dir"
echo "configuring $build_dir"
cmake -S "$tastalo_top" -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$qt_windows_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$tastalo_top/cmake/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release \
  -DTASTALO_WARNINGS_AS_ERRORS=ON \
  -DTASTALO_SQLITECPP_SOURCE_DIR="$sqlitecpp" \
  -DTASTALO_BUILD_BENCHMARKS=OFF \
  -DTASTALO_BUILD_TESTS=$tests \
  -DTASTALO_GTEST_SOURCE_DIR=/usr/src/googletest \
  -DCMAKE_CROSSCOMPILING_EMULATOR=wine >"$build_dir/configure.log" 2>&1 ||
  { cat "$build_dir/configure.log" >&2; exit 1; }
echo "building"
cmake --build "$build_dir" --parallel "$(nproc)"

# One self-contained executable: it may import only DLLs that every Windows
# 10 or 11 has, never a run time or library that would have to travel with it.
system_dlls=(advapi32 authz comctl32 comdlg32 crypt32 d3d9 d3d11 d3d12 dwmapi dwrite dxgi gdi32
  imm32 kernel32 msvcrt netapi32 ole32 oleaut32 setupapi shcore shell32 shlwapi user32 userenv
  uxtheme version winmm ws2_32 wtsapi32)
for exe in tastalo.exe tools/tastalo-makedb.exe; do
  imported=$(x86_64-w64-mingw32-objdump -p "$build_dir/$exe" | sed -n 's/^\tDLL Name: //p')
  for dll in $imported; do
    name=$(echo "${dll%.*}" | tr '[:upper:]' '[:lower:]')
    case "$name" in api-ms-win-*) continue ;; esac
    if [[ " ${system_dlls[*]} " != *" $name "* ]]; then
      echo "$exe imports $dll, which Windows does not provide" >&2
      exit 1
    fi
  done
done

(cd "$build_dir" && cpack -G ZIP >/dev/null)
# The program folder holds the program, the database maker, the licence,
# the third-party notices and the operator's guide, nothing else.
zip=$(cd "$build_dir" && ls Tastalo-*-win64.zip)
contents=$(unzip -Z1 "$build_dir/$zip" | sed 's|^[^/]*/||' | grep -v '/$' | LC_ALL=C sort | tr '\n' ' ')
expected="LEGGIMI.txt LICENSE THIRD-PARTY.md tastalo-makedb.exe tastalo.exe "
if [ "$contents" != "$expected" ]; then
  echo "$zip holds: $contents; expected $expected" >&2
  exit 1
fi

echo "built $build_dir/tastalo.exe"
echo "packed $build_dir/$(cd "$build_dir" && ls Tastalo-*-win64.zip)"

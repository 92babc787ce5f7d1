#!/usr/bin/env bash
# Cross-builds Tastalo for Windows on this Debian machine, 32-bit unless told
# otherwise:
#   build-windows/tastalo.exe             one self-contained executable
#   build-windows/Tastalo-<version>-win32.zip   the program folder, to unpack anywhere:
#                                         both executables, LICENSE, THIRD-PARTY.md, LEGGIMI.txt
#
#   scripts/build-windows.sh [--arch win32|win64] [--tests] [BUILD_DIR]
#
# --arch win64 builds the 64-bit program instead (into build-windows-win64
# unless BUILD_DIR is given). --tests also builds the test suites for Windows
# (run them under Wine with tests/wine/run_suites.sh). Installs what is
# missing, provides the static Windows Qt (scripts/build-qt-windows.sh) and
# Debian's SQLiteCpp source.
set -euo pipefail
source "$(dirname "$0")/windows-common.sh"

tests=OFF
while [ $# -gt 0 ]; do
  case $1 in
    --tests) tests=ON; shift ;;
    --arch) windows_arch "${2:-}"; shift 2 ;;
    *) break ;;
  esac
done
default_build_dir=$tastalo_top/build-windows
[ "$windows_arch" = win32 ] || default_build_dir+=-$windows_arch
build_dir=${1:-$default_build_dir}

bash "$tastalo_top/scripts/install-deps.sh"
bash "$tastalo_top/scripts/build-qt-windows.sh" --arch "$windows_arch"
sqlitecpp=$(debian_source sqlitecpp SQLiteCpp-3.2.1)

windows_clear_stale_build "$build_dir" "$tastalo_top" QT_CHAINLOAD_TOOLCHAIN_FILE
mkdir -p "$build_dir"
echo "configuring $build_dir"
cmake -S "$tastalo_top" -B "$build_dir" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$qt_windows_prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DQT_CHAINLOAD_TOOLCHAIN_FILE="$windows_toolchain" \
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

# One self-contained executable of the chosen architecture: it may import
# only DLLs that every Windows 10 or 11 has, never a run time or library that
# would have to travel with it.
system_dlls=(advapi32 authz comctl32 comdlg32 crypt32 d3d9 d3d11 d3d12 dwmapi dwrite dxgi gdi32
  imm32 kernel32 msvcrt netapi32 ole32 oleaut32 setupapi shcore shell32 shlwapi user32 userenv
  uxtheme version winmm ws2_32 wtsapi32)
for exe in tastalo.exe tools/tastalo-makedb.exe; do
  format=$("$windows_triplet-objdump" -f "$build_dir/$exe" | sed -n 's/.*file format //p')
  if [ "$format" != "$windows_pe_format" ]; then
    echo "$exe is of format '$format', not $windows_pe_format ($windows_arch)" >&2
    exit 1
  fi
  imported=$("$windows_triplet-objdump" -p "$build_dir/$exe" | sed -n 's/^\tDLL Name: //p')
  for dll in $imported; do
    name=$(echo "${dll%.*}" | tr '[:upper:]' '[:lower:]')
    case "$name" in api-ms-win-*) continue ;; esac
    if [[ " ${system_dlls[*]} " != *" $name "* ]]; then
      echo "$exe imports $dll, which Windows does not provide" >&2
      exit 1
    fi
  done
  echo "$exe: $format, imports" $imported
done

(cd "$build_dir" && cpack -G ZIP >/dev/null)
# The program folder holds the program, the database maker, the licence,
# the third-party notices and the operator's guide, nothing else.
zip=$(cd "$build_dir" && ls "Tastalo-"*"-$windows_arch.zip")
contents=$(unzip -Z1 "$build_dir/$zip" | sed 's|^[^/]*/||' | grep -v '/$' | LC_ALL=C sort | tr '\n' ' ')
expected="LEGGIMI.txt LICENSE THIRD-PARTY.md tastalo-makedb.exe tastalo.exe "
if [ "$contents" != "$expected" ]; then
  echo "$zip holds: $contents; expected $expected" >&2
  exit 1
fi
# The program as the operator gets it stays within 30 MB: stripped, with
# the Qt modules it uses only (24 MB 32-bit, 22 MB 64-bit; unstripped, 36 MB).
size_limit=$((30 * 1000 * 1000))
size=$(unzip -Zl "$build_dir/$zip" | awk '$NF ~ /\/tastalo\.exe$/ { print $4 }')
if [ "${size:-0}" -eq 0 ] || [ "$size" -gt "$size_limit" ]; then
  echo "tastalo.exe in $zip is ${size:-0} bytes; the limit is $size_limit" >&2
  exit 1
fi

echo "built $build_dir/tastalo.exe"
echo "packed $build_dir/$zip (tastalo.exe $size bytes)"

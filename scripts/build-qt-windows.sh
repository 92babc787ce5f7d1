#!/usr/bin/env bash
# Provides Qt 6.4.2 (qtbase: Core, Gui, Widgets, Test; static; release) for
# Windows in a prefix for scripts/build-windows.sh:
#
#   scripts/build-qt-windows.sh [--arch win32|win64]
#
# $TASTALO_QT_WINDOWS, by default ~/.cache/tastalo/qt-6.4.2-mingw-w64-i686-static
# for 32-bit Windows (the default) and ~/.cache/tastalo/qt-6.4.2-mingw-w64-static
# for 64-bit. A complete prefix is left alone. Otherwise the prefix shipped
# in ../shared/windows is unpacked after its checksum is checked; without
# it, Qt is cross-built with MinGW-w64 from Debian's source package, which
# takes 40 to 70 minutes on two cores.
set -euo pipefail
source "$(dirname "$0")/windows-common.sh"
if [ "${1:-}" = --arch ]; then
  windows_arch "${2:-}"
fi
prefix=$qt_windows_prefix

if qt_windows_complete "$prefix"; then
  echo "Qt for Windows: $prefix"
  exit 0
fi
if [ -e "$prefix" ]; then
  echo "Qt for Windows: $prefix exists but is incomplete or not for $windows_arch;" \
    "remove it or set TASTALO_QT_WINDOWS" >&2
  exit 1
fi
mkdir -p "$(dirname "$prefix")"
# Unpacked or installed beside the prefix, then moved in place: an
# interrupted run leaves no half prefix behind.
staging=$(mktemp -d "$(dirname "$prefix")/.qt-windows.XXXXXX")
trap 'rm -rf "$staging"' EXIT

if [ -f "$qt_windows_tarball" ]; then
  echo "Qt for Windows: checking and unpacking $qt_windows_tarball"
  (cd "$(dirname "$qt_windows_tarball")" && sha256sum --quiet -c "$(basename "$qt_windows_tarball").sha256")
  tar xf "$qt_windows_tarball" -C "$staging"
  mv "$staging/$(basename "$qt_windows_tarball" .tar.xz)" "$prefix"
else
  echo "Qt for Windows: building qtbase 6.4.2 from Debian's source (40 to 70 minutes)"
  source_dir=$(debian_source qt6-base qtbase-everywhere-src-6.4.2)
  # The toolchain file with the part it includes, kept in the prefix.
  mkdir -p "$staging/prefix"
  cp "$windows_toolchain" "$tastalo_top/cmake/mingw-w64.cmake" "$staging/prefix/"
  cmake -S "$source_dir" -B "$staging/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$staging/prefix/${windows_toolchain##*/}" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_INSTALL_PREFIX="$staging/prefix" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=OFF \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_opengl=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_testlib=ON \
    -DFEATURE_vulkan=OFF -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_jpeg=OFF -DFEATURE_system_doubleconversion=OFF
  cmake --build "$staging/build" --parallel "$(nproc)"
  cmake --install "$staging/build"
  mv "$staging/prefix" "$prefix"
fi
qt_windows_complete "$prefix" || { echo "Qt for Windows: $prefix is incomplete" >&2; exit 1; }
echo "Qt for Windows: $prefix"

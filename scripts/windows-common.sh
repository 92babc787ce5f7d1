# Sourced by the Windows build scripts: the Windows architecture and what
# follows from it (the MinGW-w64 tools, the toolchain file, the Windows Qt
# prefix), and Debian source packages fetched without touching the system's
# apt sources (a private list and state folder for that one download).

tastalo_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tastalo_cache=${XDG_CACHE_HOME:-$HOME/.cache}/tastalo

# windows_arch ARCH: win32 (i686) or win64 (x86_64). Sets windows_arch,
# windows_triplet (the cross tools' prefix), windows_toolchain,
# windows_pe_format (objdump's name for the executables' format),
# qt_windows_prefix ($TASTALO_QT_WINDOWS if set) and qt_windows_tarball (a
# prefix made by scripts/build-qt-windows.sh, shipped beside the checkout).
windows_arch() {
  local cpu qt_name
  case $1 in
    win32) cpu=i686 windows_pe_format=pei-i386 qt_name=qt-6.4.2-mingw-w64-i686-static ;;
    win64) cpu=x86_64 windows_pe_format=pei-x86-64 qt_name=qt-6.4.2-mingw-w64-static ;;
    *) echo "unknown Windows architecture '$1': win32 or win64" >&2; exit 2 ;;
  esac
  windows_arch=$1
  windows_triplet=$cpu-w64-mingw32
  windows_toolchain=$tastalo_top/cmake/mingw-w64-$cpu.cmake
  qt_windows_prefix=${TASTALO_QT_WINDOWS:-$tastalo_cache/$qt_name}
  qt_windows_tarball=$tastalo_top/../shared/windows/$qt_name.tar.xz
}
# 32-bit unless told otherwise: the SQL Server Compact engine on the
# operators' machines is 32-bit, and a process loads providers of its own
# width only.
windows_arch "${TASTALO_WINDOWS_ARCH:-win32}"

# True when this machine runs 32-bit x86 code, which Wine needs for a 32-bit
# Windows program (wine32): a minimal i386 Linux program that only exits 0
# is started. Some virtual machines refuse such programs ("Exec format
# error") though their kernel was built with 32-bit support.
x86_32_runs() {
  local probe ok=false
  mkdir -p "$tastalo_cache"
  probe=$(mktemp "$tastalo_cache/x86-32-probe.XXXXXX")
  # The ELF header (52 bytes), one loadable segment (32 bytes), and the code:
  # xor ebx,ebx; mov eax,1 (exit); int 0x80.
  local elf='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00'
  elf+='\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  elf+='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5d\x00\x00\x00\x5d\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  elf+='\x31\xdb\xb8\x01\x00\x00\x00\xcd\x80'
  printf "$elf" >"$probe"
  chmod +x "$probe"
  "$probe" 2>/dev/null && ok=true
  rm -f "$probe"
  $ok
}

# wine_windows_arch: the architecture the Wine scripts build and run.
# TASTALO_WINDOWS_ARCH when set; else 32-bit, as the program ships, where
# this machine runs 32-bit code, and 64-bit, saying so, where it does not.
wine_windows_arch() {
  if [ -n "${TASTALO_WINDOWS_ARCH:-}" ]; then
    windows_arch "$TASTALO_WINDOWS_ARCH"
  elif x86_32_runs; then
    windows_arch win32
  else
    echo "This machine does not run 32-bit x86 programs, nor so Wine 32-bit Windows ones:" \
      "the Windows programs are built and run 64-bit here."
    windows_arch win64
  fi
}

# windows_clear_stale_build BUILD_DIR SOURCE_DIR VARIABLE: removes a build
# folder whose CMake cache cannot be reused: made from another source folder
# (a moved checkout), or whose toolchain VARIABLE names another toolchain
# file than windows_toolchain (the other architecture).
windows_clear_stale_build() {
  local cache=$1/CMakeCache.txt
  [ -f "$cache" ] || return 0
  if [ "$(sed -n 's/^CMAKE_HOME_DIRECTORY:[A-Z]*=//p' "$cache")" != "$2" ] ||
     [ "$(sed -n "s/^$3:[A-Z]*=//p" "$cache")" != "$windows_toolchain" ]; then
    rm -rf "$1"
  fi
}

# True when the prefix holds what a program build needs, for this
# architecture (its toolchain file is copied into every prefix).
qt_windows_complete() {
  local p=$1
  [ -f "$p/${windows_toolchain##*/}" ] &&
    [ -f "$p/lib/cmake/Qt6/qt.toolchain.cmake" ] &&
    [ -f "$p/lib/libQt6Widgets.a" ] &&
    [ -f "$p/lib/libQt6Test.a" ] &&
    [ -f "$p/plugins/platforms/libqwindows.a" ] &&
    [ -f "$p/plugins/platforms/libqoffscreen.a" ]
}

# True when a prefix is at hand or can be unpacked without a long build.
qt_windows_available() {
  qt_windows_complete "$qt_windows_prefix" || [ -f "$qt_windows_tarball" ]
}

# debian_source PACKAGE FOLDER: downloads Debian 12's source of PACKAGE once,
# unpacks its upstream tarball into the cache and prints the path of the
# unpacked FOLDER.
debian_source() {
  local package=$1 folder=$2
  local sources=$tastalo_cache/sources
  if [ -d "$sources/$folder" ]; then
    echo "$sources/$folder"
    return
  fi
  local apt_dir
  apt_dir=$(mktemp -d)
  mkdir -p "$apt_dir/lists/partial" "$apt_dir/parts" "$sources"
  # The system's own package sources, turned into source entries: the
  # mirror is whatever this machine uses, never named here.
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
  done >"$apt_dir/sources.list"
  # deb822 files: every stanza's Types (a field name in any case) becomes
  # deb-src; the rest of the stanza, Enabled: no included, stays.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && sed 's/^Types:.*/Types: deb-src/I' "$f" >"$apt_dir/parts/${f##*/}"
  done
  local options=(-o "Dir::Etc::SourceList=$apt_dir/sources.list"
                 -o "Dir::Etc::SourceParts=$apt_dir/parts"
                 -o "Dir::State::Lists=$apt_dir/lists"
                 -o "APT::Sandbox::User=root")
  echo "fetching Debian's source of $package..." >&2
  # A third-party source without source packages fails its part of the
  # update; Debian's own is what the download below needs.
  apt-get "${options[@]}" -qq update >&2 || echo "(some package sources offer no source packages)" >&2
  (cd "$apt_dir" && apt-get "${options[@]}" -qq source --download-only "$package" >&2)
  local orig
  orig=$(ls "$apt_dir"/"${package}"_*.orig.tar.* | head -n1)
  local unpacked
  unpacked=$(mktemp -d "$sources/.unpack.XXXXXX")
  tar xf "$orig" -C "$unpacked"
  [ -d "$unpacked/$folder" ] || { echo "$orig holds no $folder" >&2; return 1; }
  mv "$unpacked/$folder" "$sources/$folder"
  rm -rf "$unpacked" "$apt_dir"
  echo "$sources/$folder"
}

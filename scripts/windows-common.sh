# Sourced by the Windows build scripts: where the Windows Qt prefix lives,
# and Debian source packages fetched without touching the system's apt
# sources (a private list and state folder for that one download).

tastalo_top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tastalo_cache=${XDG_CACHE_HOME:-$HOME/.cache}/tastalo
qt_windows_prefix=${TASTALO_QT_WINDOWS:-$tastalo_cache/qt-6.4.2-mingw-w64-static}
# A prefix made by scripts/build-qt-windows.sh, shipped beside the checkout.
qt_windows_tarball=$tastalo_top/../shared/windows/qt-6.4.2-mingw-w64-static.tar.xz

# True when the prefix holds what a program build needs.
qt_windows_complete() {
  local p=$1
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

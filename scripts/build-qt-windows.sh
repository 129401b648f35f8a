#!/usr/bin/env bash
# Builds the Qt that the Windows program needs (Core, Gui, Widgets, Test, the
# windows platform plugin and the windowsvista style) from Debian's own source
# package of qt6-base, with Debian's patches, cross-compiled with mingw-w64
# against Debian's host Qt tools. (qt6-svg's source package cannot be fetched
# here: the Windows build carries its pictures drawn ahead of time instead.)
#
# It installs into a cache folder outside the work tree, by default
# /var/cache/pellrig/qt-windows-VERSION-OPTIONS (PELLRIG_QT_CACHE sets the parent
# folder), prints that folder as its last line, and does nothing more when the
# folder already holds a complete build of the same version and options.
# Run as root on Debian 12: it installs packages and adds Debian's deb-src entries.
set -euo pipefail
cd "$(dirname "$0")/.."
cache=${PELLRIG_QT_CACHE:-/var/cache/pellrig}
jobs=${PELLRIG_QT_JOBS:-$(nproc)}

# What qtbase is configured with; a change makes another cache folder.
qtbase_options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake
  -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  -DQT_QPA_DEFAULT_PLATFORM=windows
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_icu=OFF -DFEATURE_glib=OFF -DFEATURE_zstd=OFF
  -DFEATURE_freetype=OFF -DFEATURE_fontconfig=OFF -DFEATURE_direct2d=ON
  -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_zlib=OFF
  -DFEATURE_png=ON -DFEATURE_system_png=OFF -DFEATURE_jpeg=OFF
  -DFEATURE_pcre2=ON -DFEATURE_system_pcre2=OFF -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_system_libb2=OFF -DINPUT_libmd4c=qt -DFEATURE_androiddeployqt=OFF
  -DFEATURE_testlib=ON
  # The +dfsg tarball has no src/3rdparty/wintab.
  -DFEATURE_tabletevent=OFF
)

export DEBIAN_FRONTEND=noninteractive
sources_entry=/etc/apt/sources.list.d/pellrig-deb-src.sources
need_update=
if [ ! -f "$sources_entry" ]; then
  # Debian's own archive, as the deb entries name it, for its source packages.
  sed 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources > "$sources_entry"
  need_update=1
fi
if ! command -v dpkg-source > /dev/null || ! command -v x86_64-w64-mingw32-g++-posix > /dev/null ||
   [ ! -x /usr/lib/qt6/libexec/moc ] || [ -n "$need_update" ]; then
  apt-get update
  apt-get install -y --no-install-recommends dpkg-dev qt6-base-dev qt6-base-dev-tools \
    g++-mingw-w64-x86-64-posix cmake ninja-build perl
fi

base_version=$(apt-cache showsrc qt6-base | sed -n 's/^Version: //p' | sort -V | tail -n 1)
[ -n "$base_version" ] || { echo "no source package of qt6-base" >&2; exit 1; }
options_hash=$(printf '%s\n' "${qtbase_options[@]}" | sha256sum | cut -c1-12)
prefix=$cache/qt-windows-${base_version//[:+~]/_}-$options_hash
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

work=$cache/work
rm -rf "$work" "$prefix"
mkdir -p "$work"
(
  cd "$work"
  apt-get source --download-only "qt6-base=$base_version"
  dpkg-source -x qt6-base_*.dsc qtbase
)

cat > "$work/mingw-w64.cmake" <<'CMAKE'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_AR x86_64-w64-mingw32-gcc-ar-posix)
set(CMAKE_RANLIB x86_64-w64-mingw32-gcc-ranlib-posix)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
CMAKE

started=$(date +%s)
cmake -S "$work/qtbase" -B "$work/build-qtbase" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/mingw-w64.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" "${qtbase_options[@]}"
cmake --build "$work/build-qtbase" -j "$jobs"
cmake --install "$work/build-qtbase"

# The licence texts go with every copy of the program that carries these DLLs.
mkdir -p "$prefix/licenses"
cp "$work/qtbase/LICENSES/"* "$prefix/licenses/" 2>/dev/null || true
cp "$work/qtbase/debian/copyright" "$prefix/licenses/qtbase.copyright"

rm -rf "$work"
printf 'qt6-base %s\nbuilt in %d s\n' "$base_version" $(($(date +%s) - started)) > "$prefix/.complete"
echo "$prefix"

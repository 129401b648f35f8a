#!/usr/bin/env bash
# Makes the Windows packages from the cross build (build/windows, or the folder
# given): the program laid out by `cmake --install` with its DLLs, plugins and
# licence texts, as a portable zip and as an NSIS installer, both in
# BUILD/packages. Prints the two files' paths. Needs the Debian package nsis.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$(realpath "${1:-build/windows}")
version=$(sed -n 's/^project(pellrig VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deploy=$build/deploy
out=$build/packages
rm -rf "$deploy" "$out"
mkdir -p "$out/nsis"
cmake --install "$build" --prefix "$deploy" --strip > /dev/null
[ -f "$deploy/pellrig.exe" ] || { echo "$build has no pellrig.exe: build it with Qt for Windows" >&2; exit 1; }

zip=$out/pellrig-$version-windows-x64.zip
(cd "$deploy" && cmake -E tar cf "$zip" --format=zip -- *)

# The installed files one by one, so that the uninstaller removes just those.
windows_path() { printf '%s' "$1" | tr / '\\'; }
(
  cd "$deploy"
  find . -type f | sed 's|^\./||' | sort | while read -r file; do
    dir=$(dirname "$file")
    if [ "$dir" = . ]; then
      printf 'SetOutPath "$INSTDIR"\n'
    else
      printf 'SetOutPath "$INSTDIR\\%s"\n' "$(windows_path "$dir")"
    fi
    printf 'File "%s"\n' "$deploy/$file"
  done
) > "$out/nsis/install.nsh"
(
  cd "$deploy"
  find . -type f | sed 's|^\./||' | sort | while read -r file; do
    printf 'Delete "$INSTDIR\\%s"\n' "$(windows_path "$file")"
  done
  # Deepest first, and only when empty.
  find . -mindepth 1 -type d | sed 's|^\./||' | sort -r | while read -r dir; do
    printf 'RMDir "$INSTDIR\\%s"\n' "$(windows_path "$dir")"
  done
) > "$out/nsis/uninstall.nsh"

installer=$out/pellrig-$version-windows-x64-setup.exe
makensis -V2 -DVERSION="$version" -DICON="$build/src/shell/program-icon/pellrig.ico" -DOUTFILE="$installer" \
  -DFILES="$out/nsis" "$root/resources/windows/installer.nsi"
echo "$zip"
echo "$installer"

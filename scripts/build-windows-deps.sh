#!/usr/bin/env bash
# Cross-builds libpng and libjpeg for the Windows build, statically, from Debian's own
# source packages: bash scripts/build-windows-deps.sh <folder>
#
# Debian ships zlib for MinGW (libz-mingw-w64-dev) but not these two. The sources are
# fetched with apt-get source through a private source list and a private apt state in
# <folder>/apt, made from the machine's own Debian sources; the machine's apt setup is
# left as it is. The libraries land in <folder>/lib and <folder>/include; a rerun with
# both in place does nothing.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:?usage: build-windows-deps.sh <folder>}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
jobs="$(nproc)"

if [ -f "$out/lib/libpng16.a" ] && [ -f "$out/lib/libjpeg.a" ] && [ -f "$out/include/jpegint.h" ]; then
  exit 0
fi

# --- the sources ------------------------------------------------------------------
apt_dir="$out/apt"
rm -rf "$apt_dir" "$out/src"
mkdir -p "$apt_dir/etc/sources.list.d" "$apt_dir/state/lists/partial" "$apt_dir/cache/archives/partial" "$out/src"

# The machine's Debian package sources, turned into source-package sources.
: > "$apt_dir/etc/sources.list"
if [ -f /etc/apt/sources.list ]; then
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' /etc/apt/sources.list >> "$apt_dir/etc/sources.list"
fi
for f in /etc/apt/sources.list.d/*.sources; do
  [ -f "$f" ] || continue
  sed 's/^Types:.*$/Types: deb-src/' "$f" > "$apt_dir/etc/sources.list.d/$(basename "$f")"
done
for f in /etc/apt/sources.list.d/*.list; do
  [ -f "$f" ] || continue
  sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f" >> "$apt_dir/etc/sources.list"
done

apt_opts=(
  -o "Dir::Etc::SourceList=$apt_dir/etc/sources.list"
  -o "Dir::Etc::SourceParts=$apt_dir/etc/sources.list.d"
  -o "Dir::State=$apt_dir/state"
  -o "Dir::Cache=$apt_dir/cache"
  -o "APT::Sandbox::User=root"
  -q
)
apt-get "${apt_opts[@]}" update > "$apt_dir/update.log" 2>&1 || { cat "$apt_dir/update.log" >&2; exit 1; }

# Fetches and unpacks a source package: the newest version first, then older ones,
# since a mirror may list a version that it does not serve yet.
fetch_source() {
  local package="$1" version
  for version in $(apt-cache "${apt_opts[@]}" showsrc "$package" | sed -n 's/^Version: //p' | sort -r -V -u); do
    if (cd "$out/src" && apt-get "${apt_opts[@]}" source "$package=$version" > "$apt_dir/source-$package.log" 2>&1); then
      return 0
    fi
  done
  echo "build-windows-deps: could not fetch the source of $package" >&2
  cat "$apt_dir/source-$package.log" >&2 || true
  return 1
}
fetch_source libpng1.6
fetch_source libjpeg-turbo

png_src="$(find "$out/src" -maxdepth 1 -type d -name 'libpng1.6-*' | head -n 1)"
jpeg_src="$(find "$out/src" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | head -n 1)"

toolchain="$here/cmake/mingw-w64-x86_64.cmake"
common=(
  -DCMAKE_TOOLCHAIN_FILE="$toolchain"
  -DHF_WINDOWS_DEPS_DIR="$out"
  -DCMAKE_BUILD_TYPE=Release
  -DCMAKE_INSTALL_PREFIX="$out"
  -DCMAKE_POSITION_INDEPENDENT_CODE=OFF
)

# --- libpng: static, zlib from the MinGW sysroot --------------------------------------
cmake -S "$png_src" -B "$out/build/libpng" "${common[@]}" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
  -DPNG_HARDWARE_OPTIMIZATIONS=ON > "$out/build-libpng.log" 2>&1 || { cat "$out/build-libpng.log" >&2; exit 1; }
cmake --build "$out/build/libpng" -j"$jobs" --target install >> "$out/build-libpng.log" 2>&1 || { tail -50 "$out/build-libpng.log" >&2; exit 1; }

# --- libjpeg-turbo: static, the libjpeg 6b interface, no SIMD (no nasm needed) ---------
cmake -S "$jpeg_src" -B "$out/build/libjpeg" "${common[@]}" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=OFF \
  > "$out/build-libjpeg.log" 2>&1 || { cat "$out/build-libjpeg.log" >&2; exit 1; }
cmake --build "$out/build/libjpeg" -j"$jobs" --target install >> "$out/build-libjpeg.log" 2>&1 || { tail -50 "$out/build-libjpeg.log" >&2; exit 1; }

# JUCE's JPEG reader defines JPEG_INTERNALS, so jpeglib.h pulls in jpegint.h, which the
# library does not install.
cp "$jpeg_src/jpegint.h" "$out/include/"

# The Windows jconfig.h leaves out its `boolean` typedef when rpcndr.h came first (as it
# does after windows.h); JUCE includes jpeglib.h inside a namespace of its own and needs
# the typedef there. Both are unsigned char, so the library's interface is unchanged.
sed -i '/^#ifndef __RPCNDR_H__/{N;N;s/^#ifndef __RPCNDR_H__[^\n]*\n\(typedef unsigned char boolean;\)\n#endif/\1/}' "$out/include/jconfig.h"
grep -q '^typedef unsigned char boolean;' "$out/include/jconfig.h"
if grep -q '__RPCNDR_H__' "$out/include/jconfig.h"; then
  echo "build-windows-deps: could not adjust jconfig.h" >&2
  exit 1
fi

# What is left of the sources and the build trees is not needed.
rm -rf "$out/src" "$out/build" "$apt_dir"
echo "build-windows-deps: libpng and libjpeg are in $out"

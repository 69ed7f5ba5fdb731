#!/bin/bash
# The codecs of Tessik7z.dll, static for both mingw-w64 targets, built from
# Debian 12's own source packages: liblzma from xz-utils (the decoders, the
# x86 branch filter, the header's LZMA), and 7-Zip's C LZMA2 encoder from
# 7zip (its multi-threaded match finder and blocks; liblzma's encoder took
# twice 7zz's time on the same data at the same size), with waits of our own
# between its threads. Run as root; every
# step is skipped when its result is already there. Prints nothing but errors.
#
#   <root>/build-deps/src/xz-utils-<version>/   the unpacked source packages
#   <root>/build-deps/src/7zip-<version>/
#   <root>/build-deps/<triplet>/{include,lib}   liblzma.a and its headers,
#                                               libsevenzipc.a and its headers in include/sevenzip/
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps=$root/build-deps
version=5.4.1
# 7zip's version in bookworm (its upstream release is 26.01).
sevenzip_version=22.01+really26.01+dfsg
sevenzip_tree=7zip-$sevenzip_version
# The C files of the LZMA2 encoder and what they need.
sevenzip_sources=(Alloc CpuArch LzFind LzFindMt LzFindOpt LzmaEnc Lzma2Enc MtCoder MtDec 7zStream Threads Bra86)
triplets=(x86_64-w64-mingw32 i686-w64-mingw32)
system_sources=/etc/apt/sources.list.d/debian.sources
source_list=/etc/apt/sources.list.d/tessik-deb-src.sources

# Runs a command with its output held back; shows it only when it fails.
quiet() {
  local log
  log=$(mktemp)
  if ! "$@" >"$log" 2>&1; then
    echo "build-codecs.sh: failed: $*" >&2
    cat "$log" >&2
    rm -f "$log"
    return 1
  fi
  rm -f "$log"
}

# The deb-src stanza of the archive the machine already uses for Debian 12
# main: its URIs and Signed-By, read from the system's own sources file.
source_stanza() {
  awk '
    BEGIN { RS = ""; FS = "\n" }
    {
      types = ""; uris = ""; suites = ""; components = ""; signed = ""
      for (i = 1; i <= NF; ++i) {
        line = $i
        if (line ~ /^[ \t]*#/) continue
        if (line ~ /^Types:/) types = " " substr(line, 7) " "
        else if (line ~ /^URIs:/) uris = substr(line, 6)
        else if (line ~ /^Suites:/) suites = " " substr(line, 8) " "
        else if (line ~ /^Components:/) components = " " substr(line, 12) " "
        else if (line ~ /^Signed-By:/) signed = substr(line, 11)
      }
      gsub(/[ \t]+/, " ", types); gsub(/[ \t]+/, " ", suites); gsub(/[ \t]+/, " ", components)
      if (types ~ / deb / && suites ~ / bookworm / && components ~ / main / && uris != "") {
        sub(/^[ \t]+/, "", uris); sub(/^[ \t]+/, "", signed)
        print "Types: deb-src"
        print "URIs: " uris
        print "Suites: bookworm"
        print "Components: main"
        if (signed != "") print "Signed-By: " signed
        exit
      }
    }
  ' "$system_sources"
}

add_source_list() {
  local stanza
  if [ ! -r "$system_sources" ]; then
    echo "build-codecs.sh: $system_sources is missing: no Debian 12 archive to take the sources from" >&2
    exit 1
  fi
  stanza=$(source_stanza)
  if [ -z "$stanza" ]; then
    echo "build-codecs.sh: $system_sources has no 'deb' stanza for bookworm main" >&2
    exit 1
  fi
  if [ -f "$source_list" ] && [ "$(cat "$source_list")" = "$stanza" ]; then
    return
  fi
  if [ "$(id -u)" != 0 ]; then
    echo "build-codecs.sh: run as root: $source_list must be written and apt-get run" >&2
    exit 1
  fi
  printf '%s\n' "$stanza" >"$source_list"
  quiet apt-get update -q
}

fetch_source() {
  local tree=$deps/src/xz-utils-$version
  if [ -f "$tree/CMakeLists.txt" ]; then
    return
  fi
  add_source_list
  if ! command -v dpkg-source >/dev/null; then
    quiet env DEBIAN_FRONTEND=noninteractive apt-get install -y -q dpkg-dev
  fi
  mkdir -p "$deps/src"
  # apt checks the files against the signed index of the archive; dpkg-source
  # then unpacks them and applies Debian's patches.
  (cd "$deps/src" && quiet apt-get source -q -o APT::Sandbox::User=root xz-utils)
  if [ ! -f "$tree/CMakeLists.txt" ]; then
    echo "build-codecs.sh: apt-get source xz-utils gave no $tree" >&2
    exit 1
  fi
}

build_target() {
  local triplet=$1
  local prefix=$deps/$triplet
  local work=$deps/work-$triplet
  if [ -f "$prefix/lib/liblzma.a" ] && [ -f "$prefix/include/lzma.h" ] && [ -f "$prefix/.xz-utils-$version-vista" ]; then
    return
  fi
  rm -rf "$work" "$prefix"
  # Only the library: the tools are never built, nothing but liblzma is
  # installed. Threads through the Vista condition variables on both
  # targets: xz's CMake picks its Windows 95 threads for 32-bit on its own,
  # and the flags come after its definitions on the compiler's line, so they
  # take that back.
  quiet cmake -S "$deps/src/xz-utils-$version" -B "$work" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-${triplet%%-*}.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF \
    -DENABLE_NLS=OFF \
    -DCMAKE_C_FLAGS="-UMYTHREAD_WIN95 -DMYTHREAD_VISTA"
  quiet cmake --build "$work" --target liblzma
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$work/liblzma.a" "$prefix/lib/"
  cp -r "$deps/src/xz-utils-$version/src/liblzma/api/lzma.h" "$deps/src/xz-utils-$version/src/liblzma/api/lzma" \
    "$prefix/include/"
  touch "$prefix/.xz-utils-$version-vista"
  rm -rf "$work"
}

fetch_sevenzip() {
  if [ -f "$deps/src/$sevenzip_tree/C/Lzma2Enc.c" ]; then
    return
  fi
  add_source_list
  mkdir -p "$deps/src"
  (cd "$deps/src" && quiet apt-get source -q -o APT::Sandbox::User=root "7zip=$sevenzip_version-0+deb12u1" ||
    quiet apt-get source -q -o APT::Sandbox::User=root 7zip)
  if [ ! -f "$deps/src/$sevenzip_tree/C/Lzma2Enc.c" ]; then
    echo "build-codecs.sh: apt-get source 7zip gave no $deps/src/$sevenzip_tree" >&2
    exit 1
  fi
}

# 7-Zip's events and semaphores are kernel objects; ours (Threads.h and
# Threads.c of tessik7z/codecs/) wait in the process. They replace 7-Zip's
# in a copy of its C folder, where the encoder's files find them first.
sevenzip_overlay=$root/tessik7z/codecs

build_sevenzip() {
  local triplet=$1
  local prefix=$deps/$triplet
  local work=$deps/work-7zip-$triplet
  local stamp
  stamp=$prefix/.7zip-$sevenzip_version-$(cat "$sevenzip_overlay"/Threads.[ch] | sha1sum | cut -c1-12)
  if [ -f "$prefix/lib/libsevenzipc.a" ] && [ -f "$stamp" ]; then
    return
  fi
  rm -rf "$work"
  mkdir -p "$work/C" "$prefix/lib" "$prefix/include/sevenzip"
  cp "$deps/src/$sevenzip_tree/C"/*.[ch] "$work/C/"
  cp "$sevenzip_overlay"/Threads.[ch] "$work/C/"
  local objects=()
  for name in "${sevenzip_sources[@]}"; do
    quiet "$triplet-gcc-posix" -O3 -c "$work/C/$name.c" -o "$work/$name.o"
    objects+=("$work/$name.o")
  done
  rm -f "$prefix/lib/libsevenzipc.a" "$prefix"/.7zip-*
  quiet "$triplet-ar" rcs "$prefix/lib/libsevenzipc.a" "${objects[@]}"
  cp "$work/C"/*.h "$prefix/include/sevenzip/"
  touch "$stamp"
  rm -rf "$work"
}

fetch_source
fetch_sevenzip
for triplet in "${triplets[@]}"; do
  build_target "$triplet"
  build_sevenzip "$triplet"
done

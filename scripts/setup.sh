#!/usr/bin/env bash
# Installs everything a fresh Debian 12 machine needs to build and test Tessik (run as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
packages=(cmake ninja-build g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
          wine64 fonts-wine xvfb xauth locales fonts-ipafont-gothic fonts-horai-umefont libboost1.81-dev googletest imagemagick x11-utils
          zip unzip 7zip libarchive-tools gcab cabextract jlha-utils lhasa git
          libz-mingw-w64-dev python3 nsis wine32:i386)
# jlha (the LZH archiver the Unlha32 bridge runs) is Java: a headless runtime
# unless some Java is there already.
command -v java >/dev/null 2>&1 || packages+=(default-jre-headless)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  # wine32 (32-bit programs under Wine: the setup program, tessik.exe of the
  # release) is an i386 package.
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
  fi
  apt-get update
  apt-get install -y --no-install-recommends "${missing[@]}"
fi
# The Japanese locale makes Wine report code page 932 as the ANSI code page.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$'; then
  sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' >> /etc/locale.gen
  locale-gen
fi
# The codecs of Tessik7z.dll (liblzma, 7-Zip's C LZMA2 encoder) from Debian's source packages, for both mingw targets.
bash "$(dirname "$0")/build-codecs.sh"

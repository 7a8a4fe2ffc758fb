#!/bin/bash
# Installs what the build and the tests need on Debian 12, as root; quick when
# everything is already there.
set -euo pipefail

packages=(cmake make g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools
          wine wine64 wine32:i386 libwine-dev xvfb xauth googletest util-linux)

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
needs_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || needs_i386=1

if (( ${#missing[@]} == 0 && needs_i386 == 0 )); then
    exit 0
fi
if (( EUID != 0 )); then
    echo "setup: missing packages (${missing[*]}); run as root to install them" >&2
    exit 1
fi
echo "setup: installing ${missing[*]}"
(( needs_i386 )) && dpkg --add-architecture i386
export DEBIAN_FRONTEND=noninteractive
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"

#!/bin/bash
# Plays the demo session in a fresh sample design directory of the build tree.
set -euo pipefail
build=$(cd "$1" && pwd)
design="$build/demo/board"
rm -rf "$build/demo"
mkdir -p "$design"
unset TLK_SX_XPROBE_DIR
exec xvfb-run -a "$build/wine-run" "$build/bin/refhost.exe" demo "Z:${design//\//\\}"

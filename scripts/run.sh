#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the stand-in host on the plug-in module. With no
# arguments it shows the built-in high-dynamic-range test chart; any arguments go to
# tallomira-host (see build/tallomira-host --help). The pictures are written to out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
mkdir -p out
build/tallomira-host --out out "$@"

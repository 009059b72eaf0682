#!/usr/bin/env bash
# The two entry points of the project:
#   ./duduri.sh run    install what is missing, build, and run the program's main job
#   ./duduri.sh test   install what is missing, build, and run every test suite
#                      (release build, then again under AddressSanitizer + UBSan)
set -euo pipefail
cd "$(dirname "$0")"

jobs=$(nproc 2>/dev/null || echo 2)

configure_and_build() {
  local preset=$1; shift
  cmake --preset "$preset" -DDUDURI_STRICT=ON "$@" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
}

case "${1:-}" in
  run)
    scripts/install-deps.sh
    configure_and_build release
    out=build/showcase
    mkdir -p "$out"
    build/release/bin/duduri-pack image data/harbour.jpg --out "$out/harbour.png"
    build/release/bin/duduri-pack image data/harbour.jpg --rotate 90 --out "$out/harbour-rot90.png"
    build/release/bin/duduri-pack image data/harbour.jpg --resize 320x240 --out "$out/harbour-small.png"
    build/release/bin/duduri-pack image data/harbour.jpg --resize 96x72 --shadow --out "$out/harbour-shadow.png"
    echo "Wrote the pictures in $out/"
    ;;
  test)
    scripts/install-deps.sh
    configure_and_build release
    ctest --preset release
    configure_and_build debug
    ctest --preset debug
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# The two entry points of the project:
#   ./duduri.sh run    install what is missing, build, and start the player on its sample puzzle
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
    if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
      # The player finds the sample project beside it and opens it at once.
      exec build/release/bin/duduri
    fi
    echo "No display: starting the player under a virtual one (xvfb-run); close it with Ctrl+C." >&2
    exec xvfb-run -a -s "-screen 0 1280x1024x24" build/release/bin/duduri
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

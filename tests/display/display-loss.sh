#!/usr/bin/env bash
# The display taken away under a running player (its X server killed): the
# player must end with a clear message, not a crash, with the high scores of
# the session saved and its "-T" project file removed.
#
#   display-loss.sh PROBE   (the display_loss_probe executable)
set -uo pipefail
probe=$1
dir=$(mktemp -d "${TMPDIR:-/tmp}/duduri-display.XXXXXX")
xvfb=
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$dir"
}
trap cleanup EXIT
fail() {
  echo "display loss: $*" >&2
  echo "--- probe's standard error:" >&2
  cat "$dir/err" >&2 2>/dev/null
  exit 1
}

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
xvfb=$!
for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
[ -s "$dir/display" ] || fail "Xvfb did not start"
display=$(cat "$dir/display")

# The exit skips every destructor, so a leak check would only list the window.
DISPLAY=:$display QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 \
  "$probe" "$dir" >"$dir/out" 2>"$dir/err" &
player=$!
for _ in $(seq 300); do grep -q ready "$dir/out" 2>/dev/null && break; sleep 0.1; done
grep -q ready "$dir/out" || fail "the player did not start"

kill "$xvfb"
wait "$xvfb" 2>/dev/null
xvfb=
for _ in $(seq 200); do kill -0 "$player" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$player" 2>/dev/null; then
  kill -9 "$player"
  fail "the player went on without its display"
fi
wait "$player"
status=$?
[ "$status" -lt 128 ] || fail "the player died of signal $((status - 128))"
[ "$status" -ne 0 ] || fail "the player said all went well"
grep -q "high scores kept in $dir/highscorefile.dat" "$dir/err" || fail "no word of the high scores"
grep -q "Before the dark" "$dir/highscorefile.dat" 2>/dev/null || fail "the high score was lost"
[ ! -e "$dir/probe.pzp" ] || fail "the -T project file was left behind"
echo "display loss: ended with status $status: $(head -c 200 "$dir/err" | tr '\n' ' ')"

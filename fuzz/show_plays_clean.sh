#!/usr/bin/env bash
# The real program under the sanitizers: in a virtual display it starts, loads the generated
# show, plays a few seconds, and quits on the quit key with status 0, no error line, and no
# report from AddressSanitizer, UndefinedBehaviorSanitizer or LeakSanitizer.
# Usage: show_plays_clean.sh PROGRAM SHOW_DIRECTORY LSAN_SUPPRESSIONS. Exit status 77: skipped.
set -uo pipefail

program=$1
show=$2
suppressions=$3
playSeconds=${TESSARINE_E2E_PLAY_SECONDS:-5}

skip() {
  echo "SKIPPED: $*"
  exit 77
}

# The outer call puts the test in a virtual display of its own.
if [ -z "${TESSARINE_E2E_DISPLAY:-}" ]; then
  for command in xvfb-run Xvfb xdotool ffmpeg; do
    command -v "$command" >/dev/null || skip "$command is not installed"
  done
  [ -x "$program" ] || skip "the program $program has not been built yet"
  [ -f "$show/Data/S1.lws" ] || skip "no generated show in $show"
  exec env TESSARINE_E2E_DISPLAY=1 xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" "$0" "$@"
fi

program=$(realpath "$program")
work=$(mktemp -d)
programPid=
cleanup() {
  # Only the program this script started, by its process id.
  if [ -n "$programPid" ]; then
    kill "$programPid" 2>/dev/null
    wait "$programPid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  for log in stdout stderr; do
    if [ -s "$work/$log" ]; then
      echo "--- program $log"
      tail -n 60 "$work/$log"
    fi
  done
  exit 1
}

# shellcheck source=/dev/null
. "$(dirname "${BASH_SOURCE[0]}")/../tests/support/wait_until.sh"

exited() { ! kill -0 "$programPid" 2>/dev/null; }
# A checksum of what the display shows in its middle.
screenSum() {
  ffmpeg -loglevel error -f x11grab -video_size 200x150 -i "$DISPLAY+220,165" -frames:v 1 -f rawvideo - 2>/dev/null |
    md5sum | cut -d' ' -f1
}
# The show plays once two looks at the screen a moment apart differ.
screenMoves() {
  local before after
  before=$(screenSum)
  sleep 0.3
  after=$(screenSum)
  [ -n "$before" ] && [ "$before" != "$after" ]
}
movesOrExited() { screenMoves || exited; }

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1
(cd "$show" && exec "$program") >"$work/stdout" 2>"$work/stderr" &
programPid=$!

window=$(timeout 60 xdotool search --sync --name '^Tessarine$' 2>/dev/null | head -n 1)
[ -n "$window" ] || fail "no window titled Tessarine"
wait_until 120 movesOrExited || fail "the show never moved on the screen"
exited && fail "the program ended by itself"
sleep "$playSeconds"
exited && fail "the program ended by itself while playing"

xdotool mousemove --window "$window" 20 20
xdotool key q
wait_until 60 exited || fail "the program did not end after the quit key"
wait "$programPid"
status=$?
programPid=
[ "$status" -eq 0 ] || fail "the program ended with status $status"
grep -q "And the Error is" "$work/stdout" && fail "the program reported an error"
grep -qE "AddressSanitizer|LeakSanitizer|runtime error:|UndefinedBehaviorSanitizer" "$work/stderr" &&
  fail "a sanitizer reported a fault"
echo "PASSED: the show played ${playSeconds}s and quit cleanly under the sanitizers"

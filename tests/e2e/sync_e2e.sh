#!/usr/bin/env bash
# How far the show's sound runs from its picture, measured end to end: the sync fixture
# played under Xvfb into a sound server of the test's own, recorded by tessarine-syncmeter
# through the start, the switches and a wrap, then in author mode across a pause and
# resume, two seeks and a reload. Prints the offsets of each kind of moment; fails only on
# a gross fault, a median offset or a drift beyond kLimitMs. LAYERS (none by default) slow
# the drawing down: about 12 give 60 frames per second, 70 give 15.
# Usage: sync_e2e.sh PROGRAM FIXTURE-GENERATOR SYNCMETER [LAYERS]
set -uo pipefail

readonly kLimitMs=60
# Start, five switches, the wrap at 16.9 s and a switch more.
readonly kPlainSeconds=21
# Time for two switches after each key.
readonly kSettle=6

program=$(realpath "$1")
fixture=$(realpath "$2")
meter=$(realpath "$3")
layers=${4:-0}
for tool in Xvfb xdotool ffmpeg ffprobe pulseaudio pactl; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
work=$(mktemp -d)
pids=
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A black root window, so the first picture change is the first scene's colour.
Xvfb -displayfd 3 -br -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids="$!"
# shellcheck source=/dev/null
. "$(dirname "${BASH_SOURCE[0]}")/../support/wait_until.sh"
wait_until 10 test -s "$work/display" || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

mkdir -p "$work/home" "$work/run/pulse" "$work/state"
chmod 700 "$work/run" "$work/run/pulse"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PULSE_RUNTIME_PATH="$work/run/pulse"
export PULSE_STATE_PATH="$work/state" PULSE_SERVER="unix:$work/run/pulse/native"
pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no --realtime=no --high-priority=no \
  --disallow-module-loading=no --log-target=stderr --load="module-native-protocol-unix auth-anonymous=1" \
  --load="module-null-sink sink_name=sync rate=44100 channels=2" 2>"$work/pulse.log" &
pids="$pids $!"
wait_until 15 pactl info >/dev/null 2>&1 || { echo "the sound server did not start"; exit 1; }

"$fixture" sync "$work/show" "$layers" || exit 1

# ffmpeg writes its file only once both inputs are open, which takes it a second or two.
recording() { [ "$(stat -c %s "$1" 2>/dev/null || echo 0)" -gt 100000 ]; }
# Records $2 seconds into $work/$1.nut in the background, once frames and sound come in.
record() {
  "$meter" record "$work/$1.nut" --grab "$DISPLAY+16,32" --size 400x300 --source sync.monitor --seconds "$2" &
  recorder=$!
  wait_until 10 recording "$work/$1.nut" || echo "the recording did not start"
}

# Starts the show in the 400 x 300 window, with any options after it, and waits for it.
start_show() {
  (cd "$work/show" && exec "$program" --window "$@" >>"$work/show.log" 2>&1) &
  show_pid=$!
  pids="$pids $show_pid"
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tessarine$' | head -n 1)
}

marks=()
# Presses key $1 and marks the moment as $2, then lets the show play for $3 seconds.
press() {
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  marks+=(--mark "$2@$(date +%s.%N)")
  xdotool key "$1"
  sleep "$3"
}

failures=0
analyse() {
  echo "== $1, $layers layers"
  "$meter" analyse "$work/$1.nut" --limit "$kLimitMs" "${@:2}" || failures=$((failures + 1))
}

record plain "$kPlainSeconds"
start_show
wait "$recorder"
kill "$show_pid"
analyse plain

start_show --author
press h author-play 1
record author $((6 * kSettle + 2))
# From a seek, not the start, which the first recording measures.
press Home home "$kSettle"
press space pause 0.5
press space resume "$kSettle"
press Right seek-forward "$kSettle"
press Left seek-back "$kSettle"
press r reload "$kSettle"
wait "$recorder"
analyse author "${marks[@]}"

[ -s "$work/show.log" ] && { echo "the show printed:"; cat "$work/show.log"; }
[ "$failures" -eq 0 ] || { echo "FAIL: offsets beyond $kLimitMs ms"; exit 1; }

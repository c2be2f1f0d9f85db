#!/usr/bin/env bash
# The real program plays its music: under a virtual display and with a sound server of the
# test's own, the program's stream appears while the show plays, the server's monitor hears
# the tone, and the stream is gone after the quit key.
# Usage: music_plays.sh TOOL PROGRAM. Exit status 77 means skipped.
set -uo pipefail

for command in pulseaudio pactl parec Xvfb xdotool; do
  command -v "$command" >/dev/null || { echo "SKIPPED: $command is not installed"; exit 77; }
done
[ -x "$2" ] || { echo "SKIPPED: the program $2 has not been built yet"; exit 77; }
tool=$(realpath "$1")
program=$(realpath "$2")

work=$(mktemp -d)
pids=()
cleanup() {
  # Only what this script started, by process id.
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAILED: $*"
  for log in program.out pulse.log xvfb.log; do
    [ -s "$work/$log" ] && echo "--- $log" && tail -n 30 "$work/$log"
  done
  exit 1
}
# shellcheck source=/dev/null
. "$(dirname "${BASH_SOURCE[0]}")/../support/wait_until.sh"

# The fixture show: six scenes of five seconds with a camera and nothing else, and 30 seconds
# of a 440 Hz tone as the music.
mkdir -p "$work/show/Data"
for scene in S1 S2 S3 S4 S4b S5; do
  printf '%s\n' LWSC 1 'FirstFrame 0' 'LastFrame 150' 'FramesPerSecond 30' 'CameraMotion (unnamed)' 9 1 \
    '0 0 -10 0 0 0 1 1 1' '0 0 0 0 0' 'EndBehavior 1' 'ZoomFactor 3.2' >"$work/show/Data/$scene.lws"
done
"$tool" tone "$work/show/THREE.mp3" 30 || fail "could not write the fixture's music"

# A sound server of our own: private runtime and state directories, one null sink whose
# monitor we record, no session bus, no real-time requests.
mkdir -p "$work/home" "$work/run/pulse" "$work/state"
chmod 700 "$work/run" "$work/run/pulse"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PULSE_RUNTIME_PATH="$work/run/pulse"
export PULSE_STATE_PATH="$work/state" PULSE_SERVER="unix:$work/run/pulse/native"
pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no --realtime=no --high-priority=no \
  --disallow-module-loading=no --log-target=stderr \
  --load="module-native-protocol-unix auth-anonymous=1" \
  --load="module-null-sink sink_name=e2e rate=44100 channels=2" \
  2>"$work/pulse.log" &
pids+=($!)
wait_until 15 pactl info >/dev/null 2>&1 || fail "the sound server did not start"

# A virtual display; Xvfb writes its number once it accepts clients.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
wait_until 15 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$work/display")"
# Its screen saver is on by default: the player sees it, to hold it off while the show plays.
[ "$("$tool" saver)" = on ] || fail "the display's screen saver is not seen"

parec -d e2e.monitor --format=s16le --rate=44100 --channels=2 >"$work/record.raw" 2>>"$work/pulse.log" &
recorder=$!
(cd "$work/show" && exec "$program") >"$work/program.out" 2>&1 &
program_pid=$!
pids+=($recorder $program_pid)

has_stream() { [ -n "$(pactl list short sink-inputs 2>/dev/null)" ]; }
exited() { ! kill -0 "$program_pid" 2>/dev/null; }
wait_until 30 has_stream || fail "no stream appeared on the sound server while the show played"
pactl list sink-inputs | grep -q 'application.name = "Tessarine"' ||
  fail "the stream is not the show's: $(pactl list sink-inputs | grep application.name)"
sleep 2
exited && fail "the program ended by itself"

window=$(timeout 10 xdotool search --sync --name '^Tessarine$' | head -n 1)
[ -n "$window" ] || fail "no window titled Tessarine"
xdotool mousemove --window "$window" 20 20 key q
wait_until 20 exited || fail "the program did not end after the quit key"
wait "$program_pid" || fail "the program ended with status $?"
no_stream() { ! has_stream; }
wait_until 10 no_stream || fail "the stream outlived the program"

kill "$recorder" 2>/dev/null
wait "$recorder" 2>/dev/null
tone=$("$tool" measure "$work/record.raw")
# The tone is written at 50%: far less means silence, or another pitch, rate or byte order.
[ "${tone:-0}" -ge 35 ] || fail "the sound server did not hear the 440 Hz tone (${tone:-no}% of full scale)"
grep -E 'ALSA lib|libout123|mpg123' "$work/program.out" && fail "the sound libraries printed on the terminal"
echo "PASSED: the music played to the sound server and stopped with the program"

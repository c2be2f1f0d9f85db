#!/usr/bin/env bash
# The real program under a virtual X display and a sound server of the test's own: its
# music plays to the server while the show runs and stops with it, every quit key ends it
# with status 0, F and W switch between full screen and the 400 x 300 window at (16, 32),
# hiding and showing the window keeps it going, and a missing scene file ends the start-up
# with the one error line and status 1.
# In author mode Space holds the picture still, Page Down changes the scene, and R after a
# broken file keeps the show playing. A LightWave scene named by path plays with its objects.
# Usage: program_e2e.sh PROGRAM FIXTURE-GENERATOR
set -uo pipefail

program=$(realpath "$1")
fixture=$(realpath "$2")
for tool in Xvfb xdotool xwininfo ffmpeg pulseaudio pactl parec; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done

readonly kScreen=1024x768
readonly kWindow=400x300+16+32
# Without a window manager, freeglut's full screen is the screen's size but may keep an
# offset of its own; with one, it is the whole screen at (0, 0).
readonly kFullScreen="$kScreen+*"
work=$(mktemp -d)
xvfb_pid=
show_pid=
failures=0

pulse_pid=
cleanup() {
  for pid in $show_pid $xvfb_pid $pulse_pid; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Xvfb chooses a free display and writes its number to descriptor 3.
Xvfb -displayfd 3 -screen 0 "${kScreen}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start"; cat "$work/xvfb.log"; exit 1; }
export DISPLAY=":$(head -n 1 "$work/display")"

# shellcheck source=/dev/null
. "$(dirname "${BASH_SOURCE[0]}")/../support/wait_until.sh"
# Its screen saver is on by default: the player sees it, to hold it off while the show plays.
[ "$("$fixture" saver)" = on ] || fail "the display's screen saver is not seen"

# A sound server of our own: private runtime and state directories, one null sink whose
# monitor is recorded, no session bus, no real-time requests.
mkdir -p "$work/home" "$work/run/pulse" "$work/state"
chmod 700 "$work/run" "$work/run/pulse"
export HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PULSE_RUNTIME_PATH="$work/run/pulse"
export PULSE_STATE_PATH="$work/state" PULSE_SERVER="unix:$work/run/pulse/native"
pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no --realtime=no --high-priority=no \
  --disallow-module-loading=no --log-target=stderr --load="module-native-protocol-unix auth-anonymous=1" \
  --load="module-null-sink sink_name=e2e rate=44100 channels=2" 2>"$work/pulse.log" &
pulse_pid=$!
wait_until 15 pactl info >/dev/null 2>&1 || { echo "the sound server did not start"; cat "$work/pulse.log"; exit 1; }

"$fixture" show "$work/show" && "$fixture" show "$work/show-without-s3" S3.lws || exit 1

# Starts the show in DIR, with any options after it, and waits for its window.
start_show() {
  local dir=$1
  shift
  (cd "$dir" && exec "$program" "$@" >"$work/stdout" 2>"$work/stderr") &
  show_pid=$!
  window=$(timeout 30 xdotool search --sync --onlyvisible --name '^Tessarine$' | head -n 1)
  [ -n "$window" ] || { fail "no window appeared"; cat "$work/stderr"; return 1; }
}

# Waits up to 10 s for the show to end, which must be with status 0.
expect_exit() {
  for _ in $(seq 100); do kill -0 "$show_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$show_pid" 2>/dev/null && fail "$1: the show did not end"
  local status=0
  wait "$show_pid" || status=$?
  show_pid=
  [ "$status" -eq 0 ] || fail "$1: exit status $status"
}

press() {
  xdotool windowfocus --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
  xdotool key "$1"
}

# Polls until the window's geometry, WIDTHxHEIGHT+X+Y as the X server has it, matches $2.
expect_geometry() {
  local now=
  for _ in $(seq 50); do
    now=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
      /Width:/ {w = $NF} /Height:/ {h = $NF} END {print w "x" h "+" x "+" y}')
    # shellcheck disable=SC2053
    [[ "$now" == $2 ]] && return 0
    sleep 0.1
  done
  fail "$1: window is $now, expected $2"
}

press_expecting() {
  press "$1"
  expect_geometry "after $1" "$2"
}

has_stream() { [ -n "$(pactl list short sink-inputs 2>/dev/null)" ]; }
no_stream() { ! has_stream; }
parec -d e2e.monitor --format=s16le --rate=44100 --channels=2 >"$work/record.raw" 2>>"$work/pulse.log" &
recorder=$!
if start_show "$work/show"; then
  wait_until 30 has_stream || fail "no stream appeared on the sound server while the show played"
  pactl list sink-inputs | grep -q 'application.name = "Tessarine"' || fail "the stream is not the show's"
  sleep 2
  press q
  expect_exit "with music"
  wait_until 10 no_stream || fail "the stream outlived the program"
  grep -E 'ALSA lib|libout123|mpg123' "$work/stdout" "$work/stderr" && fail "the sound libraries printed"
fi
kill "$recorder" 2>/dev/null
wait "$recorder" 2>/dev/null
tone=$("$fixture" measure "$work/record.raw")
# The tone is written at 50%: far less means silence, or another pitch, rate or byte order.
[ "${tone:-0}" -ge 35 ] || fail "the sound server did not hear the 440 Hz tone (${tone:-no}% of full scale)"

for key in Q x X Escape; do
  start_show "$work/show" || continue
  sleep 0.5
  press "$key"
  expect_exit "key $key"
  [ -s "$work/stdout" ] && fail "key $key: printed $(cat "$work/stdout")"
done

if start_show "$work/show"; then
  expect_geometry "at start" "$kFullScreen"
  press_expecting w "$kWindow"
  press_expecting f "$kFullScreen"
  press_expecting W "$kWindow"
  # Hidden, the show draws nothing but lives on; shown again, it goes on and still quits.
  xdotool windowunmap --sync "$window"
  sleep 0.5
  kill -0 "$show_pid" 2>/dev/null || fail "the show ended while hidden"
  xdotool windowmap --sync "$window"
  sleep 0.5
  press q
  expect_exit "after hiding"
fi

# After $1 seconds, the 400 x 300 window's pixels, raw, into $2.
screenshot() {
  sleep "$1"
  ffmpeg -loglevel error -y -f x11grab -video_size 400x300 -i "$DISPLAY+16,32" -frames:v 1 -f rawvideo "$2"
}

if start_show "$work/show" --author; then
  # Without the overlay, whose frame rate changes while the picture stands.
  press_expecting w "$kWindow"
  press h && press space && screenshot 0.3 "$work/paused1" && screenshot 1 "$work/paused2"
  cmp -s "$work/paused1" "$work/paused2" || fail "author mode: the paused picture moved"
  press space && screenshot 1 "$work/playing"
  cmp -s "$work/paused2" "$work/playing" && fail "author mode: still the same picture after Space"
  # Paused again, so that only the scene change can change the picture: at the end of the
  # second scene (show time 2 s), whose camera has swayed to its far side.
  press space && press Home && press Right && screenshot 0.3 "$work/before-next"
  press Next && screenshot 0.3 "$work/after-next"
  cmp -s "$work/before-next" "$work/after-next" && fail "author mode: Page Down left the picture as it was"
  printf 'LWSC\n3\nFirstFrame x\n' >"$work/show/Data/S2.lws" && press space && press r && sleep 0.5
  kill -0 "$show_pid" 2>/dev/null || fail "author mode: the show ended on a broken reload"
  grep -q '^Reload refused: .*S2.lws' "$work/stderr" || fail "author mode: no refusal for the broken S2.lws"
  press q
  expect_exit "author mode"
fi

# A LightWave scene by path: an object named by the author's own Windows path is found under
# --content, one that is nowhere is warned of and left out, and the scene plays in author mode.
mkdir -p "$work/lw"
still() { printf '%s (unnamed)\n9\n1\n%s 0 0 0 1 1 1\n0 0 0 0 0\nEndBehavior 1\n' "$1" "$2"; }
{
  printf 'LWSC\n1\n\nFirstFrame 1\nLastFrame 60\nFramesPerSecond 30\n\n'
  printf 'LoadObject C:\\LW\\Data\\Square.lwo\n' && still ObjectMotion "0 0 0"
  printf 'LoadObject gone.lwo\n' && still ObjectMotion "0 0 0"
  printf 'AddLight\nLightName Sun\n' && still LightMotion "0 0 -2"
  still CameraMotion "0 0 -4" && printf 'ZoomFactor 3.2\n'
} >"$work/lw/s.lws"
if start_show "$work" lw/s.lws --content show --window; then
  press_expecting w "$kWindow"
  press h && screenshot 0.5 "$work/lightwave"
  [ "$(od -An -v -tx4 -w4 "$work/lightwave" | sort -u | wc -l)" -gt 1 ] || fail "LightWave scene: nothing drawn"
  grep -q 'lw/s.lws: object gone.lwo not found, so it stays a null' "$work/stderr" ||
    fail "LightWave scene: no warning for the missing object"
  grep -q 'object C:' "$work/stderr" && fail "LightWave scene: the object named by a Windows path was not found"
  press q
  expect_exit "LightWave scene"
fi

# Under the leak checker, Mesa's buffers for a window that was never shown are reported
# after the driver is unloaded at exit, with no module name to suppress them by. What
# the program itself releases on this path is checked by the start-up tests.
(cd "$work" &&
  ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" exec timeout 30 "$program" show-without-s3 >"$work/stdout" 2>"$work/stderr")
status=$?
expected="... And the Error is : I can't open file show-without-s3/Data/S3.lws as rt !"
[ "$status" -eq 1 ] || fail "missing S3.lws: exit status $status, expected 1"
if [ "$(od -An -c "$work/stdout")" != "$(printf '%s' "$expected" | od -An -c)" ]; then
  fail "missing S3.lws: printed '$(cat "$work/stdout")', expected '$expected' with no line break"
fi

if [ "$failures" -ne 0 ]; then
  echo "stderr of the last run:"
  cat "$work/stderr"
  echo "$failures failed"
  exit 1
fi
echo "program end to end: all passed"

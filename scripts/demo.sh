#!/usr/bin/env bash
# Sets up what is missing, builds the saver, makes a demo saver with its own animated movie and
# runs it full-screen under Wine: on the current X display if there is one (press a key or move
# the mouse to end it), otherwise in a virtual display. Saves a screenshot and prints its path.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh all >/dev/null

work=$(realpath -m build/demo)
rm -rf "$work/saver"
mkdir -p "$work/saver"
kit=build/native/tools/saverkit/saverkit
"$kit" demo "$work/Demo.swf" >/dev/null
"$kit" make --out "$work/saver" --name "Velliform Demo" \
  --description "A small animated movie, played by the saver's own player." \
  --movie "$work/Demo.swf" --scr build/win/src/vfsaver.scr --scale-mode 1 --size-percent 100 \
  --loop 1 --mouse-ends-saver 1 --key-mode 0 >/dev/null

source scripts/wine-env.sh
trap vf_wine_end EXIT
vf_wine_session "$work" use-current-display
echo "demo: saver running on display $DISPLAY"
wine "$work/saver/Velliform Demo.scr" /s &
saver=$!

# Let it show a few seconds of the movie, then keep what the screen shows.
sleep 4
shot="$work/demo-screenshot.png"
import -display "$DISPLAY" -window root "$shot"
echo "demo: screenshot saved to $shot"

if [ -n "$vf_xvfb_pid" ]; then
  # Nobody can press a key on a virtual display: end the saver as a user would.
  xdotool key --clearmodifiers Escape || true
else
  echo "demo: press a key or move the mouse to end the saver"
fi
wait "$saver" || true

#!/usr/bin/env bash
# Takes screenshots of the running application on a virtual display, for checking its looks by eye:
#   scripts/screenshots.sh OUTPUT_FOLDER
# Needs a build (build/src/Tavlo) and the test tools of scripts/setup.sh.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" != "--on-display" ]; then
  out=$(realpath -m "${1:?output folder}")
  mkdir -p "$out"
  xvfb-run -a -s "-screen 0 1280x1024x24" "$0" --on-display "$out"
  ls "$out"
  exit 0
fi

out=$2
app=$PWD/build/src/Tavlo
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME="$home"
{
  # Keep one client connected so the server keeps the atoms a window manager would create.
  xprop -root -spy >/dev/null 2>&1 &
  keeper=$!
  sleep 0.3
  xprop -root -f _NET_WM_NAME 8u -set _NET_WM_NAME x >/dev/null 2>&1 || true
  for atom in WM_PROTOCOLS WM_DELETE_WINDOW WM_TAKE_FOCUS _NET_WM_PING _NET_WM_STATE UTF8_STRING; do
    xprop -root -f "TAVLO_$atom" 32a -set "TAVLO_$atom" "$atom" >/dev/null 2>&1 || true
  done

  "$app" &
  pid=$!
  find_window() { for _ in $(seq 1 100); do w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1); [ -n "$w" ] && { echo "$w"; return; }; sleep 0.1; done; }

  splash=$(find_window "Tavlo")
  sleep 0.5
  import -window "$splash" "$out/splash.png"
  xdotool mousemove --window "$splash" 243 280 click 1

  question=$(find_window "Master Type")
  sleep 0.5
  import -window "$question" "$out/master-type.png"
  xdotool windowfocus --sync "$question" key Tab Return

  sleep 1.5
  main=$(xdotool search --onlyvisible --name "Orvane Inc. \(Demo\) Tavlo" | head -1)
  import -window root "$out/main-screen.png"

  xdotool mousemove --window "$main" 30 10 click 1   # the "Tools" menu
  sleep 0.7
  import -window root "$out/menu-tools.png"
  xdotool key Escape
  sleep 0.3
  xdotool mousemove --window "$main" 120 10 click 1  # "Help"
  sleep 0.7
  import -window root "$out/menu-help.png"
  xdotool key Down Down Return                        # "About"
  about=$(find_window "About")
  sleep 0.7
  [ -n "$about" ] && import -window "$about" "$out/about.png"

  kill "$pid" "$keeper" 2>/dev/null || true
}

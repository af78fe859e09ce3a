#!/usr/bin/env bash
# Pictures of the Device View for docs/: runs the built designer on a virtual
# X display, opens the showcase project and drives the windows with xdotool,
# then saves the screen with ImageMagick's import.
#   scripts/deviceview_screenshots.sh [OUTDIR]   (default: docs)
# The click positions follow the window layout at the zooms chosen below.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath "${1:-docs}")
work=$(mktemp -d)
cp -r build/bin "$work/app"
cp -r tests/data/preview/showcase "$work/"
mkdir "$work/config"
display=:97
Xvfb $display -screen 0 1800x1500x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display
sleep 1
XDG_CONFIG_HOME="$work/config" "$work/app/tessaro" >/dev/null 2>&1 &
app=$!
trap 'kill $app $xvfb 2>/dev/null || true; rm -rf "$work"' EXIT

click() { xdotool mousemove "$1" "$2"; sleep 0.3; xdotool mousedown 1; sleep 0.1; xdotool mouseup 1; sleep 0.8; }

main=$(xdotool search --sync --name '^Tessaro$' | head -1)
sleep 2
xdotool windowmove "$main" 20 40
sleep 0.5
click 163 48                                  # "Open/Save" page
click 120 280                                 # "Open *.TRPF Project File"
sleep 1
xdotool type --delay 20 "$work/showcase/showcase.trpf"
xdotool key Return
sleep 2
click 55 48                                   # "Home Screen" page (the first click
click 55 48                                   # after the dialog only activates)
xdotool windowfocus "$main"
sleep 0.3
xdotool key ctrl+d                            # the Device View
view=$(xdotool search --sync --name '^Device View$' | head -1)
xdotool windowmove "$view" 250 40
xdotool windowsize "$view" 560 780            # fitted: 3x
sleep 1
click $((250 + 16 + 3 * 165)) $((40 + 65 + 3 * 125))   # the Calendar entry
import -window root -crop 800x830+10+30 +repage "$out/deviceview.png"
click 347 56                                  # "Selected state" off
import -window root -crop 560x780+250+40 +repage "$out/deviceview_plain.png"
click 347 56                                  # and on again
xdotool windowsize "$view" 1000 1190          # fitted: 5x
sleep 1
click 501 56                                  # "Grid"
click $((250 + 60 + 5 * 110 + 2)) $((40 + 54 + 5 * 140 + 2))   # the "Location" label
import -window root -crop 900x470+300+510 +repage "$out/deviceview_zoom.png"
echo "pictures in $out"

#!/bin/sh
# The game on an 800 x 600 screen: after the small-screen question the main
# window lies inside the screen with its whole caption, the caption shows the
# build's version although LUMARRA_HOME names a data-only folder, the system
# menu opens below the caption icon and the version box opens centred over
# the window.
#   SmallScreenE2eTest.sh <lumarra> <version "major.minor"> <screenshot folder>
game="$1"
version="$2"
shots="$3"
. "$(dirname "$0")/../childlock/PrivateDisplay.sh"
. "$(dirname "$0")/GameSession.sh"
require_tools Xvfb xdotool xwininfo import
mkdir -p "$shots"

fail() {
    echo "FAIL: $*"
    [ -n "$DISPLAY" ] && import -window root "$shots/small_failure.png" 2>/dev/null
    exit 1
}

open_work_folder
start_private_xvfb 800x600x24 || exit 77

use_private_game_home "$work"

# "x y width height" of the first top-level window whose name has $1.
geometry_of() {
    xwininfo -root -children 2>/dev/null | grep -F "$1" | head -n 1 \
        | sed -n 's/.*  \([0-9]*\)x\([0-9]*\)+\(-*[0-9]*\)+\(-*[0-9]*\) .*/\3 \4 \1 \2/p'
}
wait_for_window() {
    for i in $(seq 1 300); do
        found=$(geometry_of "$1")
        [ -n "$found" ] && echo "$found" && return 0
        sleep 0.1
    done
    return 1
}

"$game" >"$work/out" 2>&1 &
game_pid=$!
# The question about the small screen comes first: go on with the game.
sleep 2
xdotool key Return

main=$(wait_for_window "version $version") || fail "no window titled 'version $version'"
set -- $main
left=$1 top=$2 width=$3 height=$4
[ "$left" -ge 0 ] && [ "$top" -ge 0 ] || fail "the window lies at $left,$top, off the screen"
[ $((left + width)) -le 800 ] && [ $((top + height)) -le 600 ] || fail "the window ${width}x$height at $left,$top leaves the screen"
sleep 1
import -window root "$shots/small_screen.png"

# The caption icon opens the system menu below the caption.
xdotool mousemove $((left + 14)) $((top + 13)) click 1
menu=""
for i in $(seq 1 30); do
    sleep 0.1
    menu=$(xwininfo -root -children 2>/dev/null | grep "has no name" \
        | sed -n 's/.*  \([0-9]*\)x\([0-9]*\)+\([0-9]*\)+\([0-9]*\) .*/\3 \4 \1 \2/p' \
        | while read -r x y w h; do
            [ "$w" -gt 100 ] && [ "$w" -lt 500 ] && [ "$h" -gt 40 ] && [ "$h" -lt 300 ] && echo "$x $y $w $h" && break
        done)
    [ -n "$menu" ] && break
done
[ -n "$menu" ] || fail "no system menu"
set -- $menu
[ "$2" -ge $((top + 26)) ] || fail "the system menu at $1,$2 covers the caption"
import -window root "$shots/small_system_menu.png"

# Its last item opens the version box, centred over the window.
xdotool mousemove $(($1 + 40)) $(($2 + $4 - 12)) click 1
box=$(wait_for_window "のバージョン情報") || fail "no version box"
set -- $box
centre_x=$(($1 + $3 / 2 - left - width / 2))
centre_y=$(($2 + $4 / 2 - top - height / 2))
[ "${centre_x#-}" -le 2 ] && [ "${centre_y#-}" -le 2 ] || fail "the version box is off centre by $centre_x,$centre_y"
import -window root "$shots/small_version_box.png"
exit 0

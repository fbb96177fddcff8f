#!/bin/sh
# Plays the start of a session on a private Xvfb server: the game window
# comes up with its caption and stage, the mode button asks and stores the
# new mode, a caption button shows its tip, a title choice asks and "no"
# brings the menu back, and the close button ends the program at once.
# Then "/regist" runs without any window.
#   GameE2eTest.sh <lumarra> <screenshot folder>
game="$1"
shots="$2"
command -v Xvfb >/dev/null 2>&1 || exit 77
command -v xdotool >/dev/null 2>&1 || exit 77
command -v import >/dev/null 2>&1 || exit 77
mkdir -p "$shots"
. "$(dirname "$0")/GameSession.sh"

fail() {
    echo "FAIL: $*"
    exit 1
}

display=""
for n in $(seq 141 190); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
    fi
done
[ -n "$display" ] || exit 77

work=$(mktemp -d)
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
    kill $xvfb 2>/dev/null
    wait $xvfb 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
for i in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done

export DISPLAY="$display"
# The welcome page would open over the caption a second after the title.
use_private_game_home "$work"

# The color of one screen pixel as "r,g,b".
pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null \
        | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1
}

"$game" >"$work/out" 2>&1 &
game_pid=$!

find_game_window || fail "no game window"
left=$X
top=$Y
right=$((X + WIDTH))
[ "$WIDTH" = 984 ] && [ "$HEIGHT" = 628 ] || fail "window is ${WIDTH}x$HEIGHT"

# The caption band in its active color, and a stage that is drawn.
band=""
for i in $(seq 1 50); do
    band=$(pixel $((left + 400)) $((top + 13)))
    [ "$band" = "108,95,55" ] && break
    sleep 0.1
done
[ "$band" = "108,95,55" ] || fail "caption band is $band"
sleep 0.5
import -window root "$shots/first_scene.png"
stage=$(pixel $((left + 490)) $((top + 326)))
[ -n "$stage" ] && [ "$stage" != "0,0,0" ] && [ "$stage" != "255,255,255" ] || fail "stage is $stage"
close_face=$(pixel $((right - 13)) $((top + 13)))
[ "$close_face" != "$band" ] || fail "no close button"

# Mode button: from click mode (the default) to hover mode.
xdotool mousemove $((right - 71)) $((top + 13)) click 1
sleep 1
import -window root "$shots/mode_message.png"
xdotool key Return
stored=""
for i in $(seq 1 50); do
    stored=$(grep -i '"bClick"' "$LUMARRA_REGISTRY_DIR"/*.reg 2>/dev/null)
    [ -n "$stored" ] && break
    sleep 0.1
done
echo "$stored" | grep -qi 'dword:00000000' || fail "bClick not stored as 0: '$stored'"

# Resting on the music button brings its tip up under the pointer.
music_x=$((right - 103))
xdotool mousemove $((music_x - 30)) $((top + 60))
sleep 0.3
xdotool mousemove $music_x $((top + 13))
tip=""
for i in $(seq 1 30); do
    sleep 0.1
    tip=$(pixel $((music_x + 2)) $((top + 13 + 20 + 2)))
    [ "$tip" = "255,255,232" ] && break
done
import -window root "$shots/caption_tip.png"
[ "$tip" = "255,255,232" ] || fail "no tip under the music button ($tip)"

# The title menu: a choice asks yes or no, and "no" brings the five choices
# back as they were. The stage lies 2 pixels in, under the 26-pixel caption.
stage_x=$((left + 2))
stage_y=$((top + 26))
question_band() {
    import -window root -crop "980x40+$stage_x+$((stage_y + 328))" +repage "$1"
}
differing() {
    compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1
}
question_band "$work/menu_band.png"
xdotool mousemove $((stage_x + 265)) $((stage_y + 250)) click 1
sleep 1
import -window root "$shots/title_confirm.png"
question_band "$work/confirm_band.png"
[ "$(differing "$work/menu_band.png" "$work/confirm_band.png")" != 0 ] || fail "choosing did not ask"
xdotool mousemove $((stage_x + 560)) $((stage_y + 430)) click 1
sleep 1
question_band "$work/again_band.png"
again=$(differing "$work/menu_band.png" "$work/again_band.png")
[ "$again" = 0 ] || fail "the menu did not come back ($again pixels differ)"
import -window root "$shots/title_menu.png"

# Close button: the program ends with status 0 within 3 seconds.
xdotool mousemove $((right - 13)) $((top + 13)) click 1
start=$(date +%s%N)
ended=0
for i in $(seq 1 30); do
    if ! kill -0 $game_pid 2>/dev/null; then ended=1; break; fi
    sleep 0.1
done
[ $ended = 1 ] || fail "still running 3 s after close"
wait $game_pid
status=$?
game_pid=""
cat "$work/out"
[ $status = 0 ] || fail "exit status $status"
echo "closed after $(( ($(date +%s%N) - start) / 1000000 )) ms"

# "/regist" needs no display at all.
env -u DISPLAY SDL_VIDEODRIVER=x11 timeout 60 "$game" /regist || fail "/regist failed"
if [ -d "$LUMARRA_HOME/Data" ]; then
    for f in "$LUMARRA_HOME"/Data/*.dat; do
        [ -s "$f" ] || fail "empty cache file $f"
    done
    echo "cache files: $(ls "$LUMARRA_HOME/Data" | wc -l)"
else
    echo "no pictures packed into this build: no cache files"
fi
exit 0

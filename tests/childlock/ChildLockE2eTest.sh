#!/bin/sh
# The child lock on a private Xvfb server under a real window manager
# (openbox with its default key bindings, so its shortcuts are live):
#  1. the welcome dialog opens once the title is up; ticking its box writes
#     "startup.ini";
#  2. the mask button covers the screen (another program's window behind),
#     locks the keyboard and shows the notice, whose box sets "bMaskRun";
#  3. with the mask on, keys and the window manager's shortcuts change
#     nothing: the game keeps the focus, no menu or window appears;
#  4. close and minimise show the mask message; a wrong word is told and
#     keeps the mask; "zep" and Enter switch it off and free the keyboard;
#  5. a restart with "bMaskRun" starts masked and shows the notice only after
#     the title; SIGTERM while a dialog is open ends the game cleanly and
#     frees the keyboard; so does SIGKILL, at once.
#   ChildLockE2eTest.sh <lumarra> <grab_probe> <screenshot folder>
game="$1"
probe="$2"
shots="$3"
for tool in Xvfb xdotool import compare openbox xmessage xprop; do
    command -v $tool >/dev/null 2>&1 || { echo "skipped: no $tool"; exit 77; }
done
mkdir -p "$shots"

fail() {
    echo "FAIL: $*"
    if [ -n "$game_pid" ] && ! kill -0 "$game_pid" 2>/dev/null; then
        wait "$game_pid"
        echo "the game has ended with status $?"
    fi
    [ -n "$work" ] && [ -f "$work/out" ] && cat "$work/out"
    [ -n "$DISPLAY" ] && import -window root "$shots/failure.png" 2>/dev/null
    exit 1
}

work=$(mktemp -d)
xvfb=""
wm=""
other=""
game_pid=""
cleanup() {
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
    [ -n "$other" ] && kill "$other" 2>/dev/null
    [ -n "$wm" ] && kill "$wm" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

. "$(dirname "$0")/PrivateDisplay.sh"
start_private_xvfb
[ -n "$xvfb" ] || { echo "skipped: no free display in :71-:79"; exit 77; }

# openbox with its built-in configuration and key bindings.
HOME="$work" XDG_CONFIG_HOME="$work/config" openbox >"$work/openbox.log" 2>&1 &
wm=$!
for i in $(seq 1 150); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id" || { cat "$work/openbox.log"; fail "openbox did not start"; }
xmessage -geometry 400x200+40+40 "another program" >/dev/null 2>&1 &
other=$!

export SDL_VIDEODRIVER=x11 LUMARRA_AUDIO=null LUMARRA_TIME_SCALE=4
export LUMARRA_REGISTRY_DIR="$work/registry" LUMARRA_HOME="$work/home"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
mkdir -p "$LUMARRA_REGISTRY_DIR" "$LUMARRA_HOME"

pixel() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null \
        | sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p' | head -n 1
}

# Waits up to $2 tenths of a second for `$1` to succeed.
wait_for() {
    for i in $(seq 1 "$2"); do
        eval "$1" && return 0
        sleep 0.1
    done
    return 1
}

keyboard_held() { [ "$("$probe")" = held ]; }
keyboard_free() { [ "$("$probe")" = free ]; }

start_game() {
    "$game" >"$work/out" 2>&1 &
    game_pid=$!
    main=""
    wait_for 'find_main' 300 || fail "no game window"
}

# The main window: the game's 984-pixel-wide window.
find_main() {
    for candidate in $(xdotool search --onlyvisible --pid $game_pid 2>/dev/null); do
        eval "$(xdotool getwindowgeometry --shell "$candidate" 2>/dev/null)"
        if [ "$WIDTH" = 984 ]; then
            main=$candidate
            left=$X
            top=$Y
            right=$((X + WIDTH))
            return 0
        fi
    done
    return 1
}

# The game's visible window named exactly $1, other than the main window.
dialog=""
find_dialog() {
    dialog=""
    for candidate in $(xdotool search --onlyvisible --pid $game_pid 2>/dev/null); do
        [ "$candidate" = "$main" ] && continue
        [ "$(xdotool getwindowname "$candidate" 2>/dev/null)" = "$1" ] || continue
        eval "$(xdotool getwindowgeometry --shell "$candidate" 2>/dev/null)"
        dialog=$candidate
        return 0
    done
    return 1
}
no_dialog() { ! find_dialog "$1"; }

focus_is_game() {
    [ "$(xdotool getwindowfocus getwindowpid 2>/dev/null)" = "$game_pid" ]
}

click_caption() { xdotool mousemove $((right - $1)) $((top + 13)) click 1; }
mask_button() { click_caption 87; }
rest_pointer() { xdotool mousemove $((left + 490)) $((top + 326)); }
# The title's marker icon blinks: the screen before the keys is a set of
# screenshots over more than one blink period, and the screen after them
# must equal one of those.
shots_over_blink() {
    for i in $(seq 1 12); do
        import -window root "$1.$i.png"
        sleep 0.1
    done
}
equals_one_of() {
    for i in $(seq 1 12); do
        [ "$(compare -metric AE "$2.$i.png" "$1" null: 2>&1)" = 0 ] && return 0
    done
    return 1
}

caption="Lumarra（Velmora）"

# 1. Welcome dialog once the title is up.
start_game
wait_for 'find_dialog "ようこそLumarra（Velmora）へ"' 100 || fail "no welcome dialog"
sleep 0.3
import -window root "$shots/welcome.png"
# Its check box: dialog units (45, 219) of 320 x 248.
xdotool mousemove $((X + 1 + 45 * (WIDTH - 2) / 320)) $((Y + 25 + 219 * (HEIGHT - 26) / 248)) click 1
wait_for 'grep -q NoWelcome "$LUMARRA_HOME/startup.ini" 2>/dev/null' 30 || fail "startup.ini not written"
xdotool key Return
wait_for 'no_dialog "ようこそLumarra（Velmora）へ"' 30 || fail "welcome dialog stays"
keyboard_free || fail "keyboard held without the mask"

# 2. Mask on: backdrop over the other window, the notice, the keyboard held.
corner_before=$(pixel 100 100)
mask_button
wait_for 'find_dialog "$caption"' 50 || fail "no mask notice"
# The grab follows the focus from the game to the notice: give it the moment.
wait_for 'keyboard_held' 30 || fail "keyboard free with the mask on"
sleep 0.3
import -window root "$shots/mask_notice.png"
corner=$(pixel 100 100)
[ "$corner" != "$corner_before" ] || fail "the other window is not covered ($corner)"
# The notice's check box: dialog units (45, 55) of 262 x 94.
xdotool mousemove $((X + 1 + 45 * (WIDTH - 2) / 262)) $((Y + 25 + 55 * (HEIGHT - 26) / 94)) click 1
sleep 0.2
xdotool key Return
wait_for 'no_dialog "$caption"' 30 || fail "notice stays"
wait_for 'grep -qi "\"bMaskRun\"=dword:00000001" "$LUMARRA_REGISTRY_DIR"/*.reg 2>/dev/null' 30 \
    || fail "bMaskRun not stored"

# 3. The pointer cannot reach the screen's corners and edges, and keys and
# shortcuts change nothing.
xdotool mousemove 0 0
sleep 0.2
eval "$(xdotool getmouselocation --shell)"
[ "$X" -ge "$left" ] && [ "$Y" -ge "$top" ] || fail "the pointer reached $X,$Y"
xdotool mousemove 1279 1023
sleep 0.2
eval "$(xdotool getmouselocation --shell)"
[ "$X" -lt "$right" ] && [ "$Y" -lt 1023 ] || fail "the pointer reached $X,$Y"
rest_pointer
wait_for 'focus_is_game' 30 || fail "the game lost the focus after the notice"
shots_over_blink "$work/before"
for key in q a 1 9 Escape BackSpace space Left super super+d alt+Tab alt+space alt+F4 ctrl+Escape \
    ctrl+alt+Left ctrl+alt+Right shift+alt+Left shift+F10 ctrl+w ctrl+q alt+Escape Menu; do
    xdotool key $key
    sleep 0.15
    focus_is_game || fail "$key took the focus away"
done
sleep 0.5
import -window root "$shots/mask_after_keys.png"
if ! equals_one_of "$shots/mask_after_keys.png" "$work/before"; then
    changed=$(compare -metric AE "$work/before.1.png" "$shots/mask_after_keys.png" null: 2>&1)
    fail "the keys changed the screen ($changed pixels)"
fi
kill -0 $game_pid 2>/dev/null || fail "the game ended"
[ "$(pixel 100 100)" = "$corner" ] || fail "the mask went away"

# 4. Close and minimise are refused; a wrong word keeps the mask; zep ends it.
click_caption 13
wait_for 'find_dialog "$caption"' 50 || fail "no mask message for close"
import -window root "$shots/close_refused.png"
xdotool key Return
wait_for 'no_dialog "$caption"' 30 || fail "mask message stays"
click_caption 47
wait_for 'find_dialog "$caption"' 50 || fail "no mask message for minimise"
xdotool key Return
wait_for 'no_dialog "$caption"' 30 || fail "mask message stays"
kill -0 $game_pid 2>/dev/null || fail "the game ended on close"

mask_button
wait_for 'find_dialog " $caption"' 50 || fail "no release prompt"
xdotool type --delay 50 zap
xdotool key Return
wait_for 'find_dialog "$caption"' 50 || fail "no wrong-word message"
import -window root "$shots/wrong_word.png"
xdotool key Return
wait_for 'no_dialog "$caption"' 30 || fail "wrong-word message stays"
keyboard_held || fail "a wrong word freed the keyboard"
[ "$(pixel 100 100)" = "$corner" ] || fail "a wrong word took the mask away"

mask_button
wait_for 'find_dialog " $caption"' 50 || fail "no release prompt"
xdotool type --delay 50 zep
sleep 0.3
import -window root "$shots/release_prompt.png"
xdotool key Return
wait_for 'no_dialog " $caption"' 30 || fail "release prompt stays"
wait_for 'keyboard_free' 30 || fail "keyboard still held after the release word"
[ "$(pixel 100 100)" = "$corner_before" ] || fail "the mask did not go"
click_caption 13
wait_for '! kill -0 $game_pid 2>/dev/null' 50 || fail "close button did not end the game"
wait $game_pid || fail "exit status $?"
game_pid=""

# 5. Restart masked: held at once, the notice only after the title.
start_game
keyboard_held || wait_for 'keyboard_held' 20 || fail "restart with bMaskRun is not locked"
wait_for 'find_dialog "$caption"' 100 || fail "no notice at a masked start"
stage=$(pixel $((left + 490)) $((top + 326)))
[ -n "$stage" ] && [ "$stage" != "0,0,0" ] || fail "notice before the title ($stage)"
import -window root "$shots/mask_at_start.png"
kill -TERM $game_pid
wait_for '! kill -0 $game_pid 2>/dev/null' 50 || fail "SIGTERM with the notice open did not end the game"
wait $game_pid || fail "SIGTERM exit status $?"
game_pid=""
keyboard_free || fail "keyboard held after SIGTERM"

start_game
wait_for 'keyboard_held' 50 || fail "restart with bMaskRun is not locked"
kill -KILL $game_pid
wait $game_pid 2>/dev/null
game_pid=""
wait_for 'keyboard_free' 10 || fail "keyboard still held after SIGKILL"
echo "child lock: all steps passed"
exit 0

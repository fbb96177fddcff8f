#!/bin/sh
# The game under a Wayland compositor: it starts with the desktop mask on
# (the keyboard lock asks the compositor to inhibit its shortcuts and confine
# the pointer), shows the mask's notice over its title, and ends cleanly on
# SIGTERM. Weston runs on its X11 backend inside a private Xvfb server: its
# headless backend offers no seat, and SDL 2.26 fails to start without one.
#   WaylandTest.sh <lumarra> <screenshot>
game="$1"
shot="$2"
for tool in weston Xvfb import; do
    command -v $tool >/dev/null 2>&1 || { echo "skipped: no $tool"; exit 77; }
done

work=$(mktemp -d)
weston_pid=""
game_pid=""
xvfb=""
cleanup() {
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() {
    echo "FAIL: $*"
    cat "$work/weston.log" "$work/out" 2>/dev/null
    exit 1
}

mkdir -p "$(dirname "$shot")"
. "$(dirname "$0")/PrivateDisplay.sh"
start_private_xvfb || { echo "skipped: no free display in :71-:79"; exit 77; }
x_display="$DISPLAY"

export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
socket="lumarra-test-$$"
weston --backend=x11-backend.so --socket="$socket" --idle-time=0 --width=1280 --height=1000 \
    >"$work/weston.log" 2>&1 &
weston_pid=$!
for i in $(seq 1 100); do
    [ -S "$XDG_RUNTIME_DIR/$socket" ] && break
    kill -0 $weston_pid 2>/dev/null || break
    sleep 0.1
done
[ -S "$XDG_RUNTIME_DIR/$socket" ] || { cat "$work/weston.log"; echo "skipped: weston did not start"; exit 77; }

mkdir -p "$work/registry" "$work/home"
printf 'Lumarra Registry 1\n\n[HKEY_CURRENT_USER\\Software\\Orvella\\Korimba]\n"bMaskRun"=dword:00000001\n' \
    >"$work/registry/HKEY_CURRENT_USER.reg"
export WAYLAND_DISPLAY="$socket" SDL_VIDEODRIVER=wayland LUMARRA_AUDIO=null LUMARRA_TIME_SCALE=4
export LUMARRA_REGISTRY_DIR="$work/registry" LUMARRA_HOME="$work/home"
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
unset DISPLAY

"$game" >"$work/out" 2>&1 &
game_pid=$!
# Long enough for the title to come up and the notice's timer to fire.
sleep 5
kill -0 $game_pid 2>/dev/null || { wait $game_pid; fail "the game ended by itself (status $?)"; }
DISPLAY="$x_display" import -window root "$shot"
kill -TERM $game_pid
for i in $(seq 1 50); do
    kill -0 $game_pid 2>/dev/null || break
    sleep 0.1
done
kill -0 $game_pid 2>/dev/null && fail "still running 5 s after SIGTERM"
wait $game_pid
status=$?
game_pid=""
[ $status = 0 ] || fail "exit status $status"
echo "wayland: started masked and ended cleanly"
exit 0

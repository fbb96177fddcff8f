# Sourced by the end-to-end tests.

# require_tools <tool>…: the test is skipped (status 77) when one is missing.
require_tools() {
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || { echo "no $tool"; exit 77; }
    done
}

# open_work_folder sets $work to a fresh folder; at exit the game
# ($game_pid) and the private X server ($xvfb) are ended and the folder is
# removed, read-only parts included.
open_work_folder() {
    work=$(mktemp -d)
    game_pid=""
    trap end_session EXIT
}
end_session() {
    [ -n "$game_pid" ] && kill -9 "$game_pid" 2>/dev/null
    [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
    chmod -R u+w "$work" 2>/dev/null
    rm -rf "$work"
}

# use_private_game_home <folder>: the game on the X server, with a silent
# sound output and its registry and program folder under <folder>, without
# the welcome page (its own run is in the child-lock test).
use_private_game_home() {
    export SDL_VIDEODRIVER=x11 LUMARRA_AUDIO=null
    export LUMARRA_REGISTRY_DIR="$1/registry" LUMARRA_HOME="$1/home"
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
    mkdir -p "$LUMARRA_REGISTRY_DIR" "$LUMARRA_HOME"
    printf NoWelcome >"$LUMARRA_HOME/startup.ini"
}

# find_game_window waits up to 30 s for the game's main window (984 pixels
# wide with its frame) and sets $window and its $X, $Y, $WIDTH and $HEIGHT;
# it fails when none comes up.
find_game_window() {
    window=""
    WIDTH=""
    HEIGHT=""
    for i in $(seq 1 300); do
        for candidate in $(xdotool search --onlyvisible --name "Lumarra" 2>/dev/null); do
            geometry=$(xdotool getwindowgeometry --shell "$candidate" 2>/dev/null) || continue
            eval "$geometry"
            if [ "$WIDTH" = 984 ]; then
                window=$candidate
                return 0
            fi
        done
        sleep 0.1
    done
    return 1
}

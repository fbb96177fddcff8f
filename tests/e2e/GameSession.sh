# Sourced by the end-to-end tests.

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

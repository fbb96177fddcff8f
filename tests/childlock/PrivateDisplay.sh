# Sourced by the tests on a real X server: starts Xvfb on the first free
# display of :71-:79 (others' servers use other numbers) with a screen of
# $1 (default 1280x1024x24) and exports DISPLAY; sets $xvfb to its process
# id, or leaves it empty when none would start.
start_private_xvfb() {
    xvfb=""
    screen="${1:-1280x1024x24}"
    for n in $(seq 71 79); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
        xvfb=$!
        for i in $(seq 1 50); do
            [ -e "/tmp/.X11-unix/X$n" ] && break
            kill -0 $xvfb 2>/dev/null || break
            sleep 0.1
        done
        if kill -0 $xvfb 2>/dev/null && [ -e "/tmp/.X11-unix/X$n" ]; then
            export DISPLAY=":$n"
            return 0
        fi
        # Another server took the number between the test and the start.
        xvfb=""
    done
    return 1
}

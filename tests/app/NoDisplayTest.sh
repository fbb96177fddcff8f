#!/bin/bash
# With DISPLAY naming no server, the game must not run unseen: it says so on
# stderr and ends with a failure status, within 5 seconds.
game="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; cat "$work/err" 2>/dev/null; exit 1; }

display=""
for n in $(seq 4100 4199); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free display number"; exit 77; }

start=$(date +%s%N)
env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY="$display" LUMARRA_AUDIO=null \
    LUMARRA_HOME="$work" LUMARRA_REGISTRY_DIR="$work/registry" \
    timeout 5 "$game" >"$work/out" 2>"$work/err"
status=$?
[ $status != 124 ] || fail "still running after 5 s"
[ $status != 0 ] || fail "exit status 0"
grep -q "display" "$work/err" || fail "no word about the display on stderr"
echo "status $status after $(( ($(date +%s%N) - start) / 1000000 )) ms: $(cat "$work/err")"

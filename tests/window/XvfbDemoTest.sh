#!/bin/sh
# Runs window_demo on a private Xvfb server and takes a screenshot of the
# whole screen while every part of it is shown.
#   XvfbDemoTest.sh <window_demo> <screenshot.png>
demo="$1"
shot="$2"
command -v Xvfb >/dev/null 2>&1 || exit 77
command -v import >/dev/null 2>&1 || exit 77

display=""
for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
        display=":$n"
        break
    fi
done
[ -n "$display" ] || exit 77

Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
for i in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done

out=$(mktemp)
# The X11 client libraries and D-Bus keep some memory of their own until the
# process ends; leak checks belong to the run under the dummy driver.
ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
DISPLAY="$display" SDL_VIDEODRIVER=x11 "$demo" --hold 1500 >"$out" 2>&1 &
demo_pid=$!
ready=0
for i in $(seq 1 100); do
    if grep -q READY "$out"; then ready=1; break; fi
    kill -0 $demo_pid 2>/dev/null || break
    sleep 0.1
done
if [ $ready = 1 ]; then
    DISPLAY="$display" import -window root "$shot"
fi
wait $demo_pid
status=$?
cat "$out"
rm -f "$out"
[ $ready = 1 ] || { echo "window_demo never got ready"; exit 1; }
[ -s "$shot" ] || { echo "no screenshot"; exit 1; }
exit $status

#!/bin/sh
# Installs the build into a fresh prefix that its user cannot write and
# starts the installed game there as a user other than root, with a home of
# its own: the menu entry and the AppStream metadata validate, the game comes
# up, and what it writes (the picture cache of "/regist") lands in
# ~/.local/share/lumarra, never in the prefix. At the end the prefix's and
# the user's files are listed beside the screenshot.
#   InstallE2eTest.sh <build folder> <screenshot folder>
build="$1"
shots="$2"
. "$(dirname "$0")/../childlock/PrivateDisplay.sh"
. "$(dirname "$0")/GameSession.sh"
require_tools Xvfb xwininfo import identify desktop-file-validate appstreamcli
mkdir -p "$shots"

fail() {
    echo "FAIL: $*"
    [ -n "$DISPLAY" ] && import -window root "$shots/install_failure.png" 2>/dev/null
    [ -f "$work/out" ] && cat "$work/out"
    exit 1
}

open_work_folder
# The unprivileged user must reach the prefix and its own home.
chmod 755 "$work"
prefix="$work/prefix"
home="$work/home"
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; fail "install failed"; }
chmod -R a-w "$prefix"
mkdir -p "$home"

desktop="$prefix/share/applications/org.example.lumarra.desktop"
desktop-file-validate "$desktop" || fail "the menu entry does not validate"
appstreamcli validate --no-net "$prefix/share/metainfo/org.example.lumarra.metainfo.xml" \
    || fail "the AppStream metadata does not validate"
[ "$(sed -n 's/^Exec=//p' "$desktop")" = lumarra ] || fail "the menu entry does not start lumarra"
for size in 16 32 48 64 128 256; do
    icon="$prefix/share/icons/hicolor/${size}x$size/apps/lumarra.png"
    identify -format '%wx%h' "$icon" 2>/dev/null | grep -qx "${size}x$size" || fail "no ${size}px icon"
done
[ -s "$prefix/share/lumarra/Data/Sound01.mp3" ] || fail "the sounds were not installed"

# As "nobody" when run as root: root may write anywhere.
run_as=""
if [ "$(id -u)" = 0 ]; then
    chown 65534:65534 "$home"
    run_as="setpriv --reuid=65534 --regid=65534 --clear-groups"
fi

start_private_xvfb 1280x1024x24 || exit 77
# The game as a menu starts it: no LUMARRA_HOME, nothing pointing into the
# build; the welcome page is left to open.
env -i HOME="$home" DISPLAY="$DISPLAY" PATH="$prefix/bin:/usr/bin:/bin" SDL_VIDEODRIVER=x11 LUMARRA_AUDIO=null \
    $run_as lumarra >"$work/out" 2>&1 &
game_pid=$!

found=""
for i in $(seq 1 300); do
    found=$(xwininfo -root -children 2>/dev/null | grep -F "Lumarra（Velmora）version")
    [ -n "$found" ] && break
    kill -0 "$game_pid" 2>/dev/null || fail "the installed game ended at once"
    sleep 0.1
done
[ -n "$found" ] || fail "no game window"

sleep 2
import -window root "$shots/installed_game.png"
kill -TERM "$game_pid"
for i in $(seq 1 50); do
    kill -0 "$game_pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$game_pid" 2>/dev/null && fail "still running after SIGTERM"
game_pid=""

# The picture cache, as the installed copy prebuilds it: every file in the
# user's folder, owned by the user, none in the prefix.
own="$home/.local/share/lumarra"
env -i HOME="$home" PATH="$prefix/bin:/usr/bin:/bin" $run_as lumarra /regist >"$work/out" 2>&1 \
    || fail "/regist of the installed copy failed"
cached=$(find "$own/Data" -name '*.dat' 2>/dev/null | wc -l)
[ "$cached" -gt 0 ] || fail "no picture cache in $own/Data"
if [ "$(id -u)" = 0 ]; then
    [ -z "$(find "$own" ! -uid 65534)" ] || fail "files in $own that are not the user's"
fi
[ -z "$(find "$prefix" -name '*.dat' -o -name 'startup.ini' -o -name '*.tmp*')" ] \
    || fail "the game wrote into the prefix"

{
    echo "# installed into $prefix"
    (cd "$prefix" && find . \( -path ./share/lumarra/Wave -prune \) -o -print | sort)
    echo "./share/lumarra/Wave: $(find "$prefix/share/lumarra/Wave" -type f | wc -l) sound files"
    echo "# the user's files in $own"
    (cd "$own" && find . -type f | sort | sed -n '1,5p;$p')
    echo "($(find "$own" -type f | wc -l) files)"
} >"$shots/installed_files.txt"
cat "$shots/installed_files.txt"
exit 0

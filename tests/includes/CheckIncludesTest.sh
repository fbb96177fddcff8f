#!/usr/bin/env bash
# The include check on small made-up trees: what it must refuse and what it
# must let through.
set -euo pipefail
check=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# Lays out a tree from "path:line" pairs, one file per pair.
tree()
{
    rm -rf "$work/tree"
    local entry
    for entry in "$@"; do
        mkdir -p "$work/tree/$(dirname "${entry%%:*}")"
        printf '%s\n' "${entry#*:}" >> "$work/tree/${entry%%:*}"
    done
}

expect()
{
    local want=$1 name=$2
    local got=pass
    bash "$check" "$work/tree" > "$work/out" 2>&1 || got=fail
    if [[ $got != "$want" ]]; then
        echo "FAIL $name: expected $want, got $got" >&2
        cat "$work/out" >&2
        failures=$((failures + 1))
    fi
}

tree 'platform/audio/Voice.h:#include <SDL2/SDL_audio.h>' 'platform/audio/Voice.cpp:#include <SDL.h>' \
    'audio/Sound.cpp:#include "platform/audio/Mixer.h"' 'platform/audio/Mixer.h:#include "platform/gdi/Types.h"' \
    'audio/Mp3Decoder.cpp:#include <lame/lame.h>' 'tests/window/Support.h:#include <SDL.h>' \
    'tools/pictures/Font.cpp:#include <fontconfig/fontconfig.h>'
expect pass "SDL inside platform/, lame in the decoder, tests and tools"

tree 'graphics/Text.cpp:  #  include <ft2build.h>'
expect fail "FreeType included directly"

tree 'game/Scene.cpp:#include "platform/window/Window.h"' 'platform/window/Window.h:#include "platform/window/Sdl.h"' \
    'platform/window/Sdl.h:#include <SDL2/SDL_video.h>'
expect fail "SDL reached through two of our headers"

tree 'graphics/Region.cpp:#include <pixman-1/pixman.h>'
expect fail "pixman included directly"

tree 'audio/Mp3Decoder.h:#include <lame/lame.h>' 'audio/SoundBuffer.cpp:#include "audio/Mp3Decoder.h"'
expect fail "lame through the decoder's header"

tree 'platform/audio/Encoder.cpp:#include <lame/lame.h>'
expect fail "lame inside platform/"

tree 'app/Dialog.cpp:#include "platform/window/SDLish.h"' 'platform/window/SDLish.h:// <SDL.h> only in a comment'
expect pass "a header whose name only looks like SDL's"

((failures == 0)) && echo "include check: all cases hold"
exit $((failures > 0))

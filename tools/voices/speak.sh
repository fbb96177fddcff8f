#!/bin/sh
# Speaks one kana text with espeak-ng's Japanese voice and writes it as a mono
# MP3 for the game:
#
#   speak.sh <text-file> <out.mp3>
#
# The voice is slowed for small children; leading and trailing silence is
# trimmed so a reading starts the moment it is played; every voice is peak
# normalised to the same level; lame encodes at a constant 48 kbit/s, 22.05 kHz
# (over two bits per sample, well inside what the game's decoder takes).
set -eu

voice=ja+f3      # the Japanese voice with a gentle, higher variant
speed=115        # words per minute; espeak-ng's default is 175
pitch=55
word_gap=4       # extra pause between phrases, in 10 ms units
peak_db=-3
bitrate=48
rate=22.05

text=$1
out=$2
work=$(mktemp -d "$(dirname "$out")/.speak.XXXXXX")
trap 'rm -rf "$work"' EXIT

espeak-ng -v "$voice" -s "$speed" -p "$pitch" -g "$word_gap" -f "$text" -w "$work/raw.wav"
sox "$work/raw.wav" "$work/voice.wav" \
    silence 1 0.01 -45d reverse silence 1 0.01 -45d fade q 0.03 \
    reverse fade q 0.005 \
    gain -n "$peak_db"
lame --quiet -m m --cbr -b "$bitrate" --resample "$rate" "$work/voice.wav" "$work/voice.mp3"
mv "$work/voice.mp3" "$out"

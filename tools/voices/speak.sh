#!/bin/sh
# Speaks one kana text and writes it as a mono MP3 for the game:
#
#   speak.sh <text-file> <out.mp3> <labels-out> open-jtalk <dictionary-dir> <voice.htsvoice>
#   speak.sh <text-file> <out.mp3> <labels-out> espeak-ng
#
# Open JTalk is the reading voice; espeak-ng stands in where it is not
# installed. Open JTalk's phoneme labels (full-context, one phoneme a line,
# times in 100 ns) go to <labels-out> so the readings can be checked; the
# fallback writes an empty file.
#
# Children hear it slowed and a little higher than the voice's own pitch,
# with a pause at every "、" (one per phrase). Open JTalk tells where its
# first phoneme starts and its last one ends, and the voice is cut just
# outside them, so a quiet last mora is never trimmed away as silence. Every
# voice is peak normalised to the same level; lame encodes at a constant
# 48 kbit/s, 22.05 kHz (over two bits per sample, well inside what the
# game's decoder takes).
set -eu

# At 48 kHz the voice's own frame is 240 samples (5 ms); a longer frame
# slows every sound and pause alike and keeps the pitch. (Its speech-rate
# option would stretch mostly the pauses.)
jtalk_frame=288       # 1.2 times slower
jtalk_halftones=2     # added pitch, in semitones
jtalk_f0_weight=1.2   # livelier intonation than the default 1.0
lead_in=0.04          # seconds kept before the first phoneme
tail_out=0.12         # and after the last one, for its release
espeak_voice=ja+f3    # the Japanese voice with a gentle, higher variant
espeak_speed=115      # words per minute; espeak-ng's default is 175
espeak_pitch=55
espeak_word_gap=4     # extra pause between phrases, in 10 ms units
peak_db=-3
bitrate=48
rate=22.05

text=$1
out=$2
labels=$3
engine=$4
work=$(mktemp -d "$(dirname "$out")/.speak.XXXXXX")
trap 'rm -rf "$work"' EXIT

case $engine in
open-jtalk)
    # Its notes (a pause before a text's first mora when it opens with a
    # quotation mark) are shown only when it fails.
    if ! open_jtalk -x "$5" -m "$6" -p "$jtalk_frame" -fm "$jtalk_halftones" -jf "$jtalk_f0_weight" \
        -ow "$work/raw.wav" -ot "$work/trace" "$text" 2> "$work/notes"; then
        cat "$work/notes" >&2
        exit 1
    fi
    # The label section of the trace: "start end label" lines, sil first and last.
    awk '/^\[Output label\]/ { on = 1; next } /^\[/ { on = 0 } on && NF == 3' "$work/trace" > "$work/labels"
    span=$(awk -v lead="$lead_in" -v tail="$tail_out" '
        { start[NR] = $1; end[NR] = $2 }
        END {
            if (NR < 3) exit 1
            from = end[1] / 1e7 - lead; if (from < 0) from = 0
            printf "%.3f %.3f\n", from, start[NR] / 1e7 + tail
        }' "$work/labels")
    set -- $span
    sox "$work/raw.wav" "$work/voice.wav" trim "$1" "=$2" fade q 0.01 0 0.06 gain -n "$peak_db"
    ;;
espeak-ng)
    espeak-ng -v "$espeak_voice" -s "$espeak_speed" -p "$espeak_pitch" -g "$espeak_word_gap" -f "$text" \
        -w "$work/raw.wav"
    : > "$work/labels"
    sox "$work/raw.wav" "$work/voice.wav" \
        silence 1 0.01 -45d reverse silence 1 0.01 -45d fade q 0.03 \
        reverse fade q 0.005 \
        gain -n "$peak_db"
    ;;
*)
    echo "speak.sh: unknown engine $engine" >&2
    exit 2
    ;;
esac
lame --quiet -m m --cbr -b "$bitrate" --resample "$rate" "$work/voice.wav" "$work/voice.mp3"
mv "$work/labels" "$labels"
mv "$work/voice.mp3" "$out"

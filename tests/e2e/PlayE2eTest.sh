#!/bin/sh
# Two whole games on a private Xvfb server, played through the pointer with
# xdotool as a child would. The first, in click mode against a slowish
# computer (so that its pointer is seen looking for the card), clicks a card now and then while the verse is read (mostly wrong
# ones, so the fault panel comes up) and clicks each result panel away. The
# mode button then switches to hover mode, and after a restart (the stored
# mode is the one used) a practice game sweeps the pointer over the table,
# so that only the read card is taken. Each game must come back to the title
# menu. Screenshots: the strength choice, the table during a reading with
# the computer's pointer under way, a take panel and a fault panel.
#   PlayE2eTest.sh <lumarra> <screenshot folder>
game="$1"
shots="$2"
. "$(dirname "$0")/../childlock/PrivateDisplay.sh"
. "$(dirname "$0")/GameSession.sh"
require_tools Xvfb xdotool import convert
mkdir -p "$shots"

# How many times faster than the wall clock the game's clock runs: slow
# enough in the first game for the screen to be read between the steps of a
# round, fast in the practice game, which only needs to reach its end.
click_scale="${LUMARRA_TIME_SCALE:-4}"
hover_scale=10
# Wall-clock seconds a game may take.
game_limit=150

open_work_folder

fail() {
    echo "FAIL: $*"
    [ -n "$DISPLAY" ] && import -window root "$shots/play_failure.png" 2>/dev/null
    [ -f "$work/out" ] && cat "$work/out"
    exit 1
}

start_private_xvfb 1280x1024x24 || exit 77
use_private_game_home "$work"

# Starts the game with its clock $1 times faster and finds its window.
launch() {
    scale=$1
    LUMARRA_TIME_SCALE=$scale "$game" >"$work/out" 2>&1 &
    game_pid=$!
    find_game_window || fail "no game window"
    # The stage lies 2 pixels in, under the 26-pixel caption.
    stage_x=$((X + 2))
    stage_y=$((Y + 26))
    right=$((X + WIDTH))
    # The title menu has no quit button where the table's side panel has it.
    title_mark=""
    for i in $(seq 1 50); do
        sleep 0.2
        look
        [ -n "$quit_place" ] && [ "$quit_place" != "0,0,0" ] && break
    done
    sleep 1
    look
    title_mark=$quit_place
}

shot() {
    import -window root -crop "980x600+$stage_x+$stage_y" +repage "$shots/$1.png"
}
at() {
    xdotool mousemove $((stage_x + $1)) $((stage_y + $2))
}
click_at() {
    at "$1" "$2"
    xdotool click 1
}
pause_game_ms() {
    sleep "$(awk -v ms="$1" -v scale="$scale" 'BEGIN { printf "%.3f", ms / scale / 1000 }')"
}

# What the screen shows at a few telling places, read in one grab: the
# result panel's left edge (the child's and the computer's panels differ),
# the red cross of a fault over the panel's card, and the reading card's
# upper left (the cream face, or in practice the large picture's paper, once
# the card has been turned over) and the place of the quit button, which the
# title menu does not have.
child_panel="253,225,213"
computer_panel="217,230,251"
fault_cross="224,32,32"
blank_face="255,254,247"
practice_face="255,251,247"
look() {
    set -- $(import -window root -crop "980x600+$stage_x+$stage_y" \
        -format '%[pixel:p{232,300}] %[pixel:p{375,300}] %[pixel:p{830,220}] %[pixel:p{890,579}]' info: 2>/dev/null \
        | sed 's/s*rgb(\([0-9,]*\))/\1/g')
    panel_edge=$1 panel_card=$2 reading_corner=$3 quit_place=$4
}
panel_shown() { [ "$panel_edge" = "$child_panel" ] || [ "$panel_edge" = "$computer_panel" ]; }
fault_shown() { [ "$panel_card" = "$fault_cross" ]; }
face_up() { [ "$reading_corner" = "$blank_face" ] || [ "$reading_corner" = "$practice_face" ]; }

back_on_title() { [ "$quit_place" = "$title_mark" ]; }

# The first deck from the title menu, yes; then the strength picture of
# choice $1 (1 practice, 2 … 6 slowest to fastest), yes, and the start
# notice.
start_game() {
    click_at 265 250
    sleep 1
    click_at 380 430
    for i in $(seq 1 50); do
        look
        back_on_title || break
        sleep 0.2
    done
    sleep 1
    [ -f "$shots/play_strength_choice.png" ] || shot play_strength_choice
    click_at $((98 + 105 * ($1 - 1) + 49)) 300
    sleep 1
    click_at 290 197
    sleep 0.3
    click_at 400 596
}

card_x() { echo $((69 + 132 * ($1 % 6))); }
card_y() { echo $((123 + 184 * ($1 / 6))); }

# The paper at the foot of every slot's card: the computer's pointer shows
# as a card whose paper is neither the plain card's nor, for an empty slot,
# the table's.
slot_feet=""
for slot in $(seq 0 17); do
    slot_feet="$slot_feet %[pixel:p{$(card_x $slot),$((123 + 184 * (slot / 6) + 80))}]"
done
card_paper="247,235,214"
table_colour="116,151,82"

# Three shots while the verse is written, in each of the first few rounds: the
# first without a result panel and with the computer's pointer on the table
# is kept, else the first without a panel. A round in which the computer knew
# the card may be over before the first.
reading_rounds=0
reading_shots() {
    reading_rounds=$((reading_rounds + 1))
    [ $reading_rounds -le 6 ] || return
    for k in 1 2 3; do
        pause_game_ms 200
        shot play_reading_try
        set -- $(convert "$shots/play_reading_try.png" -format "%[pixel:p{232,300}]$slot_feet" info: \
            | sed 's/s*rgb(\([0-9,]*\))/\1/g')
        if [ "$1" = "$child_panel" ] || [ "$1" = "$computer_panel" ]; then
            break
        fi
        shift
        for foot in "$@"; do
            if [ "$foot" != "$card_paper" ] && [ "$foot" != "$table_colour" ]; then
                mv "$shots/play_reading_try.png" "$shots/play_reading.png"
                return
            fi
        done
        [ -f "$work/reading_without_pointer.png" ] || cp "$shots/play_reading_try.png" "$work/reading_without_pointer.png"
    done
    rm -f "$shots/play_reading_try.png"
}

# Plays until the title menu is back; $1 is "click" or "hover".
play() {
    mode=$1
    panels=0
    faults=0
    started=$(date +%s)
    turn=0
    face_was_up=0
    while :; do
        [ $(($(date +%s) - started)) -lt $game_limit ] || fail "the $mode game did not end"
        kill -0 $game_pid 2>/dev/null || fail "the game ended in the $mode game"
        look
        if panel_shown; then
            panels=$((panels + 1))
            if fault_shown; then
                faults=$((faults + 1))
                [ -f "$shots/play_fault_panel.png" ] || shot play_fault_panel
            else
                [ -f "$shots/play_take_panel.png" ] || shot play_take_panel
            fi
            click_at 400 596
            sleep 0.2
            continue
        fi
        if face_up; then
            if [ "$mode" = click ]; then
                [ -f "$shots/play_reading.png" ] || [ $face_was_up = 1 ] || reading_shots
                face_was_up=1
                turn=$(((turn * 7 + 5) % 18))
                click_at "$(card_x $turn)" "$(card_y $turn)"
                pause_game_ms 1500
            else
                for slot in $(seq 0 17); do
                    at "$(card_x $slot)" "$(card_y $slot)"
                done
                at 400 596
            fi
            continue
        fi
        face_was_up=0
        if back_on_title; then
            sleep 0.5
            look
            back_on_title && break
        fi
        sleep 0.1
    done
    echo "$mode game: $panels result panels, $faults fault panels, $(($(date +%s) - started)) s"
    [ $panels -ge 1 ] || fail "no result panel in the $mode game"
}

launch $click_scale
start_game 3
play click
[ -f "$shots/play_fault_panel.png" ] || fail "no fault panel in the click game"
[ -f "$shots/play_take_panel.png" ] || fail "no take panel in the click game"
if [ ! -f "$shots/play_reading.png" ]; then
    [ -f "$work/reading_without_pointer.png" ] || fail "no reading seen in the click game"
    echo "the computer's pointer was not caught during a reading"
    mv "$work/reading_without_pointer.png" "$shots/play_reading.png"
fi

# Hover mode from the caption's mode button; the close button ends the game.
# The message about the new mode takes the keyboard once it is up.
xdotool mousemove $((right - 71)) $((Y + 13)) click 1
stored=""
for i in $(seq 1 10); do
    sleep 0.5
    xdotool key Return
    stored=$(grep -i '"bClick"' "$LUMARRA_REGISTRY_DIR"/*.reg 2>/dev/null)
    echo "$stored" | grep -qi 'dword:00000000' && break
done
echo "$stored" | grep -qi 'dword:00000000' || fail "hover mode not stored: '$stored'"
xdotool mousemove $((right - 13)) $((Y + 13)) click 1
for i in $(seq 1 30); do
    kill -0 $game_pid 2>/dev/null || break
    sleep 0.1
done
wait $game_pid || fail "the first game's program did not end cleanly"
game_pid=""

launch $hover_scale
start_game 1
play hover
kill -0 $game_pid 2>/dev/null || fail "the program ended after the hover game"
exit 0

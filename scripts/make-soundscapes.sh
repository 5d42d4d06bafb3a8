#!/usr/bin/env bash
# Synthesises Kolu's four ambient loops with sox:
#   01_Ocean.flac 02_Forest_Birds.flac 03_Rain.flac 04_Stream.flac
# Usage: make-soundscapes.sh OUTPUT_FOLDER
#
# Everything is made from noise and sine sweeps; nothing is recorded or
# sampled. The random choices come from one seeded generator kept in this
# shell, and sox runs in its repeatable mode (its noise and dither seeded), so
# every build makes the same audio. Each loop is rendered a little longer than it plays and
# its tail is crossfaded into its head, so the end runs on into the start
# without a seam. The loops are released under CC0 (see LICENSE beside them).
set -euo pipefail

out=${1:?usage: make-soundscapes.sh OUTPUT_FOLDER}
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

RATE=44100
LOOP=96  # seconds each loop plays before it starts again; every slow
         # modulation below completes a whole number of cycles in it
SEAM=4   # seconds of tail crossfaded into the head
TOTAL=$((LOOP + SEAM))
TOTAL_MS=$((TOTAL * 1000))
# The generator's state. Not bash's RANDOM: every $(...) subshell reseeds
# that one, so no two builds drew the same numbers.
SEED=1729

# sox with its noise generators and dither seeded.
sox() {
    command sox -R "$@"
}

# Mono float WAV from nothing: gen FILE sox-effects...
gen() {
    local file=$1
    shift
    sox -q -n -r "$RATE" -c 1 -b 32 -e floating-point "$file" "$@"
}

# Milliseconds of audio in FILE.
duration_ms() {
    local seconds
    seconds=$(soxi -D "$1")
    awk -v s="$seconds" 'BEGIN { printf "%d", s * 1000 + 0.5 }'
}

# A random number in MIN..MAX, left in REPLY. Never call it inside $(...):
# the draw would be lost with the subshell.
between() {
    SEED=$(((SEED * 1103515245 + 12345) % 2147483648))
    REPLY=$(($1 + (SEED / 65536) % ($2 - $1 + 1)))
}

# Silence of MS milliseconds, made once and reused.
gap() {
    local file=$work/gap_$1.wav
    [ -f "$file" ] || gen "$file" trim 0 "$(awk -v ms="$1" 'BEGIN { printf "%.3f", ms / 1000 }')"
    echo "$file"
}

# Joins FILES end to end into OUT: concat OUT FILES...
# sox holds every input it is given open at once, and a layer can be nearly
# two thousand pieces, past the open-file limit a desktop session gives
# (1024). So the pieces are joined a batch at a time, and the batches then
# joined in turn; joining float WAVs is sample-exact, so the result is the
# same as one call over every piece.
CONCAT_BATCH=32
concat() {
    local file=$1
    shift
    local pieces=("$@")
    if ((${#pieces[@]} <= CONCAT_BATCH)); then
        sox -q "${pieces[@]}" "$file"
        return
    fi
    local joined=() i=0 part
    while ((i < ${#pieces[@]})); do
        part=$(mktemp -p "$work" concat_XXXXXX.wav)
        sox -q "${pieces[@]:i:CONCAT_BATCH}" "$part"
        joined+=("$part")
        i=$((i + CONCAT_BATCH))
    done
    concat "$file" "${joined[@]}"
    rm -f "${joined[@]}"
}

# A layer of events at random moments: scatter OUT MIN_GAP_MS MAX_GAP_MS EVENT...
# Each event is followed by a random silence; the layer is cut to TOTAL.
scatter() {
    local file=$1 min=$2 max=$3
    shift 3
    local events=("$@") parts=() t=0 pick
    declare -A length
    for e in "${events[@]}"; do length[$e]=$(duration_ms "$e"); done
    between 0 "$max"
    parts+=("$(gap "$REPLY")")
    while ((t < TOTAL_MS)); do
        between 0 $((${#events[@]} - 1))
        pick=${events[REPLY]}
        local g
        between "$min" "$max"
        g=$((REPLY / 10 * 10 + 10))
        parts+=("$pick" "$(gap "$g")")
        t=$((t + length[$pick] + g))
    done
    concat "$work/layer.wav" "${parts[@]}"
    sox -q "$work/layer.wav" "$file" trim 0 "$TOTAL"
}

# Mono to stereo at a position: pan IN OUT LEFT RIGHT (gains).
pan() {
    sox -q "$1" -c 2 "$2" remix "1v$3" "1v$4"
}

# Joins the tail of IN onto its head and writes the finished loop to OUT.
seal() {
    local in=$1 target=$2
    sox -q "$in" "$work/body.wav" trim 0 "$LOOP"
    sox -q "$in" "$work/tail.wav" trim "$LOOP" "$SEAM"
    sox -q "$work/body.wav" "$work/head_in.wav" fade q "$SEAM"
    sox -q "$work/tail.wav" "$work/tail_out.wav" fade q 0 "$SEAM" "$SEAM"
    # FLAC: its decoder gives back exactly the samples written, no more and
    # no fewer, so the last sample of a pass meets the first of the next.
    # (A lossy codec's decoder adds a delay and padding that not every
    # player trims, and a loop then stumbles at every pass.)
    sox -q -m -v 1 "$work/head_in.wav" -v 1 "$work/tail_out.wav" -b 16 -C 8 "$target" gain -n -3
}

mix() {
    local target=$1
    shift
    sox -q -m "$@" "$target"
}

# ---------------------------------------------------------------- ocean
# A deep wash and a bright surf, both swelling with each wave: six waves a
# loop, the surf a little behind the swell as a breaking wave is.
ocean() {
    # One wave every 8 s; their height changes over the loop (the slow
    # 1/48 Hz swell), and the sea never falls silent between them.
    gen "$work/o_low.wav" synth "$TOTAL" brownnoise gain -12 highpass 30 lowpass 400 \
        synth sine amod 0.125 25 0 gain -n -6
    gen "$work/o_surf.wav" synth "$TOTAL" pinknoise gain -12 highpass 250 lowpass 5000 \
        synth sine amod 0.125 8 20 synth sine amod 0.125 8 20 synth sine amod 0.0208333 45 10 gain -n -8
    gen "$work/o_foam.wav" synth "$TOTAL" whitenoise gain -12 highpass 2500 lowpass 9000 \
        synth sine amod 0.125 4 30 synth sine amod 0.125 4 30 synth sine amod 0.125 4 30 \
        synth sine amod 0.0208333 35 10 gain -n -20
    gen "$work/o_bed.wav" synth "$TOTAL" pinknoise gain -12 highpass 60 lowpass 2500 gain -n -22
    pan "$work/o_low.wav" "$work/o_low2.wav" 0.8 0.8
    pan "$work/o_surf.wav" "$work/o_surf2.wav" 0.85 0.6
    pan "$work/o_foam.wav" "$work/o_foam2.wav" 0.55 0.8
    pan "$work/o_bed.wav" "$work/o_bed2.wav" 0.7 0.7
    mix "$work/ocean.wav" -v 1 "$work/o_low2.wav" -v 1 "$work/o_surf2.wav" -v 1 "$work/o_foam2.wav" -v 1 "$work/o_bed2.wav"
    seal "$work/ocean.wav" "$out/01_Ocean.flac"
}

# ---------------------------------------------------------------- rain
# A soft hiss with a slow breath in it, and drops on leaves and ground at
# random moments on either side.
rain() {
    gen "$work/r_hiss.wav" synth "$TOTAL" pinknoise gain -12 highpass 600 lowpass 7000 \
        synth sine amod 0.0625 70 85 gain -n -14
    gen "$work/r_low.wav" synth "$TOTAL" brownnoise gain -12 highpass 40 lowpass 700 gain -n -24
    local drops=() i f
    for i in 1 2 3 4 5 6 7 8; do
        between 1800 5200
        f=$REPLY
        between 14 26
        gen "$work/drop_$i.wav" synth 0.035 whitenoise gain -12 bandpass "$f" 1.2q fade q 0.001 0.035 0.03 gain -n "-$REPLY"
        drops+=("$work/drop_$i.wav")
    done
    for i in 1 2 3; do
        between 2600 3400
        f=$REPLY
        between 3800 5000
        gen "$work/plip_$i.wav" synth 0.06 sine "$f-$REPLY" fade q 0.002 0.06 0.055 gain -n -30
        drops+=("$work/plip_$i.wav")
    done
    scatter "$work/r_drops_a.wav" 10 120 "${drops[@]}"
    scatter "$work/r_drops_b.wav" 10 140 "${drops[@]}"
    scatter "$work/r_drops_c.wav" 20 200 "${drops[@]}"
    pan "$work/r_hiss.wav" "$work/r_hiss2.wav" 0.8 0.8
    pan "$work/r_low.wav" "$work/r_low2.wav" 0.7 0.7
    pan "$work/r_drops_a.wav" "$work/r_a2.wav" 0.9 0.3
    pan "$work/r_drops_b.wav" "$work/r_b2.wav" 0.3 0.9
    pan "$work/r_drops_c.wav" "$work/r_c2.wav" 0.6 0.6
    mix "$work/rain.wav" -v 1 "$work/r_hiss2.wav" -v 1 "$work/r_low2.wav" -v 0.9 "$work/r_a2.wav" -v 0.9 "$work/r_b2.wav" -v 0.7 "$work/r_c2.wav"
    seal "$work/rain.wav" "$out/03_Rain.flac"
}

# ---------------------------------------------------------------- stream
# Running water: a rushing bed, and many small bubbles (short upward sine
# sweeps, as an air pocket rings when it closes) in three layers.
stream() {
    gen "$work/s_rush.wav" synth "$TOTAL" pinknoise gain -12 bandpass 900 0.6q synth sine amod 0.375 55 80 \
        synth sine amod 0.229167 55 30 gain -n -16
    gen "$work/s_hiss.wav" synth "$TOTAL" whitenoise gain -12 highpass 2500 lowpass 6000 gain -n -32
    local bubbles=() i lo hi len
    for i in $(seq 1 16); do
        between 350 1100
        lo=$REPLY
        between 300 1400
        hi=$((lo + REPLY))
        between 18 60
        len=$REPLY
        between 16 30
        gen "$work/bub_$i.wav" synth "0.0$len" sine "$lo-$hi" fade q 0.002 "0.0$len" "0.0$((len * 3 / 4))" \
            gain -n "-$REPLY"
        bubbles+=("$work/bub_$i.wav")
    done
    scatter "$work/s_a.wav" 0 60 "${bubbles[@]}"
    scatter "$work/s_b.wav" 0 80 "${bubbles[@]}"
    scatter "$work/s_c.wav" 10 120 "${bubbles[@]}"
    pan "$work/s_rush.wav" "$work/s_rush2.wav" 0.8 0.8
    pan "$work/s_hiss.wav" "$work/s_hiss2.wav" 0.7 0.7
    pan "$work/s_a.wav" "$work/s_a2.wav" 0.9 0.4
    pan "$work/s_b.wav" "$work/s_b2.wav" 0.4 0.9
    pan "$work/s_c.wav" "$work/s_c2.wav" 0.7 0.7
    mix "$work/stream_dry.wav" -v 1 "$work/s_rush2.wav" -v 1 "$work/s_hiss2.wav" -v 0.8 "$work/s_a2.wav" -v 0.8 "$work/s_b2.wav" -v 0.6 "$work/s_c2.wav"
    sox -q "$work/stream_dry.wav" "$work/stream.wav" reverb 30 50 40 trim 0 "$TOTAL"
    seal "$work/stream.wav" "$out/04_Stream.flac"
}

# ---------------------------------------------------------------- forest birds
# Leaves in a light wind, and songs of a few kinds of bird: rising and
# falling whistles, quick trills and two-note calls, near and far, in the
# open air of a wood (a little reverberation).
song() {
    # song OUT NOTES: a phrase of NOTES notes of one bird.
    local file=$1 notes=$2 parts=() base i a b len rate
    between 2200 4200
    base=$REPLY
    for ((i = 0; i < notes; i++)); do
        between -400 400
        a=$((base + REPLY))
        between -1500 1500
        b=$((a + REPLY))
        between 50 160
        len=$REPLY
        between 20 60
        rate=$REPLY
        gen "$work/n_$i.wav" synth "0.$(printf '%03d' "$len")" sine "$a-$b" synth sine amod "$rate" 0 60 \
            fade h 0.01 "0.$(printf '%03d' "$len")" 0.03
        between 2 9
        parts+=("$work/n_$i.wav" "$(gap "${REPLY}0")")
    done
    concat "$file" "${parts[@]}"
}

trill() {
    # trill OUT: one short note repeated fast.
    local file=$1 parts=() i a
    between 3500 6000
    a=$REPLY
    gen "$work/t_note.wav" synth 0.025 sine "$a-$((a - 900))" fade q 0.003 0.025 0.015
    between 8 18
    for ((i = 0; i < REPLY; i++)); do parts+=("$work/t_note.wav" "$(gap 30)"); done
    concat "$file" "${parts[@]}"
}

call() {
    # call OUT: two falling notes, as a dove or a cuckoo.
    local file=$1 a
    between 700 1300
    a=$REPLY
    gen "$work/c1.wav" synth 0.28 sine "$a-$((a - 120))" fade h 0.04 0.28 0.12
    gen "$work/c2.wav" synth 0.36 sine "$((a * 8 / 10))-$((a * 8 / 10 - 100))" fade h 0.04 0.36 0.16
    sox -q "$work/c1.wav" "$(gap 120)" "$work/c2.wav" "$file"
}

forest() {
    gen "$work/f_wind.wav" synth "$TOTAL" pinknoise gain -12 lowpass 1400 highpass 120 synth sine amod 0.083333 50 70 gain -n -22
    gen "$work/f_leaves.wav" synth "$TOTAL" whitenoise gain -12 bandpass 4000 0.5q synth sine amod 0.291667 60 90 \
        synth sine amod 0.166667 60 40 gain -n -34
    local near=() far=() i
    for i in 1 2 3 4 5 6; do
        between 3 8
        song "$work/song_$i.wav" "$REPLY"
        between 8 14
        sox -q "$work/song_$i.wav" "$work/song_${i}n.wav" gain -n "-$REPLY"
        near+=("$work/song_${i}n.wav")
    done
    for i in 1 2 3; do
        trill "$work/trill_$i.wav"
        between 12 18
        sox -q "$work/trill_$i.wav" "$work/trill_${i}n.wav" gain -n "-$REPLY"
        near+=("$work/trill_${i}n.wav")
    done
    for i in 1 2; do
        call "$work/call_$i.wav"
        sox -q "$work/call_$i.wav" "$work/call_${i}f.wav" lowpass 2500 gain -n -24
        far+=("$work/call_${i}f.wav")
    done
    for i in 1 2 3; do
        sox -q "$work/song_$i.wav" "$work/song_${i}f.wav" lowpass 3500 gain -n -26
        far+=("$work/song_${i}f.wav")
    done
    scatter "$work/f_birds_a.wav" 900 4200 "${near[@]}"
    scatter "$work/f_birds_b.wav" 1200 5200 "${near[@]}"
    scatter "$work/f_birds_far.wav" 2500 7000 "${far[@]}"
    pan "$work/f_wind.wav" "$work/f_wind2.wav" 0.8 0.8
    pan "$work/f_leaves.wav" "$work/f_leaves2.wav" 0.7 0.7
    pan "$work/f_birds_a.wav" "$work/f_a2.wav" 0.9 0.35
    pan "$work/f_birds_b.wav" "$work/f_b2.wav" 0.35 0.9
    pan "$work/f_birds_far.wav" "$work/f_far2.wav" 0.6 0.6
    mix "$work/birds_dry.wav" -v 1 "$work/f_a2.wav" -v 1 "$work/f_b2.wav" -v 1 "$work/f_far2.wav"
    sox -q "$work/birds_dry.wav" "$work/birds.wav" reverb 40 50 70 30 0 -4 trim 0 "$TOTAL"
    mix "$work/forest.wav" -v 1 "$work/f_wind2.wav" -v 1 "$work/f_leaves2.wav" -v 1 "$work/birds.wav"
    seal "$work/forest.wav" "$out/02_Forest_Birds.flac"
}

ocean
forest
rain
stream
cp "$here/../resources/soundscapes/LICENSE" "$out/LICENSE"

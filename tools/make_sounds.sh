#!/bin/sh
# Synthesises the game's sound effects and ambience loops with sox.
#
# Usage: make_sounds.sh OUTPUT_DIR
#
# Every file is 16-bit PCM WAV, 44100 Hz, mono, peak-normalised below full scale so nothing clips.
# Loops are seamless: tonal ones hold a whole number of periods of every partial and modulation,
# noisy ones have their tail crossfaded (equal power) into their head. sox runs in repeatable
# mode (-R), so noise and dither come out the same on every build.
set -eu

[ $# -eq 1 ] || { sed -n '2,3p' "$0"; exit 2; }
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

RATE=44100
sx() { sox -R -V1 "$@"; }
# A silent-input synthesis: syn FILE SECONDS TYPE [FREQUENCY] [-- EFFECTS...]. The tone is taken
# 12 dB below full scale before any effect, so that filters and mixes of several sources at full
# weight never clip; finish brings the result back up.
syn() {
    f=$1
    shift
    tone=
    while [ $# -gt 0 ] && [ "$1" != -- ]; do
        tone="$tone $1"
        shift
    done
    [ $# -eq 0 ] || shift
    sx -n -r $RATE -c 1 -b 16 "$work/$f" synth $tone gain -12 "$@"
}
# Mixes files at full weight: mix OUT IN...
mix() { o=$1; shift; args=; for i in "$@"; do args="$args -v 1 $work/$i"; done; sx -m $args "$work/$o"; }
# Writes the finished file, peak-normalised to the given dBFS: finish IN NAME PEAK_DB
finish() { sx "$work/$1" -b 16 "$out/$2.partial.wav" gain -n "$3"; mv "$out/$2.partial.wav" "$out/$2"; }
# Makes a noisy sound of LENGTH seconds loop without a seam: the FADE seconds after the end are
# faded out over the faded-in head. loop IN LENGTH FADE OUT (IN must be LENGTH + FADE long).
loop() {
    sx "$work/$1" "$work/tail.wav" trim "$2" "$3" fade h 0 "$3" "$3"
    sx "$work/$1" "$work/head.wav" trim 0 "$3" fade h "$3"
    mix xfade.wav tail.wav head.wav
    sx "$work/$1" "$work/body.wav" trim "$3" "$(awk "BEGIN { print $2 - $3 }")"
    sx "$work/xfade.wav" "$work/body.wav" "$work/$4"
}
# Places a short sound SECONDS into an 8 s stretch of silence, the ambience loops' length:
# at8 IN SECONDS OUT.
at8() { sx "$work/$1" "$work/$3" pad "$2" 8 trim 0 8; }

# interface.wav: a soft, rounded "plip" for buttons.
syn a.wav 0.11 sine 740-1110 -- fade q 0.003 0.11 0.09
syn b.wav 0.11 sine 1480-2220 -- fade q 0.002 0.11 0.1 vol 0.25
mix c.wav a.wav b.wav
finish c.wav interface.wav -4

# clock_tick.wav: a small wooden tick.
syn a.wav 0.05 sine 1900 -- fade q 0.001 0.05 0.045
syn b.wav 0.012 whitenoise -- highpass 3000 fade q 0.0005 0.012 0.011 vol 0.5
syn c.wav 0.05 sine 950 -- fade q 0.001 0.05 0.04 vol 0.5
mix d.wav a.wav b.wav c.wav
finish d.wav clock_tick.wav -6

# sparkle_big.wav: a rising arpeggio of bell tones with a shimmer tail.
n=0
for note in 1046.5 1318.5 1568 2093 2637; do
    delay=$(awk "BEGIN { print $n * 0.07 }")
    syn "bell$n.wav" 1.1 sine "$note" -- fade q 0.003 1.1 1.05
    syn "over$n.wav" 1.1 sine "$(awk "BEGIN { print $note * 2.76 }")" -- fade q 0.002 0.4 0.38 vol 0.2
    mix "tone$n.wav" "bell$n.wav" "over$n.wav"
    sx "$work/tone$n.wav" "$work/note$n.wav" pad "$delay" 0.4
    n=$((n + 1))
done
# Five overlapping notes: mixed at a fifth each (sox's own weighting for -m), which cannot clip.
sx -m "$work/note0.wav" "$work/note1.wav" "$work/note2.wav" "$work/note3.wav" "$work/note4.wav" "$work/arp.wav"
sx "$work/arp.wav" "$work/sparkle.wav" reverb 40 50 60 fade q 0 1.75 0.5
finish sparkle.wav sparkle_big.wav -3

# bee_buzz_loop_plain.wav: the bee's own hum, 0.5 s: two slightly detuned saws (180 and 182 Hz,
# a 2 Hz beat) with a 24 Hz wing flutter. Filtered over three loops and the middle one kept, so
# the filter has settled and the loop meets itself exactly.
syn a.wav 1.5 sawtooth 180
syn b.wav 1.5 sawtooth 182
mix c.wav a.wav b.wav
sx "$work/c.wav" "$work/d.wav" lowpass 1400 lowpass 2200 bass -4 200 tremolo 24 35
sx "$work/d.wav" "$work/e.wav" trim 0.5 0.5
finish e.wav bee_buzz_loop_plain.wav -6

# bee_buzz_hit_1.wav: a bump and a dizzy, falling buzz.
syn a.wav 0.45 sawtooth 420-150 -- lowpass 1800 tremolo 18 60 fade q 0.005 0.45 0.3
syn b.wav 0.18 sine 120-60 -- fade q 0.002 0.18 0.16
mix c.wav a.wav b.wav
finish c.wav bee_buzz_hit_1.wav -3

# bee_wind_loop.wav: air rushing past, 2 s of soft band-limited noise.
syn a.wav 2.5 pinknoise -- lowpass 900 highpass 120 tremolo 1 25
loop a.wav 2 0.5 b.wav
finish b.wav bee_wind_loop.wav -8

# bee_suck_loop_1.wav: sipping nectar: bubbly mid noise pulsing at 6 Hz over a soft gulp tone.
syn a.wav 1.3 brownnoise -- highpass 400 lowpass 1600 tremolo 6 80
syn b.wav 1.3 sine 260 -- tremolo 6 90 vol 0.35
mix c.wav a.wav b.wav
loop c.wav 1 0.3 d.wav
finish d.wav bee_suck_loop_1.wav -6

# bee_drain_loop_2.wav: nectar pouring into the hive: a bright trickle with a gentle sway.
syn a.wav 1.3 pinknoise -- highpass 900 lowpass 3500 tremolo 11 55 tremolo 2 30
syn b.wav 1.3 sine 520 -- tremolo 11 90 vol 0.25
mix c.wav a.wav b.wav
loop c.wav 1 0.3 d.wav
finish d.wav bee_drain_loop_2.wav -7

# ambience_day.wav: a meadow in the sun, 8 s: a breeze and a few bird calls.
syn bed.wav 8.6 pinknoise -- lowpass 700 highpass 80 tremolo 0.25 40 vol 0.5
loop bed.wav 8 0.6 breeze.wav
i=0
for call in "0.6 3000-3900" "0.9 3300-4200" "2.9 2500-3600" "3.1 2800-3800" "3.35 3000-4100" \
            "5.4 3600-4600" "5.65 3400-4400" "6.9 2700-3500"; do
    set -- $call
    syn "ch$i.wav" 0.11 sine "$2" -- tremolo 40 60 fade q 0.01 0.11 0.06 vol 0.22
    at8 "ch$i.wav" "$1" "call$i.wav"
    i=$((i + 1))
done
mix day.wav breeze.wav call0.wav call1.wav call2.wav call3.wav call4.wav call5.wav call6.wav call7.wav
finish day.wav ambience_day.wav -10

# ambience_night.wav: a quiet night, 8 s: a low breeze and crickets chirping in threes.
syn bed.wav 8.6 brownnoise -- lowpass 400 tremolo 0.125 40 vol 0.3
loop bed.wav 8 0.6 hush.wav
syn pulse.wav 0.045 sine 4400 -- fade q 0.008 0.045 0.02 vol 0.2
sx "$work/pulse.wav" "$work/gap.wav" pad 0 0.03
sx "$work/gap.wav" "$work/gap.wav" "$work/gap.wav" "$work/trio.wav"
i=0
for at in 0.3 1.1 1.9 3.5 4.3 5.1 6.7 7.3; do
    at8 trio.wav "$at" "cr$i.wav"
    i=$((i + 1))
done
mix night.wav hush.wav cr0.wav cr1.wav cr2.wav cr3.wav cr4.wav cr5.wav cr6.wav cr7.wav
finish night.wav ambience_night.wav -12

# ambience_rain.wav: the storm levels' steady rain, 8 s: the hiss of the downpour, its low roar and
# drops landing close by.
syn hiss.wav 8.6 pinknoise -- highpass 1500 lowpass 8000 tremolo 0.25 15 vol 0.7
syn roar.wav 8.6 brownnoise -- lowpass 300 tremolo 0.125 30 vol 0.6
mix bed.wav hiss.wav roar.wav
loop bed.wav 8 0.6 downpour.wav
syn drop.wav 0.03 whitenoise -- bandpass 3000 1.5q fade q 0.001 0.03 0.028 vol 0.5
drops=
i=0
for at in 0.2 0.75 1.3 1.9 2.2 3.05 3.6 4.4 4.9 5.5 6.1 6.45 7.2 7.7; do
    at8 drop.wav "$at" "dr$i.wav"
    drops="$drops dr$i.wav"
    i=$((i + 1))
done
mix rain.wav downpour.wav $drops
finish rain.wav ambience_rain.wav -10

# ambience_works.wav: the works by day, 8 s: the hum of machines (whole periods of every partial and
# of its sway), a hammer's clank every second and a blow of steam.
syn h1.wav 8 sine 55 -- tremolo 0.5 20 vol 0.6
syn h2.wav 8 sine 110 -- vol 0.35
syn h3.wav 8 sine 220 -- tremolo 0.25 40 vol 0.15
syn k1.wav 0.25 sine 430 -- fade q 0.002 0.25 0.24 vol 0.5
syn k2.wav 0.25 sine 1170 -- fade q 0.001 0.25 0.2 vol 0.3
syn k3.wav 0.02 whitenoise -- highpass 2000 fade q 0.0005 0.02 0.018 vol 0.6
mix clank.wav k1.wav k2.wav k3.wav
clanks=
i=0
for at in 0.5 1.5 2.5 3.5 4.5 5.5 6.5 7.5; do
    at8 clank.wav "$at" "cl$i.wav"
    clanks="$clanks cl$i.wav"
    i=$((i + 1))
done
syn puff.wav 1.2 whitenoise -- highpass 2500 fade q 0.1 1.2 0.8 vol 0.4
at8 puff.wav 4.0 steam.wav
mix works.wav h1.wav h2.wav h3.wav steam.wav $clanks
finish works.wav ambience_works.wav -10

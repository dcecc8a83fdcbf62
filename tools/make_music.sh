#!/bin/sh
# Composes the menu music with sox and encodes it with lame.
#
# Usage: make_music.sh OUTPUT_DIR
#
#   Vantrel.mp3      a 40 s loop at 96 beats per minute: music-box melody, soft chord pad, round
#                    bass and a light shaker; a tune over C - Am - F - G twice and its answer
#   VantrelLite.mp3  the same tune, gentler: pad and melody only, an octave lower and quieter
#
# Notes are semitones from A 440 Hz (sox's %N); every tone is taken 12 dB below full scale before
# any effect so that the parts filter and mix without clipping. Output is 44100 Hz stereo, 128 kbit/s, peak-
# normalised to -3 dBFS (the lite one to -6). sox runs in repeatable mode so every build writes the same audio.
set -eu

[ $# -eq 1 ] || { sed -n '2,3p' "$0"; exit 2; }
out=$1
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT INT TERM

BEAT=0.625
sx() { sox -R -V1 "$@"; }
seconds() { awk "BEGIN { print $1 * $BEAT }"; }
mix() { o=$1; shift; args=; for i in "$@"; do args="$args -v 1 $work/$i"; done; sx -m $args "$work/$o"; }

# One note of a line: note FILE SEMITONE|rest BEATS TIMBRE
note() {
    len=$(seconds "$3")
    if [ "$2" = rest ]; then
        sx -n -r 44100 -c 1 "$work/$1" synth "$len" sine 0 vol 0
        return
    fi
    case $4 in
    bell) # A music-box tone: a sine and a faint octave, struck and ringing away.
        sx -n -r 44100 -c 1 "$work/n1.wav" synth "$len" sine "%$2" gain -12 fade q 0.004 "$len" "$len"
        sx -n -r 44100 -c 1 "$work/n2.wav" synth "$len" sine "%$(($2 + 12))" gain -12 fade q 0.002 "$len" "$len" vol 0.3
        mix "$1" n1.wav n2.wav ;;
    bass) # A round, short bass note.
        sx -n -r 44100 -c 1 "$work/$1" synth "$len" triangle "%$2" gain -12 lowpass 500 \
            fade q 0.01 "$len" "$(seconds 0.8)" ;;
    esac
}

# A line from "SEMITONE:BEATS ..." pairs: line OUT TIMBRE TRANSPOSE PAIRS...
line() {
    line_out=$1 timbre=$2 shift_by=$3
    shift 3
    parts=
    k=0
    for pair in "$@"; do
        pitch=${pair%%:*}
        [ "$pitch" = rest ] || pitch=$((pitch + shift_by))
        note "part$k.wav" "$pitch" "${pair##*:}" "$timbre"
        parts="$parts $work/part$k.wav"
        k=$((k + 1))
    done
    sx $parts "$work/$line_out"
}

# One bar of soft chord: pad OUT SEMITONES...
pad() {
    pad_out=$1
    shift
    files=
    for s in "$@"; do
        sx -n -r 44100 -c 1 "$work/p$s.wav" synth "$(seconds 4)" sine "%$s" gain -12 tremolo 3 10 \
            fade h 0.3 "$(seconds 4)" 0.5
        files="$files p$s.wav"
    done
    mix "$pad_out" $files
}

# Sixteen bars: a tune over C - Am - F - G twice, then an answer over F - G - Em - Am - F - G - C - C.
MELODY="7:1 10:1 12:1 10:1  7:1.5 5:0.5 3:2  3:1 5:1 7:1 12:1  10:2 rest:1 5:1
        7:1 10:1 15:1.5 12:0.5  10:1 7:1 5:1 3:1  0:1 3:1 5:1 7:1  5:2 rest:2
        0:1 3:1 5:1 3:1  5:1.5 7:0.5 5:2  2:1 5:1 7:1 10:1  7:2 rest:1 3:1
        0:1 3:1 8:1.5 7:0.5  5:1 2:1 5:1 10:1  7:1 5:1 3:2  3:2 rest:2"
# Bass roots, two half notes a bar: C3 A2 F2 G2, C3 A2 F2 G2, F2 G2 E2 A2, F2 G2 C3 C3.
BASS="-21:2 -21:2  -24:2 -24:2  -28:2 -28:2  -26:2 -26:2  -21:2 -21:2  -24:2 -24:2  -28:2 -28:2  -26:2 -26:2
      -28:2 -28:2  -26:2 -26:2  -29:2 -29:2  -24:2 -24:2  -28:2 -28:2  -26:2 -26:2  -21:2 -21:2  -21:2 -21:2"

line melody.wav bell 0 $MELODY
line melody_low.wav bell -12 $MELODY
line bass.wav bass 0 $BASS

pad c.wav -9 -5 -2
pad am.wav -12 -9 -5
pad f.wav -16 -12 -9
pad g.wav -14 -10 -7
pad em.wav -17 -14 -10
chords=
for chord in c am f g c am f g f g em am f g c c; do
    chords="$chords $work/$chord.wav"
done
sx $chords "$work/pads.wav"

# A light shaker on the off-beats, one beat's slot repeated for all 64 beats.
sx -n -r 44100 -c 1 "$work/shake.wav" synth 0.06 whitenoise gain -12 highpass 6000 fade q 0.005 0.06 0.05 vol 0.3
sx "$work/shake.wav" "$work/shake_slot.wav" pad "$(seconds 0.5)" "$(awk "BEGIN { print $BEAT / 2 - 0.06 }")"
sx "$work/shake_slot.wav" "$work/shakes.wav" repeat 63

sx -m -v 0.55 "$work/melody.wav" -v 0.5 "$work/pads.wav" -v 0.6 "$work/bass.wav" -v 0.25 "$work/shakes.wav" \
    "$work/full.wav"
sx -m -v 0.45 "$work/melody_low.wav" -v 0.55 "$work/pads.wav" "$work/lite.wav"

# A touch of room (sox's reverb keeps the length, so the loop stays 64 beats), then stereo for the
# encoder. encode IN NAME PEAK_DB
encode() {
    sx "$work/$1" -c 2 -b 16 "$work/stereo.wav" gain -6 reverb 30 50 70 gain -n "$3"
    lame --quiet -b 128 --noreplaygain "$work/stereo.wav" "$out/$2.partial"
    mv "$out/$2.partial" "$out/$2"
}
encode full.wav Vantrel.mp3 -3
encode lite.wav VantrelLite.mp3 -6

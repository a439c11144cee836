#!/usr/bin/env bash
# Regenerates the program's sound files (16-bit PCM WAV, mono, 22050 Hz,
# normalised to -1 dBFS): the spoken Czech countdown and "jeď" with the
# espeak-ng Czech voice, and the signal tones with sox. The output is
# committed, so the build needs neither tool; run this only to change a sound.
#
#   tools/sounds/make-sounds.sh [OUTPUT_DIR]      (default: soubory/ of the tree)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
out=${1:-"$here/../../soubory"}
mkdir -p "$out"
out=$(cd "$out" && pwd)

need_packages=()
command -v espeak-ng >/dev/null || need_packages+=(espeak-ng)
command -v sox >/dev/null || need_packages+=(sox)
if ((${#need_packages[@]})); then
    sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    "${sudo[@]}" apt-get install -y -q "${need_packages[@]}" >/dev/null
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

readonly rate=22050
# -D: no dither, so the files come out the same on every run.
sox_out=(-D -V1)
format=(-r "$rate" -c 1 -b 16 -e signed-integer)

# Puts the final touches on a sound: mono at the common rate, short fades
# against clicks, peak at -1 dBFS (normalised, never clipped).
finish() { # input output fade-in fade-out
    sox "${sox_out[@]}" "$1" "${format[@]}" "$out/$2" \
        remix - highpass 60 rate "$rate" fade h "$3" 0 "$4" gain -n -1
}

# One raw tone into the work directory: name, seconds, sox synth type and
# frequency (a range "f1-f2" sweeps), optional further effects.
tone() { # name seconds type frequency [effects...]
    local name=$1 seconds=$2 type=$3 frequency=$4
    shift 4
    sox "${sox_out[@]}" -n "${format[@]}" "$work/$name.wav" \
        synth "$seconds" "$type" "$frequency" fade h 0.004 0 0.02 "$@"
}

silence() { # name seconds
    sox "${sox_out[@]}" -n "${format[@]}" "$work/$1.wav" trim 0 "$2"
}

# Czech speech, trimmed of the voice's leading and trailing silence and
# compressed, which lifts the quiet consonants of short words such as "tři".
speak() { # output text
    espeak-ng -v cs -s 135 -w "$work/voice.wav" "$2"
    sox "${sox_out[@]}" "$work/voice.wav" "$work/trimmed.wav" \
        silence 1 0.005 0.1% reverse silence 1 0.005 0.1% reverse \
        compand 0.003,0.08 6:-70,-60,-40,-20,-10,-8 -4 -90 0.005
    finish "$work/trimmed.wav" "$1" 0.005 0.03
}

speak count1.wav "jedna"
speak count2.wav "dva"
speak count3.wav "tři"
speak count4.wav "čtyři"
speak count5.wav "pět"
speak go.wav "jeď"

# Start signal: a bright horn of two octaves, held for 0.8 s.
tone horn-low 0.8 square 880 lowpass 3500
tone horn-high 0.8 sine 1760
sox "${sox_out[@]}" -m "$work/horn-low.wav" "$work/horn-high.wav" "$work/start.wav"
finish "$work/start.wav" start.wav 0.005 0.08

# Lap: a short rising blip.
tone blip 0.09 sine 1400-2100
finish "$work/blip.wav" nextRounds.wav 0.003 0.03

# Finish: three rising tones (C, E, G), the last one held.
tone fanfare-c 0.16 triangle 1047
tone fanfare-e 0.16 triangle 1319
tone fanfare-g 0.42 triangle 1568
silence gap 0.03
sox "${sox_out[@]}" "$work/fanfare-c.wav" "$work/gap.wav" "$work/fanfare-e.wav" \
    "$work/gap.wav" "$work/fanfare-g.wav" "$work/finish.wav"
finish "$work/finish.wav" finish.wav 0.003 0.12

tone beep 0.18 sine 1000
finish "$work/beep.wav" beep.wav 0.004 0.03

# Leaving the track: a two-tone warning, high-low, twice.
tone warn-high 0.22 square 960 lowpass 3000
tone warn-low 0.22 square 720 lowpass 3000
sox "${sox_out[@]}" "$work/warn-high.wav" "$work/warn-low.wav" "$work/warn-high.wav" \
    "$work/warn-low.wav" "$work/relais.wav"
finish "$work/relais.wav" relais.wav 0.004 0.03

# Low tank: a low tone, twice.
tone low 0.28 triangle 330
silence pause 0.12
sox "${sox_out[@]}" "$work/low.wav" "$work/pause.wav" "$work/low.wav" "$work/fuellow.wav"
finish "$work/fuellow.wav" fuellow.wav 0.004 0.04

echo "Sounds written to $out"

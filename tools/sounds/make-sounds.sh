#!/usr/bin/env bash
# Makes the two sound cues in data/ with espeak-ng and sox (Debian 12: espeak-ng 1.51, SoX 14.4.2).
#
#   ohoh.wav  the protest on closing: a dismayed, cartoonish "о-о!". Russian voice; a short high
#             first syllable that rises, a glottal break, then a longer, lower second syllable
#             that falls away; the whole raised by a major third to sound like a cartoon.
#   ohh.wav   the sigh before the Information window: a soft "ох..." in a low, slow Russian
#             voice, doubled with the whispering variant of the same voice for breath, dulled,
#             with a slight quiver and a little room, sinking in pitch as it fades.
#
# Both come out as 16-bit mono PCM at 22050 Hz, a second or less. SoX runs in repeatable mode
# without dither, so the same tool versions give the same bytes every time.
#
# Usage: tools/sounds/make-sounds.sh [output directory]   (default: data/ of the source tree)
set -euo pipefail

top=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$top/data}
mkdir -p "$out"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sox=(sox -R -D)
wav=(-b 16 -c 1 -e signed-integer -r 22050)
# Cuts the silence that espeak-ng leaves before and after a word.
trim=(silence 1 0.005 1% reverse silence 1 0.005 1% reverse)

# speak FILE VOICE PITCH SPEED TEXT: espeak-ng's pitch is 0..99, its speed in words per minute.
speak() {
    espeak-ng -v "$2" -p "$3" -s "$4" -w "$work/raw-$1" "$5"
    "${sox[@]}" "$work/raw-$1" "$work/$1" "${trim[@]}"
}

# --- ohoh.wav ---------------------------------------------------------------------------------
speak first.wav ru 85 90 "О"
speak second.wav ru 60 70 "о!"
# Short fades keep the cut edges from clicking. bend takes start,cents,length in seconds: the
# first syllable goes up, the second down.
"${sox[@]}" "$work/first.wav" "$work/up.wav" fade q 0.01 -0 0.02 bend 0.02,250,0.10 pad 0 0.04
"${sox[@]}" "$work/second.wav" "$work/down.wav" fade q 0.01 -0 0.02 bend 0.04,-500,0.22
"${sox[@]}" "$work/up.wav" "$work/down.wav" "${wav[@]}" "$out/ohoh.wav" \
    pitch 400 gain -n -1 fade q 0.005 -0 0.06

# --- ohh.wav ----------------------------------------------------------------------------------
speak voiced.wav ru 45 80 "Ох"
speak breath.wav ru+whisper 45 80 "Ох"
# The two takes have the same timing; mixed, the whisper gives the voice its breath. Stretched to
# a slow sigh without changing its pitch, then let sink by three semitones as it fades.
"${sox[@]}" -m -v 0.8 "$work/voiced.wav" -v 0.7 "$work/breath.wav" "$work/sigh.wav" tempo -s 0.5
"${sox[@]}" "$work/sigh.wav" "${wav[@]}" "$out/ohh.wav" \
    bend 0.25,-300,0.4 lowpass 3000 tremolo 5 10 fade q 0.08 -0 0.35 pad 0 0.15 reverb 25 50 40 \
    gain -n -4

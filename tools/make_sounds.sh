#!/bin/sh
# Synthesises the two sounds played at the end of a conversion into data/Sounds:
#   converted.wav  a soft rising two-note chime (G5 then C6)
#   error.wav      a low falling two-note tone (E4 then B3)
# Each note is a sine with a quieter octave partial and an exponential decay; a short fade at
# both ends keeps the edges free of clicks. Mono, 44.1 kHz, 16-bit PCM.
# Usage: tools/make_sounds.sh [ffmpeg]
set -eu
ffmpeg=${1:-ffmpeg}
out=$(cd "$(dirname "$0")/.." && pwd)/data/Sounds
mkdir -p "$out"

# note(f, start, decay): a decaying tone of frequency f that starts at the given second
note() {
  echo "gte(t,$2)*exp(-$3*(t-$2))*(sin(2*PI*$1*(t-$2))+0.25*sin(4*PI*$1*(t-$2)))"
}

render() { # name, seconds, expression
  "$ffmpeg" -nostdin -v error -y -f lavfi \
    -i "aevalsrc=exprs='$3':s=44100:d=$2" \
    -af "afade=t=in:d=0.008,afade=t=out:st=$(echo "$2" | awk '{print $1 - 0.15}'):d=0.15" \
    -ac 1 -c:a pcm_s16le -map_metadata -1 -fflags +bitexact -flags:a +bitexact "$out/$1"
}

render converted.wav 0.7 "0.28*($(note 784 0 7)+$(note 1046.5 0.13 5))"
render error.wav 0.65 "0.32*($(note 329.6 0 5)+$(note 246.9 0.16 4))"

#!/usr/bin/env bash
# Regenerates the audio samples that `varnix demo` reports on and cuts. Needs ffmpeg with
# libtwolame. Writes beside itself.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
# A chord whose notes swell and fade at different speeds, so that pieces differ audibly.
note() { echo "$2*sin(2*PI*$1*t)*(0.6+0.4*sin(2*PI*$3*t))"; }
left="$(note 220 0.3 0.5)+$(note 277 0.2 0.7)+$(note 330 0.15 0.3)"
right="$(note 220 0.3 0.5)+$(note 330 0.2 0.4)+$(note 440 0.1 0.9)"
centre="$(note 110 0.3 0.25)+$(note 165 0.2 0.6)"
lfe="0.4*sin(2*PI*55*t)"

ff -f lavfi -i "aevalsrc=${left}|${right}|${centre}|${lfe}|${left}|${right}:s=48000:c=5.1:d=5" \
    -c:a ac3 -b:a 448k movie-5.1.ac3
ff -f lavfi -i "aevalsrc=${left}|${right}:s=48000:c=stereo:d=2" -c:a pcm_s16le music.wav
ff -f lavfi -i "aevalsrc=${left}|${right}:s=48000:c=stereo:d=5" -c:a libtwolame \
    -error_protection 1 -b:a 192k -f mp2 commentary.mp2
ff -f lavfi -i "aevalsrc=${left}|${right}|${centre}|${lfe}|${left}|${right}:s=48000:c=5.1:d=3" \
    -c:a dca -strict -2 -b:a 768k surround.dts

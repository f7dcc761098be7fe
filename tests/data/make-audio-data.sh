#!/usr/bin/env bash
# Regenerates the audio test files of tests/data and the broken ones of tests/data/bad.
# Needs ffmpeg (with libtwolame), head, dd, printf. Run from anywhere; writes beside itself.
# The committed files are what the tests check: regenerating with another ffmpeg may change
# bytes, and then the numbers in README.md and in the tests must be taken again with ffprobe.
set -euo pipefail
cd "$(dirname "$0")"

ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
six="0.4*sin(2*PI*440*t)|0.4*sin(2*PI*554*t)|0.4*sin(2*PI*659*t)|0.2*sin(2*PI*55*t)|0.3*sin(2*PI*330*t)|0.3*sin(2*PI*392*t)"
two="0.4*sin(2*PI*440*t)|0.4*sin(2*PI*660*t)"

# AC3
ff -f lavfi -i "aevalsrc=${six}:s=48000:c=5.1:d=2" -c:a ac3 -b:a 448k ac3-51-448k.ac3
ff -f lavfi -i "aevalsrc=${two}:s=48000:c=stereo:d=2" -c:a ac3 -b:a 192k ac3-stereo-192k.ac3
ff -f lavfi -i "aevalsrc=${two}:s=44100:c=stereo:d=2" -c:a ac3 -b:a 192k ac3-44k1-192k.ac3
ff -f lavfi -i "aevalsrc=${two}:s=44100:c=stereo:d=5" -c:a ac3 -b:a 32k ac3-44k1-32k.ac3
# DTS
ff -f lavfi -i "aevalsrc=${six}:s=48000:c=5.1:d=1" -c:a dca -strict -2 -b:a 768k dts-51.dts
# MPEG-1 Layer II with CRC (libtwolame; ffmpeg's own mp2 encoder writes no CRC)
ff -f lavfi -i "aevalsrc=${two}:s=48000:c=stereo:d=2" -c:a libtwolame -error_protection 1 \
    -b:a 192k -f mp2 mp2-crc.mp2
# The same stream behind an ID3v2.3 tag: a 10-byte header announcing 30 bytes, one TIT2 frame
# of 21 bytes and 9 bytes of padding.
{
    printf 'ID3\x03\x00\x00\x00\x00\x00\x1e'
    printf 'TIT2\x00\x00\x00\x0b\x00\x00\x00Varnix tes'
    head -c 9 /dev/zero
    cat mp2-crc.mp2
} > mp2-id3.mp2
# WAV: ffmpeg's default (a LIST chunk before the data), the plain 44-byte layout, and 32-bit
# float (WAVE_FORMAT_EXTENSIBLE with a fact chunk)
ff -f lavfi -i "aevalsrc=${two}:s=48000:c=stereo:d=0.5" -c:a pcm_s16le wav-s16-list.wav
ff -f lavfi -i "aevalsrc=${two}:s=48000:c=stereo:d=0.5" -c:a pcm_s16le -bitexact wav-s16-plain.wav
ff -f lavfi -i "aevalsrc=${two}:s=48000:c=stereo:d=0.25" -c:a pcm_f32le wav-float.wav

# Broken files, made from the good ones.
# An AC3 header cut after 6 bytes.
head -c 6 ac3-51-448k.ac3 > bad/ac3-truncated-header.ac3
# A DTS header cut after 12 bytes.
head -c 12 dts-51.dts > bad/dts-truncated-header.dts
# A RIFF file without "data": RIFF, fmt and LIST chunks only (the first 70 bytes).
head -c 70 wav-s16-list.wav > bad/wav-no-data.wav
# The LIST chunk's size (offset 40) set to 0x7FFFFFF0, far past the end of the file.
cp wav-s16-list.wav bad/wav-chunk-past-end.wav
printf '\xf0\xff\xff\x7f' | dd of=bad/wav-chunk-past-end.wav bs=1 seek=40 conv=notrunc status=none
# An unfinished recording: the data chunk declares 96000 bytes, 48000 are there.
head -c 48078 wav-s16-list.wav > bad/wav-data-past-end.wav
# An ID3v2 header announcing 0x0FFFFFFF bytes in front of 10 frames (5760 bytes).
{
    printf 'ID3\x03\x00\x00\x7f\x7f\x7f\x7f'
    head -c 5760 mp2-crc.mp2
} > bad/mp2-id3-beyond-end.mp2
# 20 frames, 97 bytes of garbage (a run of 0xFF, text, zeros), 20 more frames.
{
    head -c 11520 mp2-crc.mp2
    head -c 40 /dev/zero | tr '\0' '\377'
    printf 'GARBAGE BETWEEN FRAMES'
    head -c 35 /dev/zero
    dd if=mp2-crc.mp2 bs=576 skip=20 count=20 status=none
} > bad/mp2-garbage.mp2
# A Layer II stream cut inside its first header.
head -c 3 mp2-crc.mp2 > bad/mp2-truncated-header.mp2

# Hostile inputs (bad/README.md tells what Varnix does with each).
# A WAV header claiming sample frames of 4 GiB: sample rate 1 (offset 24), byte rate 0xFFFFFFFF
# (offset 28), in front of 4000 bytes of samples (the data chunk declares 96000).
head -c 4044 wav-s16-plain.wav > bad/wav-huge-sample-frame.wav
printf '\x01\x00\x00\x00\xff\xff\xff\xff' |
    dd of=bad/wav-huge-sample-frame.wav bs=1 seek=24 conv=notrunc status=none

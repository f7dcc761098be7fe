#!/usr/bin/env bash
# Seeds the fuzzers' corpora under CORPUS/<target>/ from the committed test files, adding only
# what is missing (a corpus the fuzzers have grown stays as it is).
#   fuzz/seed-corpora.sh CORPUS [VARNIX]
# VARNIX, the command-line program, writes the info caches that seed the hostile-cache inputs of
# video_cache; without it those seeds are left out.
set -euo pipefail
cd "$(dirname "$0")/.."
corpus=$1
varnix=${2:-}
data=tests/data

for t in probe mpa wav ac3_dts video_cache video_quick split chapters dvd_ifo ps_demux ts_demux; do
    mkdir -p "$corpus/$t"
done

seed() {  # seed TARGET FILE...
    local target=$1
    shift
    local f
    for f in "$@"; do
        [[ -f $f ]] && cp -n "$f" "$corpus/$target/"
    done
    return 0
}

shopt -s nullglob
audio=("$data"/*.ac3 "$data"/*.dts "$data"/*.mp2 "$data"/*.wav)
videos=("$data"/video/*.m1v "$data"/video/*.m2v)
bad=("$data"/bad/*)
bad=("${bad[@]/*README.md/}")

seed probe "${audio[@]}" "${videos[@]}" "${bad[@]}"
seed mpa "$data"/*.mp2 "$data"/bad/mp2-* "$data"/bad/*.mp2
seed wav "$data"/*.wav "$data"/bad/wav-* "$data"/bad/*.wav
seed ac3_dts "$data"/*.ac3 "$data"/*.dts "$data"/bad/ac3-* "$data"/bad/dts-* "$data"/bad/*.ac3 \
    "$data"/bad/*.dts
seed video_quick "${videos[@]}" "$data"/bad/*.m2v "$data"/bad/*.m1v
seed chapters "$data"/chapters/*.txt "$data"/chapters/*.xml "$data"/chapters/*.cue \
    "$data"/bad/chapters-*
seed dvd_ifo "$data"/chapters/VIDEO_TS/*.IFO

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for v in "${videos[@]}"; do
    name=$(basename "$v")
    # Small heads of every stream too: the fuzzers run fastest on small inputs.
    head -c 16384 "$v" >"$work/head-$name"
    seed video_quick "$work/head-$name"

    # video_cache: 0x00 + video (scan, then read back the cache)...
    { printf '\000'; cat "$work/head-$name"; } >"$work/scan-$name"
    seed video_cache "$work/scan-$name"
    # ... or 0x01, the video's length (16 bits, little-endian), the video, and the info cache
    # that a scan of the whole stream wrote (hostile-cache inputs).
    if [[ -n $varnix && -x $varnix ]]; then
        cp "$v" "$work/$name"
        if "$varnix" duration "$work/$name" >/dev/null 2>&1 && [[ -f $work/$name.vnf ]]; then
            { printf '\001\000\100'; cat "$work/head-$name" "$work/$name.vnf"; } \
                >"$work/cache-$name"
            seed video_cache "$work/cache-$name"
        fi
    fi
done

# split: audio files followed by a request (see fuzz/split.cpp): durations of 12 and 20 frames
# in PAL; and 10, 0 and 30 frames in NTSC, merged first.
for f in "${audio[@]}"; do
    name=$(basename "$f")
    { cat "$f"; printf '\014\000\024\000\012'; } >"$work/pal-$name"
    { cat "$f"; printf '\012\000\000\000\036\000\023'; } >"$work/merged-$name"
    seed split "$work/pal-$name" "$work/merged-$name"
done

# ps_demux and ts_demux: the container files behind the byte that picks the read size (and for
# ts_demux the packet size: odd for 192-byte packets).
for f in "$data"/video/*.vob "$data"/video/*.mpg "$data"/bad/ps-*; do
    { printf '\003'; cat "$f"; } >"$work/ps-$(basename "$f")"
    seed ps_demux "$work/ps-$(basename "$f")"
done
for f in "$data"/video/*.ts "$data"/bad/ts-*; do
    { printf '\006'; cat "$f"; } >"$work/ts-$(basename "$f")"
    seed ts_demux "$work/ts-$(basename "$f")"
done
for f in "$data"/video/*.m2ts; do
    { printf '\007'; cat "$f"; } >"$work/ts-$(basename "$f")"
    seed ts_demux "$work/ts-$(basename "$f")"
done

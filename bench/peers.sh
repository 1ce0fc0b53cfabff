#!/usr/bin/env bash
# The command line side by side with peer tools on the Brown sample repeated 20 times (each of
# its 500 files 20 times over), as whole processes: index build against `wc -w`, bigrams and
# trigrams against an awk | sort | uniq pipeline, extraction from a workspace and the full
# extract. The two commands of a pair run in turn (A B A B ...), and each figure is the median
# of the runs; the ratio is taken pair by pair, so that it holds while the shared machine's
# speed drifts. CPU is user + system seconds; on a busy machine it is steadier than wall time.
#
#   bench/peers.sh CLI [RUNS]     (make bench passes build-bench/src/quenterra-cli)
set -euo pipefail
cd "$(dirname "$0")/.."
cli=$(realpath "${1:-build-bench/src/quenterra-cli}")
runs=${2:-5}
[ -d samples/brown ] || { echo "peers.sh: no sample corpus (run scripts/setup)"; exit 0; }
work=$(mktemp -d "${TMPDIR:-/tmp}/qpeers.XXXXXX")
trap 'rm -rf "$work"' EXIT
export LC_ALL=C HOME="$work/home" XDG_CONFIG_HOME="$work/home"
mkdir -p "$work/home" "$work/plain1" "$work/plain" "$work/tagged"

# Plain Brown: the tags cut off; both forms with each file repeated 20 times.
for f in samples/brown/c[a-r][0-9][0-9]; do
  name=$(basename "$f")
  sed -E 's#/[^[:space:]]+##g' "$f" >"$work/plain1/$name"
  for _ in $(seq 20); do cat "$work/plain1/$name"; done >"$work/plain/$name"
  for _ in $(seq 20); do cat "$f"; done >"$work/tagged/$name"
done
tagged=(--set WordTag=1 --set wTagDelimiter=/)
# The copies just written are flushed now, not by the kernel in the middle of the timings.
sync

# One timed run: prints "wall cpu peak-MB".
measure() {
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >/dev/null 2>&1 || true
  awk '{ printf "%.3f %.3f %.1f\n", $1, $2 + $3, $4 / 1024 }' "$work/time"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# pair TITLE -- A... [-- B...]: runs A and B in turn and prints their medians and the ratios.
pair() {
  local title=$1; shift; shift
  local a=() b=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do a+=("$1"); shift; done
  [ $# -gt 0 ] && { shift; b=("$@"); }
  : >"$work/a"; : >"$work/b"; : >"$work/r"
  for _ in $(seq "$runs"); do
    local ra rb
    ra=$(measure "${a[@]}"); echo "$ra" >>"$work/a"
    if [ ${#b[@]} -gt 0 ]; then
      rb=$(measure "${b[@]}"); echo "$rb" >>"$work/b"
      echo "$ra $rb" | awk '{ printf "%.3f %.3f\n", $1 / $4, $2 / $5 }' >>"$work/r"
    fi
  done
  local wa ca ma
  wa=$(cut -d' ' -f1 "$work/a" | median); ca=$(cut -d' ' -f2 "$work/a" | median)
  ma=$(cut -d' ' -f3 "$work/a" | median)
  if [ ${#b[@]} -eq 0 ]; then
    printf '%-34s wall %6.2f s  cpu %6.2f s  peak %6.1f MB\n' "$title" "$wa" "$ca" "$ma"
    return
  fi
  local wb cb rw rc
  wb=$(cut -d' ' -f1 "$work/b" | median); cb=$(cut -d' ' -f2 "$work/b" | median)
  rw=$(cut -d' ' -f1 "$work/r" | median); rc=$(cut -d' ' -f2 "$work/r" | median)
  printf '%-34s wall %6.2f s  cpu %6.2f s  peak %6.1f MB | peer wall %6.2f s  cpu %6.2f s | ratio wall %5.2f  cpu %5.2f\n' \
    "$title" "$wa" "$ca" "$ma" "$wb" "$cb" "$rw" "$rc"
}

bigrams='awk "{ for (i = 1; i <= NF; ++i) { if (p != \"\") print p, \$i; p = \$i } p = \"\" }" "$@" | sort | uniq -c | sort -rn >/dev/null'
trigrams='awk "{ for (i = 1; i <= NF; ++i) { if (q != \"\") print q, p, \$i; q = p; p = \$i } p = q = \"\" }" "$@" | sort | uniq -c | sort -rn >/dev/null'

echo "== peers.sh: $runs runs each, $(nproc) processors, load $(cut -d' ' -f1 /proc/loadavg)"
pair "index, plain Brown x20" -- "$cli" --no-config index "$work"/plain/* -- wc -w "$work"/plain/*
pair "index, tagged Brown x20" -- "$cli" --no-config "${tagged[@]}" index "$work"/tagged/* \
  -- wc -w "$work"/tagged/*
pair "bigrams, plain Brown" -- "$cli" --no-config ngrams --span 2 --min-freq 1 --format tsv \
  "$work"/plain1/* -- bash -c "$bigrams" bigrams "$work"/plain1/*
pair "trigrams, plain Brown" -- "$cli" --no-config ngrams --span 3 --min-freq 1 --format tsv \
  "$work"/plain1/* -- bash -c "$trigrams" trigrams "$work"/plain1/*
pair "full extract, plain Brown" -- "$cli" --no-config --yes full-extract --format tsv "$work"/plain1/*

"$cli" --no-config workspace create "$work/plain.qws" "$work"/plain/* >/dev/null
# A word of about 10,000 occurrences in the workspace: about 500 in one copy.
node=$(cat "$work"/plain1/* | tr -s '[:space:]' '\n' | grep -E '^[a-z]{5,}$' | sort | uniq -c |
  awk '{ d = $1 - 500; if (d < 0) d = -d; if (best == "" || d < bd) { best = $2; bd = d } } END { print best }')
pair "extract 'the', span 5, workspace x20" -- "$cli" --workspace "$work/plain.qws" extract --span 5 \
  --format tsv the
[ -n "$node" ] && pair "extract '$node' (~10,000), span 5" -- "$cli" --workspace "$work/plain.qws" \
  extract --span 5 --format tsv "$node"
exit 0

#!/usr/bin/env bash
# Runs quenterra-cli on the Brown sample as a user would and compares every output (standard
# output, standard error and exit status) byte for byte with the one stored under expected/.
# A change of the code's structure must leave these outputs as they are.
#
#   tests/golden/check.sh CLI SAMPLES_DIR            compare (the test)
#   tests/golden/check.sh --update CLI SAMPLES_DIR   store the outputs as the expected ones
set -euo pipefail

update=0
if [ "${1:-}" = "--update" ]; then
  update=1
  shift
fi
cli=$(realpath "$1")
samples=$(realpath "$2")
expected=$(dirname "$(realpath "$0")")/expected

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/tmp" "$work/out" "$work/home"
cd "$work"
export TMPDIR="$work/tmp" HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" LC_ALL=C
unset LANG LC_CTYPE LC_NUMERIC

# A small corpus of its own, and a part of the sample big enough to give real lists.
mkdir corpus
cp "$samples"/ca0[1-9] "$samples"/cb0[1-5] corpus/
printf 'the\nof\nand\na\nin\n' > stop.txt
printf 'white + house\ncolo%%r\n\nthe > of\n' > batch.txt
tagged=(--no-config --set WordTag=1 --set wTagDelimiter=/)

failed=0
# run NAME ARGS...: runs the CLI and checks (or stores) its outputs under NAME.
run() {
  local name=$1
  shift
  local status=0
  "$cli" "$@" > "out/$name.out" 2> "out/$name.err" < /dev/null || status=$?
  {
    echo "# exit $status"
    echo "# stdout"
    sed -e "s#$work#WORK#g" -e '/^time: /d' "out/$name.out"
    echo "# stderr"
    sed -e "s#$work#WORK#g" "out/$name.err"
  } > "out/$name.txt"
  if [ $update = 1 ]; then
    cp "out/$name.txt" "$expected/$name.txt"
  elif ! cmp -s "out/$name.txt" "$expected/$name.txt"; then
    echo "golden: $name differs:" >&2
    diff "$expected/$name.txt" "out/$name.txt" | head -20 >&2 || true
    failed=1
  fi
}

[ $update = 1 ] && rm -rf "$expected" && mkdir -p "$expected"

run tokens-plain --no-config tokens corpus/ca01
run tokens-tagged "${tagged[@]}" tokens corpus/ca01 corpus/cb05
run tokens-case "${tagged[@]}" --set ignoreCase=0 --set SkipNormalTags=0 tokens corpus/ca02
run index "${tagged[@]}" index --stats corpus/*
run extract-word "${tagged[@]}" extract --span 3 --min-freq 2 "the + of" corpus/*
run extract-word-files "${tagged[@]}" extract --span 2 --min-freq 3 --score mi the corpus/*
run extract-regex "${tagged[@]}" extract --syntax regex --span 2 --format tsv "gov.*|pr[a-z]+s" corpus/*
run extract-tag "${tagged[@]}" extract --syntax tag --span 3 --format json "*&nn > of&in" corpus/*
run extract-batch "${tagged[@]}" extract --batch batch.txt --span 4 --min-freq 1 --sort alpha corpus/*
run extract-stop "${tagged[@]}" --stoplist stop.txt extract --span 3 --min-freq 2 "county" corpus/*
run extract-bad "${tagged[@]}" extract "post +" corpus/*
run ngrams-tsv "${tagged[@]}" ngrams --span 2 --min-freq 4 --format tsv corpus/*
run ngrams-tags "${tagged[@]}" ngrams --span 3 --pos-tags --min-freq 3 --format json corpus/*
run ngrams-text --no-config ngrams --span 2 --min-freq 3 --score ll --sort alpha,freq corpus/*
run full-extract "${tagged[@]}" full-extract --yes --min-freq 3 corpus/*
run full-extract-mi "${tagged[@]}" full-extract --yes --ef-method mi --ef-min 2 --min-span 3 --max-span 5 --format tsv corpus/*
run full-extract-tags "${tagged[@]}" full-extract --yes --pos-tags --min-freq 4 --format json corpus/*
run config-default --no-config config
run config-set --no-config --set SpanRange=12 --set "NonWordChars=.,;" --set ignoreCase=0 --stoplist stop.txt config
run ws-create "${tagged[@]}" workspace create study.qws corpus/ca0[1-5]
run ws-add workspace add study.qws corpus/cb0[1-5]
run ws-info workspace info --files study.qws
run ws-extract --workspace study.qws extract --span 2 --min-freq 3 --format tsv jury
run ws-ngrams --workspace study.qws --set Min_Word_Freq=5 ngrams --span 2
run ws-config --workspace study.qws config
run ws-index --workspace study.qws index --stats
run usage-unknown "${tagged[@]}" frobnicate

if [ $failed = 1 ]; then
  echo "golden: outputs differ from tests/golden/expected/ (--update stores new ones)" >&2
  exit 1
fi
[ $update = 1 ] && echo "golden: stored $(ls "$expected" | wc -l) outputs in $expected"
exit 0

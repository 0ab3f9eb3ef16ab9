#!/usr/bin/env bash
# What the replace journal costs, and the dry run against a find, side by
# side on the same files:
#   - `kelvara replace -y TEXT X` over a copy of TREE with the journal (the
#     default) and without it ([journal] runs=0), the copy made anew before
#     each run, page cache warm;
#   - `kelvara replace --dry-run TEXT X` against `kelvara find --format grep
#     --threads 1 TEXT` over TREE itself (both only read).
#
#   bench/replace_journal.sh [TREE] [TEXT] [RUNS]
#
# TREE defaults to build/corpus/source/fs (a part of the kernel tree that
# compare.sh unpacks), TEXT to "static", RUNS to 3; KELVARA_BUILD picks the
# build folder (build/main).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
tree=${1:-$top/build/corpus/source/fs}
text=${2:-static}
runs=${3:-3}
kelvara=${KELVARA_BUILD:-$top/build/main}/kelvara
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LC_ALL=C.UTF-8 XDG_STATE_HOME=$work/state

# Each setting in a config folder of its own.
mkdir -p "$work/with/kelvara" "$work/without/kelvara"
printf '[journal]\nruns=20\n' >"$work/with/kelvara/kelvara.ini"
printf '[journal]\nruns=0\n' >"$work/without/kelvara/kelvara.ini"

seconds() { # command...
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 || true
    end=$(date +%s.%N)
    echo "$end - $start" | bc
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

replace_once() { # config
    rm -rf "$work/copy"
    cp -r "$tree" "$work/copy"
    sync
    XDG_CONFIG_HOME=$work/$1 seconds "$kelvara" replace -y "$text" X "$work/copy"
}

for config in without with; do
    for _ in $(seq "$runs"); do replace_once "$config"; done | median >"$work/$config.time"
done
for _ in $(seq "$runs"); do
    seconds "$kelvara" find --format grep --threads 1 "$text" "$tree"
done | median >"$work/find.time"
for _ in $(seq "$runs"); do seconds "$kelvara" replace -n "$text" X "$tree"; done |
    median >"$work/dry.time"

hits=$("$kelvara" find --format grep --threads 1 "$text" "$tree" | wc -l)
printf 'tree %s, "%s": %s hits\n' "$tree" "$text" "$hits"
printf '%-40s %8s\n' "replace without journal" "$(cat "$work/without.time")"
printf '%-40s %8s   %.2fx\n' "replace with journal" "$(cat "$work/with.time")" \
    "$(echo "$(cat "$work/with.time") / $(cat "$work/without.time")" | bc -l)"
printf '%-40s %8s\n' "find --format grep --threads 1" "$(cat "$work/find.time")"
printf '%-40s %8s   %.2fx\n' "replace --dry-run" "$(cat "$work/dry.time")" \
    "$(echo "$(cat "$work/dry.time") / $(cat "$work/find.time")" | bc -l)"
du -sh "$XDG_STATE_HOME/kelvara/journal" 2>/dev/null | sed 's/^/journal kept: /'

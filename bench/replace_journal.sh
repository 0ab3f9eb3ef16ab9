#!/usr/bin/env bash
# What the replace journal costs, and the dry run against a find, side by
# side on the same files:
#   - `kelvara replace -y TEXT X` over a copy of TREE with the journal (the
#     default) and without it ([journal] runs=0), the copy made anew before
#     each run, page cache warm: wall time, and processor time (user and
#     system), which the load of other programs disturbs less;
#   - `kelvara replace --dry-run TEXT X` against `kelvara find --format grep
#     TEXT` over TREE itself (both only read), on one thread and on two.
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

# The old copy and the journal go before each run, so that each replace
# follows as many deleted files as the other: a file system without a
# journal of its own (ext4 without one) skips recently deleted inodes when it
# makes a new file, which costs the run after more deletions more. The old
# files a run without the journal frees during the run are freed by the next
# run's clean-up when the journal keeps them.
replace_once() { # config -> "wall processor" seconds
    rm -rf "$work/copy" "$XDG_STATE_HOME"
    cp -r "$tree" "$work/copy"
    sync
    local TIMEFORMAT='%R %U %S'
    { time XDG_CONFIG_HOME=$work/$1 "$kelvara" replace -y "$text" X "$work/copy" \
        >/dev/null 2>&1; } 2>&1 | awk '{ printf "%s %.3f\n", $1, $2 + $3 }'
}

# The two settings take turns, so that the load of other programs falls on
# both alike.
for _ in $(seq "$runs"); do
    for config in without with; do
        replace_once "$config" >>"$work/$config.times"
    done
done
for config in without with; do
    cut -d' ' -f1 "$work/$config.times" | median >"$work/$config.time"
    cut -d' ' -f2 "$work/$config.times" | median >"$work/$config.cpu"
done
for threads in 1 2; do
    for _ in $(seq "$runs"); do
        seconds "$kelvara" find --format grep --threads "$threads" "$text" "$tree" \
            >>"$work/find$threads.times"
        seconds "$kelvara" replace -n --threads "$threads" "$text" X "$tree" \
            >>"$work/dry$threads.times"
    done
    median <"$work/find$threads.times" >"$work/find$threads.time"
    median <"$work/dry$threads.times" >"$work/dry$threads.time"
done

hits=$("$kelvara" find --format grep --threads 1 "$text" "$tree" | wc -l)
printf 'tree %s, "%s": %s hits\n' "$tree" "$text" "$hits"
printf '%-40s %8s\n' "replace without journal" "$(cat "$work/without.time")"
printf '%-40s %8s   %.2fx\n' "replace with journal" "$(cat "$work/with.time")" \
    "$(echo "$(cat "$work/with.time") / $(cat "$work/without.time")" | bc -l)"
printf '%-40s %8s\n' "replace without journal, processor" "$(cat "$work/without.cpu")"
printf '%-40s %8s   %.2fx\n' "replace with journal, processor" "$(cat "$work/with.cpu")" \
    "$(echo "$(cat "$work/with.cpu") / $(cat "$work/without.cpu")" | bc -l)"
for threads in 1 2; do
    printf '%-40s %8s\n' "find --format grep --threads $threads" "$(cat "$work/find$threads.time")"
    printf '%-40s %8s   %.2fx\n' "replace --dry-run --threads $threads" \
        "$(cat "$work/dry$threads.time")" \
        "$(echo "$(cat "$work/dry$threads.time") / $(cat "$work/find$threads.time")" | bc -l)"
done
du -sh "$XDG_STATE_HOME/kelvara/journal" 2>/dev/null | sed "s/^/journal of the last run: /"

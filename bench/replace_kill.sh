#!/usr/bin/env bash
# Kills `kelvara replace` with SIGKILL (and SIGTERM) at several moments of a
# run over many files, then counts what the run left behind: temporary files
# in the tree, and files that are neither wholly old nor wholly new.
#
#   bench/replace_kill.sh [KELVARA] [FILES] [DELAYS...]
#
# KELVARA defaults to build/main/kelvara; FILES (default 400) files of 2 MB.
set -uo pipefail
shopt -s dotglob nullglob # temporary files are hidden
top=$(cd "$(dirname "$0")/.." && pwd)
kelvara=${1:-$top/build/main/kelvara}
count=${2:-400}
shift 2 2>/dev/null || shift $#
delays=("$@")
[ ${#delays[@]} -gt 0 ] || delays=(0.05 0.1 0.2 0.3 0.5 0.7 1 1.5 2 3)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# 2 MB of lines, each holding the search text once.
python3 - "$work/template" <<'PY'
import sys
line = b"some text with cat in it and more words after it\n"
with open(sys.argv[1], "wb") as out:
    out.write(line * (2 * 1024 * 1024 // len(line)))
PY
old_sum=$(md5sum <"$work/template" | cut -d' ' -f1)
sed 's/cat/dog/' "$work/template" >"$work/replaced"
new_sum=$(md5sum <"$work/replaced" | cut -d' ' -f1)

run() { # signal delay
    local signal=$1 delay=$2 tree=$work/tree
    rm -rf "$tree"
    mkdir -p "$tree"
    for i in $(seq 1 "$count"); do cp "$work/template" "$tree/f$i.txt"; done
    sync
    "$kelvara" replace -y --format grep cat dog "$tree" >/dev/null 2>&1 &
    local pid=$!
    sleep "$delay"
    kill -s "$signal" "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    local files=0 stray=0 old=0 new=0 damaged=0
    for f in "$tree"/*; do
        files=$((files + 1))
        case "$f" in "$tree"/f*.txt) ;; *) stray=$((stray + 1)); continue ;; esac
        case $(md5sum <"$f" | cut -d' ' -f1) in
        "$old_sum") old=$((old + 1)) ;;
        "$new_sum") new=$((new + 1)) ;;
        *) damaged=$((damaged + 1)) ;;
        esac
    done
    printf '%-7s after %5ss: %4d rewritten, %4d untouched, %d damaged, %d temporary files left\n' \
        "$signal" "$delay" "$new" "$old" "$damaged" "$stray"
}

for delay in "${delays[@]}"; do run KILL "$delay"; done
for delay in 0.3 1; do run TERM "$delay"; done

#!/usr/bin/env bash
# Wall time of `kelvara find --format grep` with regular expressions (-E) and
# with an exclude glob, side by side with the literal find and with ripgrep
# (PCRE2 with -P, and its default engine), on the source corpus that
# compare.sh makes (build/corpus/source; run compare.sh once first).
#
#   bench/regex_compare.sh            # KELVARA_RUNS, KELVARA_CORPUS, KELVARA_BUILD as compare.sh
#
# Every command prints every hit into a file; letter case counts everywhere
# (kelvara -c, rg without -i), so that only the engines differ. Needs
# hyperfine; rg is compared when present.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
corpus=${KELVARA_CORPUS:-$top/build/corpus}/source
runs=${KELVARA_RUNS:-5}
build=${KELVARA_BUILD:-$top/build/main}
kelvara=$build/kelvara
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export LC_ALL=C

if [ ! -d "$corpus" ]; then
    echo "bench/regex_compare.sh: no corpus at $corpus; run bench/compare.sh once" >&2
    exit 2
fi
cmake --build "$build" --target kelvara >/dev/null
find "$corpus" -type f -exec cat {} + >/dev/null
have() { command -v "$1" >/dev/null; }
rg=(rg -o -n --column --no-ignore --hidden)

# One row: LABEL, the kelvara arguments before the folder (one shell word
# string), the same for a second kelvara command to set beside it (or ""),
# and the rg pattern (or ""). The median of each is printed, and the ratios of
# the first command to the others.
row() {
    local label=$1 first=$2 second=$3 pattern=$4 cmds
    cmds=("'$kelvara' find --format grep -c $first '$corpus' > $out/k")
    [ -n "$second" ] && cmds+=("'$kelvara' find --format grep -c $second '$corpus' > $out/k2")
    if have rg && [ -n "$pattern" ]; then
        cmds+=("${rg[*]} -P -- $pattern '$corpus' > $out/rp" "${rg[*]} -- $pattern '$corpus' > $out/r")
    fi
    hyperfine --style none --warmup 1 --runs "$runs" -i --export-csv "$out/t.csv" "${cmds[@]}" \
        >/dev/null 2>&1
    local hits rghits=""
    hits=$(wc -l <"$out/k")
    [ -f "$out/r" ] && rghits=$(wc -l <"$out/r")
    LABEL=$label awk -F, -v hits="$hits" -v rghits="$rghits" -v second="${second:+1}" \
        'NR > 1 { t[NR - 1] = $4 }
        END {
            label = ENVIRON["LABEL"]
            k2 = second ? t[2] : 0; p = second ? 3 : 2
            rp = t[p]; r = t[p + 1]
            # A blank where there is nothing to compare.
            f = "%5.2f"; e = ""
            printf "| %-46s | %7d | %7s | %5.2f | %6s | %5s | %5s | %8s | %6s | %5s |\n", label,
                hits, rghits, t[1], k2 ? sprintf(f, k2) : e, rp ? sprintf(f, rp) : e,
                r ? sprintf(f, r) : e, k2 ? sprintf(f, t[1] / k2) : e,
                rp ? sprintf(f, t[1] / rp) : e, r ? sprintf(f, t[1] / r) : e
        }' "$out/t.csv"
    rm -f "$out"/k "$out"/k2 "$out"/rp "$out"/r
}

load() { cut -d' ' -f1-3 /proc/loadavg; }
echo "Corpus: $corpus ($(find "$corpus" -type f | wc -l) files); $(nproc) cores;" \
    "load average before: $(load); median of $runs runs, page cache warm"
echo
echo "| kelvara command (-c, all cores)                |    hits | rg hits |     k | beside | rg -P |    rg | k/beside | k/rg-P |  k/rg |"
echo "|------------------------------------------------|---------|---------|-------|--------|-------|-------|----------|--------|-------|"
row "-E kmalloc_array (beside: text)" "-E kmalloc_array" "kmalloc_array" "kmalloc_array"
row "-E 'k[a-z]+_array\\(' (beside: kmalloc_array)" "-E 'k[a-z]+_array\\('" "kmalloc_array" \
    "'k[a-z]+_array\\('"
row "-E '\\bstatic\\s+int\\b' (beside: static)" "-E '\\bstatic\\s+int\\b'" "static" \
    "'\\bstatic\\s+int\\b'"
row "-g '!drivers/**' kmalloc_array (beside: none)" "-g '!drivers/**' kmalloc_array" \
    "kmalloc_array" ""
echo
echo "drivers/ holds $(find "$corpus/drivers" -type f | wc -l) of the" \
    "$(find "$corpus" -type f | wc -l) files, $(du -sm "$corpus/drivers" | cut -f1) of" \
    "$(du -sm "$corpus" | cut -f1) MB"
echo "Load average after: $(load)"

#!/usr/bin/env bash
# Wall time of `kelvara find --format grep` at 1, 2 and all cores' threads
# against ripgrep (at its default threads and at one) and grep on a realistic
# corpus, side by side, with the ratios and kelvara's speed-up per thread
# count; then kelvara's peak memory.
#
# Corpus: the Linux kernel source tree when Debian's linux-source package is
# installed (/usr/src/linux-source-*.tar.xz; `apt-get install linux-source`),
# else a generated tree of
# source-like files; plus a generated GBK corpus of Chinese prose with mixed
# line ends, and a mixed tree of that corpus beside its UTF-8 twin. Corpora are
# made once in $KELVARA_CORPUS (default build/corpus); kelvara is built in
# $KELVARA_BUILD (default build/main).
# Then the cost of telling each file's encoding: the default (auto) against a
# forced code page. Needs hyperfine and iconv; rg and grep are compared when
# present. `bench/compare.sh encodings` runs only the encodings table.
set -euo pipefail
only=${1:-}
top=$(cd "$(dirname "$0")/.." && pwd)
corpus=${KELVARA_CORPUS:-$top/build/corpus}
runs=${KELVARA_RUNS:-5}
build=${KELVARA_BUILD:-$top/build/main}
kelvara=$build/kelvara
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
export LC_ALL=C # grep and kelvara both fold ASCII letters only; GBK bytes stay bytes

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
cmake --build "$build" --target kelvara >/dev/null

# A tree of C-like files: 40 folders of 50 files, about 250 MB. Every line
# holds common words; "static" starts many lines, "kmalloc_array" is rare.
generate_source_tree() {
    local dir=$1
    mkdir -p "$dir"
    LC_ALL=C awk -v dir="$dir" 'BEGIN {
        srand(42)
        split("int char return if else for while struct unsigned long void const " \
              "sizeof NULL break case switch goto err out data size len ret dev buf", w, " ")
        for (d = 0; d < 40; d++) {
            system("mkdir -p " dir "/d" d)
            for (f = 0; f < 50; f++) {
                file = sprintf("%s/d%d/f%d.%s", dir, d, f, (f % 5 == 0) ? "h" : "c")
                lines = 1000 + int(rand() * 3000)
                for (l = 0; l < lines; l++) {
                    r = rand()
                    if (r < 0.05) line = "static int " w[1 + int(rand() * 26)] "_" l "(void);"
                    else if (r < 0.0502) line = "\tp = kmalloc_array(n, sizeof(*p), GFP_KERNEL);"
                    else {
                        line = "\t"
                        n = 3 + int(rand() * 8)
                        for (k = 0; k < n; k++) line = line w[1 + int(rand() * 26)] " "
                        line = line ";"
                    }
                    print line > file
                }
                close(file)
            }
        }
    }'
}

# Chinese prose in GBK (two-byte characters from B0A1..F7FE) with ASCII
# punctuation, lines ended by CR LF, LF or CR at random; "中文" now and then.
generate_gbk_corpus() {
    local dir=$1
    mkdir -p "$dir"
    LC_ALL=C awk -v dir="$dir" 'BEGIN {
        srand(7)
        ends[0] = "\r\n"; ends[1] = "\n"; ends[2] = "\r"
        for (f = 0; f < 1600; f++) {
            file = sprintf("%s/prose%03d.txt", dir, f)
            text = ""
            for (l = 0; l < 800; l++) {
                n = 10 + int(rand() * 40)
                line = ""
                for (k = 0; k < n; k++) {
                    if (rand() < 0.01) line = line "\326\320\316\304"
                    else line = line sprintf("%c%c", 176 + int(rand() * 72), 161 + int(rand() * 94))
                    if (rand() < 0.1) line = line ", "
                }
                text = text line ends[int(rand() * 3)]
            }
            printf "%s", text > file
            close(file)
        }
    }'
}

if [ ! -d "$corpus/source" ]; then
    tarball=$(ls /usr/src/linux-source-*.tar.xz 2>/dev/null | tail -1 || true)
    mkdir -p "$corpus"
    if [ -n "$tarball" ]; then
        echo "Unpacking $tarball" >&2
        mkdir -p "$corpus/source.tmp"
        tar -xJf "$tarball" -C "$corpus/source.tmp" --strip-components=1
    else
        echo "Generating a source tree" >&2
        generate_source_tree "$corpus/source.tmp"
    fi
    mv "$corpus/source.tmp" "$corpus/source"
fi
if [ ! -d "$corpus/gbk" ]; then
    echo "Generating the GBK corpus" >&2
    generate_gbk_corpus "$corpus/gbk.tmp"
    mv "$corpus/gbk.tmp" "$corpus/gbk"
fi
# The GBK corpus and its UTF-8 twin (codes GBK does not define are dropped).
if [ ! -d "$corpus/mixed" ]; then
    echo "Making the mixed corpus" >&2
    mkdir -p "$corpus/mixed.tmp/gbk" "$corpus/mixed.tmp/utf8"
    cp "$corpus"/gbk/* "$corpus/mixed.tmp/gbk/"
    for file in "$corpus"/gbk/*; do
        iconv -c -f GBK -t UTF-8 "$file" >"$corpus/mixed.tmp/utf8/${file##*/}" || true
    done
    mv "$corpus/mixed.tmp" "$corpus/mixed"
fi

# Warm the page cache so that every tool reads from memory.
find "$corpus" -type f -exec cat {} + >/dev/null

have() { command -v "$1" >/dev/null; }

# Kelvara's thread counts: 1, 2 and the machine's cores.
cores=$(nproc)
threads=(1 2)
[ "$cores" -gt 2 ] && threads+=("$cores")

# One row: LABEL TEXT RG-PATTERN DIR CASE(yes/no) KELVARA-TEXT [kelvara options].
# The texts are shell words put into the commands as they are (quoted, or a
# $(printf ...) for bytes beyond ASCII, which hyperfine does not take); rg
# takes bytes beyond UTF-8 only as a (?-u) pattern, not with -F.
# Commands, in this order: kelvara at each thread count, rg at its default
# threads, rg -j1, grep; the median of the runs is printed for each.
compare() {
    local label=$1 text=$2 rgpattern=$3 dir=$4 case=$5 ktext=$6
    shift 6
    local kflags=() iflag=(-i) cmds=() t
    if [ "$case" = yes ]; then kflags=(-c) iflag=(); label="$label, --case"; fi
    for t in "${threads[@]}"; do
        cmds+=("'$kelvara' find --format grep --threads $t ${kflags[*]} $* -- $ktext '$dir' > $out/k$t")
    done
    local rgcmd="rg -o -n --column --no-ignore --hidden ${iflag[*]}"
    if have rg; then
        cmds+=("$rgcmd $rgpattern '$dir' > $out/r" "$rgcmd -j1 $rgpattern '$dir' > $out/r1")
    fi
    have grep && cmds+=("grep -rnoF ${iflag[*]} -- $text '$dir' > $out/g")
    hyperfine --style none --warmup 1 --runs "$runs" -i --export-csv "$out/t.csv" "${cmds[@]}" \
        >/dev/null 2>&1
    for t in "${threads[@]}"; do
        cmp -s "$out/k1" "$out/k$t" || echo "kelvara --threads $t printed other hits" >&2
    done
    local hits
    hits=$(wc -l <"$out/k1")
    awk -F, -v label="$label" -v hits="$hits" -v n="${#threads[@]}" -v rg="$(have rg && echo 1)" \
        'NR > 1 { t[NR - 1] = $4 }
        END {
            line = sprintf("| %-26s | %7d |", label, hits)
            for (i = 1; i <= n; i++) line = line sprintf(" %5.2f |", t[i])
            r = rg ? t[n + 1] : 0; r1 = rg ? t[n + 2] : 0; g = t[n + (rg ? 3 : 1)]
            line = line sprintf(" %5.2f | %6.2f | %5.2f |", r, r1, g)
            line = line sprintf(" %5.2f | %5.2f | %5.2f |", r ? t[n] / r : 0, r1 ? t[1] / r1 : 0,
                g ? t[1] / g : 0)
            for (i = 2; i <= n; i++) line = line sprintf(" %4.2fx |", t[1] / t[i])
            print line
        }' "$out/t.csv"
}

load() { cut -d' ' -f1-3 /proc/loadavg; }

if [ "$only" != encodings ]; then
    echo "Corpus: $corpus/source ($(find "$corpus/source" -type f | wc -l) files," \
        "$(du -sh "$corpus/source" | cut -f1)); $corpus/gbk ($(du -sh "$corpus/gbk" | cut -f1))"
    echo "$cores cores; load average before: $(load); median of $runs runs, page cache warm"
    echo
    header="| text                       |    hits |"
    rule="|----------------------------|---------|"
    for t in "${threads[@]}"; do header+=" k -j$t |"; rule+="-------|"; done
    header+="    rg | rg -j1 |  grep | k-j${threads[-1]}/rg | k-j1/rg-j1 | k-j1/grep |"
    rule+="-------|--------|-------|-------|-------|-------|"
    for t in "${threads[@]:1}"; do header+=" -j$t speed-up |"; rule+="------|"; done
    echo "$header"
    echo "$rule"
    compare kmalloc_array "'kmalloc_array'" "-F -- 'kmalloc_array'" "$corpus/source" no "'kmalloc_array'"
    compare kmalloc_array "'kmalloc_array'" "-F -- 'kmalloc_array'" "$corpus/source" yes "'kmalloc_array'"
    compare static "'static'" "-F -- 'static'" "$corpus/source" no "'static'"
    compare static "'static'" "-F -- 'static'" "$corpus/source" yes "'static'"
    compare "GBK prose, zhongwen" "\"\$(printf '\\326\\320\\316\\304')\"" \
        "-- '(?-u)\\xD6\\xD0\\xCE\\xC4'" "$corpus/gbk" yes \
        "\"\$(printf '\\344\\270\\255\\346\\226\\207')\"" --codepage gbk
    echo
    echo "Load average after: $(load)"
fi

# One row of the encodings table: LABEL THREADS AUTO-CMD FORCED-CMD RG-CMD.
# Each command writes its hits to a file of its own (appending, when it is
# two runs); the medians of auto and of the forced run(s) are set side by side.
encodings() {
    local label=$1 t=$2 auto=$3 forced=$4 rg=$5 cmds
    cmds=("$auto > $out/ea" "{ $forced; } > $out/ef")
    have rg && cmds+=("{ $rg; } > $out/er")
    hyperfine --style none --warmup 1 --runs "$runs" -i --export-csv "$out/e.csv" "${cmds[@]}" \
        >/dev/null 2>&1
    local hits forcedHits
    hits=$(wc -l <"$out/ea")
    forcedHits=$(wc -l <"$out/ef")
    [ "$hits" = "$forcedHits" ] || echo "auto found $hits hits, the forced runs $forcedHits" >&2
    awk -F, -v label="$label" -v t="$t" -v hits="$hits" -v rg="$(have rg && echo 1)" \
        'NR > 1 { m[NR - 1] = $4; c[NR - 1] = $5 + $6 }
        END {
            printf "| %-28s | %2d | %7d | %5.2f | %6.2f | %10.2fx | %8.2f | %10.2f | %8.2fx | %5.2f |\n",
                label, t, hits, m[1], m[2], m[1] / m[2], c[1], c[2], c[1] / c[2], rg ? m[3] : 0
        }' "$out/e.csv"
}

echo
echo "Encodings: auto (each file's own) against a forced code page"
echo "$cores cores; load average before: $(load); median of $runs runs, page cache warm"
echo
# Wall time (median) and CPU time (user + system, mean), which a busy machine
# disturbs less.
echo "| text                         | -j |    hits |  auto | forced | auto/forced | auto CPU | forced CPU | CPU ratio |    rg |"
echo "|------------------------------|----|---------|-------|--------|-------------|----------|------------|-----------|-------|"
for t in 1 "$cores"; do
    for text in kmalloc_array static; do
        encodings "$text, kernel" "$t" "'$kelvara' find --format grep --threads $t $text '$corpus/source'" \
            "'$kelvara' find --format grep --threads $t --codepage utf8 $text '$corpus/source'" \
            "rg -j$t -F -o -n --column --no-ignore --hidden -i $text '$corpus/source'"
    done
    zh="\"\$(printf '\344\270\255\346\226\207')\""
    k="'$kelvara' find --format grep --threads $t -c"
    encodings "zhongwen, GBK + UTF-8 twin" "$t" "$k -- $zh '$corpus/mixed'" \
        "$k --codepage gbk -- $zh '$corpus/mixed/gbk'; $k --codepage utf8 -- $zh '$corpus/mixed/utf8'" \
        "rg -j$t -o -n --column -E gbk -F -- $zh '$corpus/mixed/gbk'; rg -j$t -o -n --column -F -- $zh '$corpus/mixed/utf8'"
done
echo
echo "Load average after: $(load)"

[ "$only" = encodings ] && exit 0
echo
for text in static if; do
    for t in 1 "$cores"; do
        /usr/bin/time -f "%M" -o "$out/mem" "$kelvara" find --format grep --threads "$t" -c "$text" \
            "$corpus/source" >"$out/k" 2>/dev/null || true
        echo "Peak memory, \"$text\" --case, $t threads: $(wc -l <"$out/k") hits," \
            "$(($(cat "$out/mem") / 1024)) MB"
    done
done

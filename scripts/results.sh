# Sourced by scripts/test: adds up the results of every build's tests and
# checks, and prints the verdict as the last line. A step that needs counting
# calls one of these; a failure never stops the script, so that every build
# and check runs and the verdict covers them all.
kelvara_passed=0
kelvara_failed=0
kelvara_skipped=0
kelvara_failures=()

# One failed step outside the tests (a build that does not compile).
kelvara_fail() {
    kelvara_failed=$((kelvara_failed + 1))
    kelvara_failures+=("$1")
}

# Runs a check that is not a ctest test (NAME COMMAND...): one passed or one
# failed result.
kelvara_check() {
    local name=$1
    shift
    echo "== $name"
    if "$@"; then
        kelvara_passed=$((kelvara_passed + 1))
    else
        kelvara_fail "$name"
    fi
}

# Runs ctest in a build folder (further arguments go to ctest) and adds up
# its tests from the report it writes.
kelvara_ctest() {
    local folder=$1
    shift
    local report
    report="$(pwd)/$folder/ctest-report.xml"
    rm -f "$report"
    ctest --test-dir "$folder" --output-on-failure --output-junit "$report" "$@"
    if [ ! -f "$report" ]; then
        kelvara_fail "$folder: ctest wrote no report"
        return
    fi
    local status counts
    counts=$(grep -o '<testcase name="[^"]*" [^>]*status="[a-z]*"' "$report")
    kelvara_passed=$((kelvara_passed + $(grep -c 'status="run"' <<<"$counts")))
    kelvara_skipped=$((kelvara_skipped + $(grep -c 'status="notrun"' <<<"$counts")))
    while read -r status; do
        [ -n "$status" ] && kelvara_fail "$folder: $status"
    done < <(grep 'status="fail"' <<<"$counts" | sed 's/<testcase name="\([^"]*\)".*/\1/')
}

# The source files that clang-format would change, named one by one.
kelvara_check_format() {
    local files unformatted
    files=$(git ls-files '*.cpp' '*.h' 2>/dev/null)
    [ -n "$files" ] || return 0
    echo "== Formatting"
    # shellcheck disable=SC2086 # one word per file
    unformatted=$(clang-format --dry-run $files 2>&1 | grep -oE '^[^: ]+\.(cpp|h):' | tr -d ':' |
        sort -u)
    if [ -z "$unformatted" ]; then
        kelvara_passed=$((kelvara_passed + 1))
        return
    fi
    local file
    for file in $unformatted; do
        kelvara_fail "formatting: run clang-format -i $file"
    done
}

# The failures, then the verdict line; the status for the script's exit.
kelvara_verdict() {
    local failure
    for failure in "${kelvara_failures[@]}"; do
        echo "FAILED: $failure"
    done
    local verdict="$kelvara_passed passed, $kelvara_failed failed"
    [ "$kelvara_skipped" -gt 0 ] && verdict+=", $kelvara_skipped skipped"
    echo "$verdict"
    [ "$kelvara_failed" -eq 0 ]
}

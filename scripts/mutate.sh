#!/usr/bin/env bash
# Mutation testing: how many small faults does the test suite find?
#
#   scripts/mutate.sh [options] <build-folder> [mutant-id...]
#
# The build folder is a configured build of this repository with the tests
# (ORDWIN_BUILD_TESTS=ON). Each mutant of scripts/mutants.txt (or only the
# ones named) is put into the working tree in its turn: the build is brought
# up to date, the whole suite runs, and the original file is put back. A
# mutant is
#   killed         the build succeeded and at least one test failed
#   survived       the build succeeded and every test passed
#   compile-error  the build failed (counted apart from the killed)
#   stale          its original text is not found exactly once in its file
# The kill rate is taken over the killed and survived mutants only.
#
# Options:
#   --quick          leave out the slow content checker, tst_papers
#   --list <file>    read the mutants from <file> instead of scripts/mutants.txt
#   --no-baseline    do not run the suite on the unchanged tree first
#   --check          only check the list: show each mutant's change and report
#                    the stale ones; nothing is built or changed
#
# The files the chosen mutants change must have no uncommitted changes. The
# original file is put back whatever happens (also on Ctrl-C), and the build
# is brought back up to date at the end. Logs of every build and test run go
# to <build-folder>/mutate-logs.
#
# Builds and tests use two jobs; on a shared machine run the script under
# nice, e.g.  nice -n 15 scripts/mutate.sh build-mut
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

usage() {
    sed -n '2,/^set -euo pipefail/{/^#/s/^# \{0,1\}//p}' "${BASH_SOURCE[0]}" >&2
    exit 2
}

die() {
    echo "mutate.sh: $*" >&2
    exit 2
}

# --- Arguments ---------------------------------------------------------------

quick=0
baseline=1
check_only=0
list="$here/scripts/mutants.txt"
while [ $# -gt 0 ]; do
    case "$1" in
        --quick) quick=1 ;;
        --no-baseline) baseline=0 ;;
        --check) check_only=1 ;;
        --list)
            [ $# -ge 2 ] || usage
            list="$2"
            shift
            ;;
        --help | -h) usage ;;
        --*) die "unknown option $1" ;;
        *) break ;;
    esac
    shift
done
[ $# -ge 1 ] || usage
build_arg="$1"
shift
wanted=("$@")

[ -f "$list" ] || die "no mutant list $list"
command -v perl >/dev/null || die "perl is needed to apply the mutants"

# --- The mutant list ---------------------------------------------------------

ids=()
files=()
whats=()
froms=()
tos=()

cur_id="" cur_file="" cur_what="" cur_from="" cur_to=""
have_from=0 have_to=0 block_line=0

end_block() {
    if [ -z "$cur_id$cur_file$cur_what" ] && [ "$have_from$have_to" = "00" ]; then
        return
    fi
    local where="$list:$block_line"
    [ -n "$cur_id" ] || die "$where: mutant without id"
    [ -n "$cur_file" ] || die "$where: mutant $cur_id has no file"
    [ -n "$cur_what" ] || die "$where: mutant $cur_id has no what"
    if [ "$have_from" != 1 ] || [ -z "$cur_from" ]; then
        die "$where: mutant $cur_id has no from"
    fi
    [ "$have_to" = 1 ] || die "$where: mutant $cur_id has no to"
    [ "$cur_from" != "$cur_to" ] || die "$where: mutant $cur_id changes nothing"
    local id
    for id in "${ids[@]}"; do
        [ "$id" != "$cur_id" ] || die "$where: mutant id $cur_id used twice"
    done
    ids+=("$cur_id")
    files+=("$cur_file")
    whats+=("$cur_what")
    froms+=("$cur_from")
    tos+=("$cur_to")
    cur_id="" cur_file="" cur_what="" cur_from="" cur_to=""
    have_from=0 have_to=0
}

line_no=0
while IFS= read -r line || [ -n "$line" ]; do
    line_no=$((line_no + 1))
    line="${line%$'\r'}"
    case "$line" in
        "#"*) continue ;;
        "")
            end_block
            continue
            ;;
    esac
    case "$line" in
        *:*) ;;
        *) die "$list:$line_no: expected \"key: value\"" ;;
    esac
    key="${line%%:*}"
    value="${line#*:}"
    value="${value# }"
    if [ -z "$cur_id$cur_file$cur_what" ] && [ "$have_from$have_to" = "00" ]; then
        block_line=$line_no
    fi
    case "$key" in
        id)
            [ -z "$cur_id" ] || end_block
            block_line=$line_no
            cur_id="$value"
            ;;
        file) cur_file="$value" ;;
        what) cur_what="$value" ;;
        from)
            if [ "$have_from" = 1 ]; then cur_from+=$'\n'"$value"; else cur_from="$value"; fi
            have_from=1
            ;;
        to)
            if [ "$have_to" = 1 ]; then cur_to+=$'\n'"$value"; else cur_to="$value"; fi
            have_to=1
            ;;
        *) die "$list:$line_no: unknown key \"$key\"" ;;
    esac
done <"$list"
end_block

[ "${#ids[@]}" -gt 0 ] || die "no mutants in $list"

# The chosen mutants, as indexes into the arrays.
chosen=()
if [ "${#wanted[@]}" -eq 0 ]; then
    for i in "${!ids[@]}"; do chosen+=("$i"); done
else
    for want in "${wanted[@]}"; do
        found=""
        for i in "${!ids[@]}"; do
            if [ "${ids[$i]}" = "$want" ]; then found="$i"; fi
        done
        [ -n "$found" ] || die "no mutant $want in $list"
        chosen+=("$found")
    done
fi

# How often a text occurs in a file.
occurrences() {
    FROM="$2" perl -0777 -ne '$n += () = /\Q$ENV{FROM}\E/g; END { print $n // 0 }' -- "$1"
}

# Replaces the one occurrence of a text in a file.
replace_once() {
    FROM="$2" TO="$3" perl -0777 -pi -e 's/\Q$ENV{FROM}\E/$ENV{TO}/' -- "$1"
}

width=0
for i in "${chosen[@]}"; do
    [ "${#ids[$i]}" -le "$width" ] || width=${#ids[$i]}
done

if [ "$check_only" = 1 ]; then
    stale=0
    scratch="$(mktemp -d)"
    trap 'rm -rf "$scratch"' EXIT
    for i in "${chosen[@]}"; do
        path="$here/${files[$i]}"
        n=0
        [ -f "$path" ] && n="$(occurrences "$path" "${froms[$i]}")"
        if [ "$n" != 1 ]; then
            printf '%-*s  stale (found %s times)  %s\n' "$width" "${ids[$i]}" "$n" "${files[$i]}"
            stale=$((stale + 1))
            continue
        fi
        cp "$path" "$scratch/mutant"
        replace_once "$scratch/mutant" "${froms[$i]}" "${tos[$i]}"
        echo "== ${ids[$i]}: ${whats[$i]}"
        diff -U0 --label "a/${files[$i]}" --label "b/${files[$i]}" "$path" "$scratch/mutant" || true
    done
    echo "${#chosen[@]} mutants, $stale stale"
    [ "$stale" -eq 0 ]
    exit
fi

# --- The build and the tree --------------------------------------------------

[ -d "$build_arg" ] || die "no build folder $build_arg"
build="$(cd "$build_arg" && pwd)"
[ -f "$build/CMakeCache.txt" ] || die "$build is not a configured build folder"
source_dir="$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")"
[ "$(cd "$source_dir" 2>/dev/null && pwd -P)" = "$(cd "$here" && pwd -P)" ] ||
    die "$build is a build of $source_dir, not of $here"

mutated_files=()
for i in "${chosen[@]}"; do
    [ -f "$here/${files[$i]}" ] || die "mutant ${ids[$i]}: no file ${files[$i]}"
    mutated_files+=("${files[$i]}")
done
dirty="$(git -C "$here" diff --name-only HEAD -- "${mutated_files[@]}")"
[ -z "$dirty" ] || die "uncommitted changes in files to mutate:
$dirty"

logs="$build/mutate-logs"
mkdir -p "$logs"

# --timeout is the limit of a test without its own TIMEOUT property; the
# suite's tests have 300 s, so a mutant that makes a test loop costs that.
# A test that runs out of time has failed: the mutant is killed.
ctest_args=(--test-dir "$build" -j2 --timeout 120 --output-on-failure)
[ "$quick" = 0 ] || ctest_args+=(-E '^tst_papers$')
export QT_QPA_PLATFORM=offscreen

test_count="$(ctest "${ctest_args[@]}" -N | sed -n 's/^Total Tests: //p')"
if [ -z "$test_count" ] || [ "$test_count" -eq 0 ]; then
    die "$build has no tests: configure it with -DORDWIN_BUILD_TESTS=ON"
fi

# --- Putting the original back -----------------------------------------------

current=""  # the file that holds a mutant, relative to $here
saved=""    # a folder holding the original of that file
restore() {
    if [ -n "$current" ]; then
        if ! cp "$saved/original" "$here/$current" 2>/dev/null; then
            git -C "$here" checkout HEAD -- "$current"
        fi
        # A new time, so the next build compiles the original again.
        touch "$here/$current"
        current=""
    fi
}
# The two handlers run from traps only.
# shellcheck disable=SC2317
on_exit() {
    local status=$?
    restore
    if [ -n "$saved" ]; then rm -rf "$saved"; fi
    exit "$status"
}
# shellcheck disable=SC2317
on_signal() {
    trap - INT TERM
    if [ -n "$child" ]; then
        kill -TERM -- "-$child" 2>/dev/null || true
        wait "$child" 2>/dev/null || true
    fi
    restore
    echo "mutate.sh: interrupted; the sources are restored, the build may still hold a mutant:" >&2
    echo "  cmake --build $build -j2" >&2
    exit 130
}
trap on_exit EXIT
trap on_signal INT TERM
saved="$(mktemp -d)"

# Runs a command with its output in a log, in a process group of its own,
# so that an interrupt stops the command with all it started at once.
child=""
run_logged() {
    local log="$1" status=0
    shift
    setsid "$@" >"$log" 2>&1 </dev/null &
    child=$!
    wait "$child" || status=$?
    child=""
    return "$status"
}

build_tree() {
    run_logged "$1" cmake --build "$build" -j2
}

# Runs the suite; false if a test failed, with the failing tests' names,
# space-separated, in $failed.
failed=""
run_tests() {
    failed=""
    if run_logged "$1" ctest "${ctest_args[@]}"; then
        return 0
    fi
    failed="$(sed -n '/The following tests FAILED:/,$p' "$1" |
        sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\).*$/\1/p' | tr '\n' ' ' | sed 's/ $//')"
    return 1
}

# --- Baseline ----------------------------------------------------------------

echo "Tree:     $here"
echo "Build:    $build"
echo "Tests:    $test_count$([ "$quick" = 0 ] || echo " (without tst_papers)")"
echo "Mutants:  ${#chosen[@]} from $list"
echo "Logs:     $logs"

if [ "$baseline" = 1 ]; then
    start=$SECONDS
    build_tree "$logs/baseline.build.log" || die "the unchanged tree does not build: see $logs/baseline.build.log"
    if ! run_tests "$logs/baseline.test.log"; then
        die "the suite fails on the unchanged tree ($failed): see $logs/baseline.test.log"
    fi
    echo "Baseline: build and suite pass ($((SECONDS - start)) s)"
fi
echo

# --- The mutants -------------------------------------------------------------

killed=0 survived=0 broken=0 stale=0
survivors=()
results="$logs/results.tsv"
printf 'id\tresult\tfile\twhat\tfailed tests\tseconds\n' >"$results"

for i in "${chosen[@]}"; do
    id="${ids[$i]}"
    file="${files[$i]}"
    start=$SECONDS
    failed=""
    n="$(occurrences "$here/$file" "${froms[$i]}")"
    if [ "$n" != 1 ]; then
        result="stale"
        failed="found $n times"
        stale=$((stale + 1))
    else
        cp "$here/$file" "$saved/original"
        current="$file"
        replace_once "$here/$file" "${froms[$i]}" "${tos[$i]}"
        touch "$here/$file"
        if cmp -s "$saved/original" "$here/$file"; then
            restore
            die "mutant $id: the replacement did not take"
        fi
        if ! build_tree "$logs/$id.build.log"; then
            result="compile-error"
            broken=$((broken + 1))
        elif run_tests "$logs/$id.test.log"; then
            result="survived"
            survived=$((survived + 1))
            survivors+=("$id")
        else
            result="killed"
            killed=$((killed + 1))
        fi
        restore
    fi
    seconds=$((SECONDS - start))
    printf '%-*s  %-13s  %s: %s%s\n' "$width" "$id" "$result" "$file" "${whats[$i]}" \
        "${failed:+  [$failed]}"
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$id" "$result" "$file" "${whats[$i]}" "$failed" \
        "$seconds" >>"$results"
done

# --- Back to the original build, and the summary -----------------------------

echo
if ! build_tree "$logs/final.build.log"; then
    echo "mutate.sh: the final rebuild of the unchanged tree failed: see $logs/final.build.log" >&2
    final_failed=1
else
    final_failed=0
fi

measured=$((killed + survived))
if [ "$measured" -gt 0 ]; then
    rate="$(awk -v k="$killed" -v n="$measured" 'BEGIN { printf "%.1f%%", 100 * k / n }')"
else
    rate="n/a"
fi
echo "killed $killed of $measured ($rate)"
echo "survived $survived, compile errors $broken, stale $stale"
if [ "${#survivors[@]}" -gt 0 ]; then
    echo "survivors: ${survivors[*]}"
fi
echo "results: $results"
exit "$final_failed"

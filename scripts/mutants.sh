#!/usr/bin/env bash
# Mutation testing: puts one small fault at a time into the program's lines (a comparison's boundary, a negation,
# a sign, a number, a call left out, ...), builds the in-process tests, runs them and reports each fault that no
# test noticed. The mutants are made by scripts/mutants.py; README.md (Development) says how to use it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"

usage() {
  cat >&2 <<'EOF'
usage: scripts/mutants.sh (--since REV | FILE[:LINE]...) [options]
  --since REV       mutate the src/ lines that the working tree adds or changes against REV
  FILE[:LINE]...    mutate every line of each FILE (or line LINE only)
  --count N         at most N mutants, picked at random, spread over the lines (40)
  --seed S          the pick's seed (1): the same seed picks the same mutants again
  --full            also run the application tests for the mutants the in-process tests miss
  --min PERCENT     exit non-zero when fewer than PERCENT % of the mutants that built are detected
  --timeout SECS    time limit of one mutant (3 times the baseline's build and tests, at least 60 s)
  --tests REGEX     only the tests whose names match this Python regular expression
  --build DIR       the build folder (build/, as for scripts/test.sh)
  --list            list every candidate mutant of those lines, and do nothing else
  --self-check      show that a sure mutant is killed and that an interrupted run puts its file back
EOF
  exit 2
}

count=40 seed=1 full=0 min='' limit='' tests='' list=0 self_check=0 since='' files=()
while (($#)); do
  case $1 in
    --since) since=${2:?}; shift ;;
    --count) count=${2:?}; shift ;;
    --seed) seed=${2:?}; shift ;;
    --full) full=1 ;;
    --min) min=${2:?}; shift ;;
    --timeout) limit=${2:?}; shift ;;
    --tests) tests=${2:?}; shift ;;
    --build) TAVRILO_BUILD=$(realpath -m "${2:?}"); shift ;;
    --list) list=1 ;;
    --self-check) self_check=1 ;;
    -*) usage ;;
    *) files+=("$1") ;;
  esac
  shift
done
work="$TAVRILO_BUILD/mutants"
job='' env_started=0

# While a mutant is in place, the original file is kept in the build folder (backup, and its path in
# backup.path), so that a run killed outright is repaired by the next one.
put_in_place() {   # $1 the mutant's copy of the file, $2 the file
  printf '%s\n' "$2" > "$work/backup.path"
  cp "$2" "$work/backup.new"
  mv "$work/backup.new" "$work/backup"
  cp "$1" "$2"
}

restore_original() {
  [ -e "$work/backup" ] || return 0
  local file
  file=$(cat "$work/backup.path")
  cp "$work/backup" "$file" || return
  # newer than what the mutant's build made, so that the next build compiles the original again
  touch "$file" || return
  if cmp -s "$work/backup" "$file"; then rm -f "$work/backup" "$work/backup.path"; fi
}

# Builds the stages' programs and runs each stage's tests, cheap unit tests first, each stage stopping at its first
# failure. A stage whose programs were not linked anew since the stamp is skipped: they are the ones the baseline
# passed. A failure counts only if it comes again: once in some thousands of runs a test fails at once, without
# having started. Exit status: 0 passed, 1 a test failed, 3 the build failed, 4 no tested program changed.
build_and_test() {
  cmake --build "$MUT_BUILD" -j2 --target $MUT_STAGES || return 3
  local stage exe ran=0
  for stage in $MUT_STAGES; do
    for exe in "tests/$stage.exe" $([ "$stage" = app_tests ] && echo Tavrilo.exe); do
      if [ "$MUT_BUILD/$exe" -nt "$MUT_WORK/stamp" ]; then
        ran=1
        run_stage "$stage" || { run_tests --rerun-failed && run_stage "$stage"; } || return 1
        break
      fi
    done
  done
  ((ran)) || return 4
}

# The unit tests run two at a time; the others hold the screen lock and run one at a time anyway, and a serial
# ctest takes them in their listed order instead of the slowest first.
run_stage() {
  run_tests -I "$MUT_WORK/$1.tests" -j "$([ "$1" = unit_tests ] && echo 2 || echo 1)" --stop-on-failure
}

run_tests() {
  ctest --test-dir "$MUT_BUILD" --timeout "$MUT_TEST_TIMEOUT" --output-on-failure "$@"
}
export -f build_and_test run_stage run_tests

# build_and_test in a process group of its own (timeout's), which the time limit or this script's end stops as a
# whole. $1 the time limit in seconds, $2 the log.
run_steps() {
  timeout -k 10 "$1" bash -c build_and_test </dev/null >"$2" 2>&1 &
  job=$!
  local status=0
  wait "$job" || status=$?
  job=''
  return "$status"
}

start_env() {
  wine_env_start "$TAVRILO_BUILD"
  env_started=1
  forget_test_dpi
  hold_desktop   # the UI tests run one at a time, with builds between them
}

on_exit() {
  local status=$?
  if [ -n "$job" ]; then
    kill -TERM -- "-$job" "$job" 2>/dev/null || true
    wait "$job" 2>/dev/null || true
  fi
  restore_original || status=$?   # and the Wine environment is stopped all the same
  if ((env_started)); then wine_env_stop; fi
  exit "$status"
}

# On a real build: every mutant of CountsToMillis' sum is killed by the conversion test alone, and a run interrupted
# while a mutant is in place puts the file's bytes back and leaves no backup.
run_self_check() {
  local file="$TAVRILO_ROOT/src/timing/perf_clock.cpp" copy pid i status=0
  copy="$(mktemp)"
  cp "$file" "$copy"
  local run=(bash "$0" --build "$TAVRILO_BUILD" --tests '^CounterConversion\.'
             "$file:$(grep -n 'return counts / frequency' "$file" | cut -d: -f1)")
  "${run[@]}" --min 100 || { echo "self-check: a mutant that the conversion test must kill was not killed"; return 1; }
  set -m   # its own process group, in which SIGINT is not ignored as it is for a background job otherwise
  "${run[@]}" >"$copy.log" 2>&1 &
  pid=$!
  set +m
  i=0
  while cmp -s "$file" "$copy" && kill -0 "$pid" 2>/dev/null && ((i++ < 3000)); do sleep 0.1; done   # 5 min
  cmp -s "$file" "$copy" && { echo "self-check: no mutant was put in place"; cat "$copy.log"; return 1; }
  kill -INT "$pid"
  wait "$pid" || status=$?
  if ((status != 130)) || ! cmp "$file" "$copy" || [ -e "$work/backup" ]; then
    echo "self-check: the interrupted run (exit status $status) did not put $file back"
    return 1
  fi
  rm -f "$copy" "$copy.log"
  echo "self-check: passed"
}

if ((self_check)); then run_self_check; exit; fi
if [ -z "$since" ] && ((${#files[@]} == 0)) || { [ -n "$since" ] && ((${#files[@]})); }; then usage; fi
plan=(python3 "$here/mutants.py" plan --root "$TAVRILO_ROOT" ${since:+--since "$since"} "${files[@]}")
if ((list)); then exec "${plan[@]}" --list; fi

mkdir -p "$work/logs"
if [ -e "$work/backup" ]; then
  echo "mutants: an earlier run was stopped with a mutant in place; putting back $(cat "$work/backup.path")"
  restore_original
fi
rm -f "$work"/mutant-* "$work"/logs/* "$work"/*.tests
"${plan[@]}" --count "$count" --seed "$seed" --out "$work"
mapfile -t mutants <"$work/plan.tsv"
((${#mutants[@]})) || { echo "mutants: those lines have nothing to mutate"; exit 0; }

export CMAKE_BUILD_PARALLEL_LEVEL=2
build_tavrilo >"$work/logs/build.log" 2>&1 || { tail -n 30 "$work/logs/build.log"; exit 2; }
use_silent_audio
TAVRILO_OWN_DISPLAY=1
trap on_exit EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
start_env

# The tests of each stage, by their numbers in ctest's list.
ctest --test-dir "$TAVRILO_BUILD" --show-only=json-v1 </dev/null |
  python3 "$here/mutants.py" tests --regex "$tests" --out "$work"
stages=''
for stage in unit_tests ui_tests $( ((full)) && echo app_tests); do
  [ -e "$work/$stage.tests" ] && stages+="$stage "
done
[ -n "$stages" ] || { echo "mutants: no test to run"; exit 2; }
export MUT_BUILD="$TAVRILO_BUILD" MUT_WORK="$work" MUT_STAGES="$stages" MUT_TEST_TIMEOUT=300

# The baseline: the unmutated program, its mutated files compiled afresh as a mutant's will be, must pass.
cut -f2 "$work/plan.tsv" | sort -u | xargs -d '\n' touch
touch -d @0 "$work/stamp"
started=$SECONDS
run_steps 3600 "$work/logs/baseline.log" || {
  echo "mutants: the unmutated program fails its tests ($work/logs/baseline.log); no mutant is run"
  exit 2
}
baseline=$((SECONDS - started))
tested=$(sed -nE 's/^Total Test time \(real\) = +([0-9.]+) sec$/\1/p' "$work/logs/baseline.log" |
  awk '{ s += $1 } END { print s }')
slowest=$(sed -nE 's/.* Passed +([0-9.]+) sec$/\1/p' "$work/logs/baseline.log" | sort -n | tail -n 1)
MUT_TEST_TIMEOUT=$(awk -v s="$slowest" 'BEGIN { t = int(10 * s) + 1; print (t < 30 ? 30 : t) }')
limit=${limit:-$((baseline < 20 ? 60 : 3 * baseline))}
echo "mutants: baseline passed in $baseline s (tests $tested s, slowest test $slowest s); limit per mutant" \
  "$limit s, per test $MUT_TEST_TIMEOUT s"

killed=0 survived=0 unbuilt=0 timed_out=0 survivors=()
for entry in "${mutants[@]}"; do
  IFS=$'\t' read -r index file where what before after <<<"$entry"
  touch "$work/stamp"
  put_in_place "$work/mutant-$index" "$file"
  started=$SECONDS status=0
  run_steps "$limit" "$work/logs/$index.log" || status=$?
  restore_original
  if [ "$status" = 1 ] && grep -q '\*\*\*Timeout' "$work/logs/$index.log"; then status=124; fi
  case $status in
    0 | 4) result=survived; survived=$((survived + 1))
           if ((status == 4)); then what+=' (in no tested program)'; fi
           survivors+=("$where  $what"$'\n'"    before: $before"$'\n'"    after:  $after") ;;
    1) result=killed; killed=$((killed + 1)) ;;
    3) result='not built'; unbuilt=$((unbuilt + 1)) ;;
    124 | 137) result='timed out'; timed_out=$((timed_out + 1))
               wine_env_stop; start_env ;;   # nothing of the stopped tests may linger
    *) echo "mutants: mutant $index ended with status $status ($work/logs/$index.log)"; exit 2 ;;
  esac
  printf '%3d/%d %-40s %-24s %-9s %4d s\n' "$index" "${#mutants[@]}" "$where" "$what" "$result" \
    $((SECONDS - started))
done
cmake --build "$TAVRILO_BUILD" -j2 --target $stages >/dev/null   # the build folder holds the original again

built=$((${#mutants[@]} - unbuilt))
detected=$((killed + timed_out))
score=$(awk -v d="$detected" -v b="$built" 'BEGIN { printf "%.1f", b ? 100 * d / b : 100 }')
echo "mutants: ${#mutants[@]}, killed $killed, survived $survived, not built $unbuilt, timed out $timed_out"
echo "detected (killed or timed out): $detected of the $built that built, $score %; run time $SECONDS s"
if ((survived)); then printf 'survivor %s\n' "${survivors[@]}"; fi
if [ -n "$min" ] && awk -v s="$score" -v m="$min" 'BEGIN { exit !(s < m) }'; then
  echo "mutants: under the minimum of $min %"
  exit 1
fi

#!/usr/bin/env bash
# scripts/ci/lib/long-checks, run on stand-ins for the suite and the long
# checks: the monkey and the soak run beside the suite; the checked build
# starts when the suite has ended, once, and the sanitizer suite and then the
# fuzzers run after it, told it is built; a failed job fails the run while the
# rest still run, and a failed checked build leaves out what needs it.
#
#   schedule_test.sh SOURCE_DIR
set -uo pipefail
src=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-schedule-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/checks.sh"

# A tree with the real scheduler and stand-ins for the jobs. Each stand-in
# notes when it starts and ends and what it was told is built, sleeps a little
# and fails when it is the one asked to.
tree=$work/tree
mkdir -p "$tree/scripts/ci/lib"
cp "$src/scripts/ci/lib/long-checks" "$src/scripts/ci/lib/jobs.sh" "$tree/scripts/ci/lib/"
stand_in() {
  cat >"$1" <<STUB
#!/usr/bin/env bash
echo "\$(date +%s.%N) start $2 built=\${VIZMO_BUILD_DONE:-} checked=\${VIZMO_CHECKED_BUILD_DONE:-}" >>"\$TRACE"
echo "$2 says hello"
sleep $3
echo "\$(date +%s.%N) end $2" >>"\$TRACE"
[ "\$FAILING" != "$2" ]
STUB
  chmod +x "$1"
}
stand_in "$work/suite" suite 1
stand_in "$tree/scripts/ci/monkey" monkey 3
stand_in "$tree/scripts/ci/soak" soak 0.5
stand_in "$tree/scripts/ci/lib/checked-build" build-checked 0.5
stand_in "$tree/scripts/ci/sanitizers" sanitizers 0.5
stand_in "$tree/scripts/ci/fuzz" fuzz 0.5
stand_in "$tree/scripts/ci/another" another 0.1
echo "not a job" >"$tree/scripts/ci/README"

# run NAME FAILING: the run's output in $work/NAME.out, its status in $work/NAME.status
run() {
  export TRACE=$work/$1.trace FAILING=$2
  : >"$TRACE"
  BUILD_DIR=$work/build CHECKED_BUILD_DIR=$work/checked "$tree/scripts/ci/lib/long-checks" "$work/suite" \
    >"$work/$1.out" 2>&1
  echo $? >"$work/$1.status"
  echo "--- $1 (failing: $2):"
  cat "$work/$1.out"
}
at() { awk -v what="$2 $3" '$2 " " $3 == what { print $1 }' "$work/$1.trace"; }
earlier() { [ -n "$1" ] && [ -n "$2" ] && awk -v a="$1" -v b="$2" 'BEGIN { exit !(a < b) }'; }
# started RUN JOB: how many times JOB started
started() { grep -c " start $2 " "$work/$1.trace"; }
said() { grep -E -q -x -- "$2" "$work/$1.out"; }

run clean none
check "a clean run passes" [ "$(cat "$work/clean.status")" = 0 ]
for job in suite monkey soak build-checked sanitizers fuzz another; do
  check "$job ran once" [ "$(started clean $job)" = 1 ]
  check "$job's log is printed when it ends" said clean "$job says hello"
done
check "the monkey runs beside the suite" earlier "$(at clean start monkey)" "$(at clean end suite)"
check "the soak runs beside the suite" earlier "$(at clean start soak)" "$(at clean end suite)"
check "the checked build waits for the suite" earlier "$(at clean end suite)" "$(at clean start build-checked)"
check "the checked build runs beside the monkey" earlier "$(at clean start build-checked)" "$(at clean end monkey)"
check "the sanitizers wait for the checked build" earlier "$(at clean end build-checked)" "$(at clean start sanitizers)"
check "the fuzzers wait for the sanitizers" earlier "$(at clean end sanitizers)" "$(at clean start fuzz)"
check "another check runs after the fuzzers" earlier "$(at clean end fuzz)" "$(at clean start another)"
for job in monkey soak; do
  check "$job is told the build is done" grep -q " start $job .*built=$work/build " "$work/clean.trace"
done
for job in sanitizers fuzz; do
  check "$job is told the checked build is done" grep -q " start $job .*checked=$work/checked$" "$work/clean.trace"
done
check "the logs are kept" grep -q "fuzz says hello" "$work/build/ci-logs/fuzz.log"
check "every job's duration is given" \
  said clean "== jobs: suite [0-9]+ s, monkey [0-9]+ s, soak [0-9]+ s, build-checked [0-9]+ s, sanitizers [0-9]+ s, fuzz [0-9]+ s, another [0-9]+ s"

run suite_fails suite
check "a failed suite fails the run" [ "$(cat "$work/suite_fails.status")" = 1 ]
check "and is named" said suite_fails "== FAILED: suite .*"
check "the long checks still run" [ "$(started suite_fails fuzz)" = 1 ]

run monkey_fails monkey
check "a failed monkey fails the run" [ "$(cat "$work/monkey_fails.status")" = 1 ]
check "and is named" said monkey_fails "== FAILED: monkey .*"
check "the other checks still run" [ "$(started monkey_fails fuzz)" = 1 ]

run fuzz_fails fuzz
check "failed fuzzing fails the run" [ "$(cat "$work/fuzz_fails.status")" = 1 ]
check "and is named" said fuzz_fails "== FAILED: fuzz .*"

run build_fails build-checked
check "a failed checked build fails the run" [ "$(cat "$work/build_fails.status")" = 1 ]
check "the sanitizers do not run without it" [ "$(started build_fails sanitizers)" = 0 ]
check "nor the fuzzers" [ "$(started build_fails fuzz)" = 0 ]
check "they are named as not run" said build_fails "== NOT RUN: sanitizers"
check "the monkey still runs" [ "$(started build_fails monkey)" = 1 ]

checks_done

#!/usr/bin/env bash
# scripts/ci/lib/jobs.sh, which runs the long checks side by side: the jobs run
# at once, each one's output comes out whole when it ends with its duration, a
# failure is named and fails the run, and a stopped job takes its children along.
#
#   jobs_test.sh JOBS_SH
set -uo pipefail
lib=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-jobs-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/checks.sh"
# runs a scenario (a bash text that can use the library) with its output in $work/NAME.out
scenario() {
  local name=$1 text=$2
  bash -c ". \"$lib\"; jobs_begin \"$work/$name-logs\"; $text" >"$work/$name.out" 2>&1
  echo $? >"$work/$name.status"
  echo "--- $name:"
  cat "$work/$name.out"
}
# Lines are matched whole, as extended regular expressions: a duration given
# as [01] may have crossed a second's boundary.
line_of() { grep -E -n -m1 -x -- "$2" "$work/$1.out" | cut -d: -f1; }
before() { # before SCENARIO LINE_A LINE_B: both printed, A first
  local a b
  a=$(line_of "$1" "$2") b=$(line_of "$1" "$3")
  [ -n "$a" ] && [ -n "$b" ] && [ "$a" -lt "$b" ]
}
has() { grep -E -q -x -- "$2" "$work/$1.out"; }
status_is() { [ "$(cat "$work/$1.status")" = "$2" ]; }

# Two jobs writing by turns: they run at once (the quick one is done before
# the slow one writes again), yet each one's lines come out together, between
# its own header and verdict, in the order the jobs ended.
trace=$work/trace
scenario apart "
  job_start slow bash -c 'for i in 1 2 3; do echo slow \$i; echo slow \$i >>$trace; sleep 1; done'
  job_start quick bash -c 'for i in 1 2 3; do echo quick \$i; echo quick \$i >>$trace; sleep 0.2; done'
  job_wait_all
  jobs_end"
check "the jobs ran at once" grep -q "quick 3" <(sed -n '/slow 2/q;p' "$trace")
check "a run whose jobs passed passes" status_is apart 0
for job in quick slow; do
  start=$(line_of apart "== $job: ended after [0-9]* s; its log:")
  check "$job has a header" [ -n "$start" ]
  check "$job's lines follow its header at once" \
    [ "$(sed -n "$((start + 1)),$((start + 4))p" "$work/apart.out" | cut -d' ' -f1-3)" = "$(printf '%s 1\n%s 2\n%s 3\n== %s: passed' $job $job $job $job)" ]
done
check "the quick job is printed when it ends, first" before apart "quick 3" "slow 1"
check "the slow job's duration" grep -Eq '^== slow: passed in [34] s$' "$work/apart.out"
check "the quick job's duration" grep -Eq '^== quick: passed in [01] s$' "$work/apart.out"
check "the summary gives each job's duration" grep -Eq '^== jobs: slow [34] s, quick [01] s$' "$work/apart.out"
check "the logs are kept" [ "$(cat "$work/apart-logs/slow.log")" = "$(printf 'slow 1\nslow 2\nslow 3')" ]
check "nothing failed" bash -c "! grep -q FAILED '$work/apart.out'"

# A failing job fails the run, with its log and exit status, and is named at
# the end; the job beside it still runs to its end and passes.
scenario failing "
  job_start bad bash -c 'echo what went wrong; exit 3'
  job_start good bash -c 'sleep 1; echo all well'
  job_wait_all
  jobs_end"
check "a failed job fails the run" status_is failing 1
check "its log is printed" before failing "what went wrong" "== bad: FAILED \(exit status 3\) in [01] s"
check "the job beside it ran to its end" before failing "all well" "== good: passed in [12] s"
check "the failed job is named at the end" has failing "== FAILED: bad \(exit status 3; log: $work/failing-logs/bad.log\)"
check "only the failed job is named" bash -c "! grep -q 'FAILED: good' '$work/failing.out'"

# Waiting for one job returns when it has ended, while another still runs.
scenario waiting "
  job_start long sleep 2
  job_start short sleep 0.2
  job_wait short
  echo 'short is done'
  job_wait_all
  jobs_end"
check "job_wait returns when its job ends" before waiting "short is done" "== long: passed in [23] s"
check "job_wait has printed its job" before waiting "== short: passed in [01] s" "short is done"
check "job_wait_all waits for the rest" status_is waiting 0

# A job not run (what it needs failed) fails the run too.
scenario skipped "
  job_start built true
  job_wait built
  job_skip checks 'the build failed'
  jobs_end"
check "a job not run fails the run" status_is skipped 1
check "it says why" has skipped "== checks: not run: the build failed"
check "and is named at the end" has skipped "== NOT RUN: checks"

# Stopping ends a job's children too: the checks start servers and programs.
scenario stopping "
  job_start tree bash -c 'sleep 30 & echo \$! >$work/child; wait'
  for i in \$(seq 50); do [ -s $work/child ] && break; sleep 0.1; done
  jobs_stop
  echo stopped"
child=$(cat "$work/child" 2>/dev/null)
check "the job's child started" [ -n "$child" ]
check "the stop is reported" has stopping "== tree: stopped"
gone=1
for _ in $(seq 20); do
  # Ended: no such process, or one that has died and waits to be reaped.
  state=$(sed 's/.*) //' "/proc/$child/stat" 2>/dev/null | cut -d' ' -f1)
  case $state in "" | Z) gone=0 && break ;; esac
  sleep 0.1
done
[ "$gone" -eq 0 ] || kill "$child" 2>/dev/null
check "the job's child was ended with it" [ "$gone" -eq 0 ]

checks_done

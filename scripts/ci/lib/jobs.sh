# shellcheck shell=bash
# Runs jobs side by side without mixing their output: each job writes a log of
# its own, which is printed whole, with the job's duration, when the job ends.
# Meant to be sourced by bash:
#
#   jobs_begin DIR         logs go to DIR/NAME.log; call once, before the jobs
#   job_start NAME CMD...  starts CMD in the background, its input /dev/null
#   job_wait NAME...       returns when the named jobs have ended; every job that
#                          ends meanwhile is printed as it ends
#   job_wait_all           returns when every job started has ended
#   job_passed NAME        true when NAME has ended with status 0
#   job_skip NAME WHY      records NAME as not run, e.g. when what it needs failed
#   jobs_end               prints each job's duration and names the failed ones;
#                          returns 1 when any failed or was not run
#   jobs_stop              ends the running jobs, each with its whole process group
#
# Each job runs in a process group of its own, so jobs_stop ends what a job
# started too. The groups stay in the caller's session: a nice value given to
# a job weighs against the other jobs.

declare -gA _job_pid=() _job_started=() _job_seconds=() _job_status=()
declare -ga _job_names=()
_jobs_dir=
_jobs_ended=  # a pipe on which each job, as it ends, writes its name and status

jobs_begin() {
  _jobs_dir=$1
  mkdir -p "$_jobs_dir"
  local pipe="$_jobs_dir/.ended"
  rm -f "$pipe"
  mkfifo "$pipe"
  # Open for reading and writing, so that it never reads as ended; the open
  # descriptor keeps the pipe once its name is gone.
  exec {_jobs_ended}<>"$pipe"
  rm -f "$pipe"
}

job_start() {
  local name=$1
  shift
  [ -z "${_job_pid[$name]+x}" ] || { echo "jobs: $name was started twice" >&2; return 2; }
  # Job control only while starting it: it gives the job its own process group,
  # and left on it would have bash announce every job that ends.
  set -m
  {
    local status=0
    "$@" </dev/null >"$_jobs_dir/$name.log" 2>&1 {_jobs_ended}>&- || status=$?
    echo "$name $status" >&"$_jobs_ended"
  } &
  set +m
  _job_pid[$name]=$!
  _job_started[$name]=$SECONDS
  _job_names+=("$name")
  echo "== $name: started (log: $_jobs_dir/$name.log)"
}

job_skip() {
  _job_names+=("$1")
  _job_status[$1]=skipped
  _job_seconds[$1]=0
  echo "== $1: not run: $2"
}

_job_running() {
  local name
  for name in "${!_job_pid[@]}"; do
    [ -n "${_job_status[$name]+x}" ] || echo "$name"
  done
}

# Waits until one running job ends, then prints its log whole.
_job_reap() {
  local name status
  read -r -u "$_jobs_ended" name status || return  # interrupted by a signal
  wait "${_job_pid[$name]}" 2>/dev/null || true
  _job_status[$name]=$status
  _job_seconds[$name]=$((SECONDS - _job_started[$name]))
  local verdict="passed"
  [ "$status" -eq 0 ] || verdict="FAILED (exit status $status)"
  echo "== $name: ended after ${_job_seconds[$name]} s; its log:"
  cat "$_jobs_dir/$name.log"
  echo "== $name: $verdict in ${_job_seconds[$name]} s"
}

job_wait() {
  local name
  for name; do
    [ -n "${_job_pid[$name]+x}${_job_status[$name]+x}" ] || { echo "jobs: $name was never started" >&2; return 2; }
    while [ -z "${_job_status[$name]+x}" ]; do _job_reap || return; done
  done
}

job_wait_all() {
  while [ -n "$(_job_running)" ]; do _job_reap || return; done
}

job_passed() {
  [ "${_job_status[$1]:-}" = 0 ]
}

jobs_end() {
  local name summary=() failed=()
  for name in "${_job_names[@]}"; do
    summary+=("$name ${_job_seconds[$name]:-?} s")
    job_passed "$name" || failed+=("$name")
  done
  local line
  printf -v line '%s, ' "${summary[@]}"
  echo "== jobs: ${line%, }"
  [ ${#failed[@]} -eq 0 ] && return 0
  for name in "${failed[@]}"; do
    if [ "${_job_status[$name]:-}" = skipped ]; then
      echo "== NOT RUN: $name"
    else
      echo "== FAILED: $name (exit status ${_job_status[$name]:-?}; log: $_jobs_dir/$name.log)"
    fi
  done
  return 1
}

jobs_stop() {
  local name
  for name in $(_job_running); do
    echo "== $name: stopped"
    kill -TERM -- "-${_job_pid[$name]}" 2>/dev/null || true
    wait "${_job_pid[$name]}" 2>/dev/null || true
    _job_status[$name]=stopped
  done
}

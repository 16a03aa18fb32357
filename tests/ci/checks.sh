# shellcheck shell=bash
# What the scripts' checks share; sourced.
#   check WHAT COMMAND...  runs COMMAND; when it fails, reports WHAT and goes on
#   checks_done            ends the check: status 1 when any check failed
failures=0
check() {
  local what=$1
  shift
  if ! "$@"; then
    echo "FAIL: $what"
    failures=$((failures + 1))
  fi
}
checks_done() {
  [ "$failures" -eq 0 ] && echo "all checks passed" && exit 0
  echo "$failures checks failed"
  exit 1
}

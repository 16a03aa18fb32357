#!/usr/bin/env bash
# The long checks' own scripts, run on a stand-in build with stand-ins for
# cmake and ctest: the monkey keeps its 20,000 actions and the soak its two
# minutes (each can be changed); they build what they need unless told the
# build is done, and the checked build is made unless told it is; the sanitizer
# suite runs every test but the window, package and scripts' checks.
#
#   job_scripts_test.sh SOURCE_DIR
set -uo pipefail
src=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-job-scripts.XXXXXX")
trap 'rm -rf "$work"' EXIT
. "$(dirname "$0")/checks.sh"

# Stand-ins note their arguments in $work/calls, one line a call.
mkdir -p "$work/path" "$work/build/bin" "$work/checked/bin"
for tool in "$work/path/cmake" "$work/path/ctest" "$work/build/bin/monkey" "$work/build/bin/soak_bench"; do
  printf '#!/usr/bin/env bash\necho "%s (in $PWD) $*" >>"%s"\n' "$(basename "$tool")" "$work/calls" >"$tool"
  chmod +x "$tool"
done
export PATH="$work/path:$PATH" BUILD_DIR=$work/build CHECKED_BUILD_DIR=$work/checked
unset VIZMO_BUILD_DONE VIZMO_CHECKED_BUILD_DONE MONKEY_ACTIONS MONKEY_SEED SOAK_MINUTES
# run SCRIPT [VAR=VALUE...]: runs scripts/ci/SCRIPT; its calls are in $work/calls
run() {
  local script=$1
  shift
  : >"$work/calls"
  env "$@" "$src/scripts/ci/$script" >"$work/out" 2>&1
  echo $? >"$work/status"
  echo "--- $script $*:"
  cat "$work/out" "$work/calls"
}
called() { grep -F -q -x -- "$1" "$work/calls"; }
calls() { grep -c "^$1 " "$work/calls"; }
passed() { [ "$(cat "$work/status")" = 0 ]; }

run monkey
check "the monkey passes" passed
check "it builds what it needs" called "cmake (in $PWD) --build $work/build --target monkey vizmo_content"
check "20,000 actions, a hang after a minute" grep -E -q -x -- \
  "monkey \(in .*\) --actions 20000 --seed [0-9]+ --hang-seconds 60" "$work/calls"
run monkey VIZMO_BUILD_DONE="$work/build" MONKEY_ACTIONS=300 MONKEY_SEED=7
check "a done build is left alone" [ "$(calls cmake)" = 0 ]
check "the actions and seed asked for" grep -E -q -x -- "monkey \(in .*\) --actions 300 --seed 7 --hang-seconds 60" "$work/calls"
run monkey VIZMO_BUILD_DONE="$work/elsewhere"
check "another folder's build is not this one's" [ "$(calls cmake)" = 1 ]

run soak
check "the soak passes" passed
check "it builds what it needs" called "cmake (in $PWD) --build $work/build --target soak_bench vizmo_content"
check "two minutes" grep -E -q -x -- "soak_bench \(in .*\) --minutes 2" "$work/calls"
run soak VIZMO_BUILD_DONE="$work/build" SOAK_MINUTES=60
check "a done build is left alone" [ "$(calls cmake)" = 0 ]
check "the minutes asked for" grep -E -q -x -- "soak_bench \(in .*\) --minutes 60" "$work/calls"

run lib/checked-build
check "the checked build is made" [ "$(calls cmake)" = 2 ]
check "with both sanitizers and the fuzzers' coverage" grep -E -q -- \
  "^cmake .* -B $work/checked .*-DVIZMO_SANITIZE=address,undefined -DVIZMO_FUZZ=ON" "$work/calls"
check "then built" called "cmake (in $PWD) --build $work/checked -j $(nproc)"
check "its folder is printed" [ "$(grep -v '^cmake' "$work/out")" = "$work/checked" ]
run lib/checked-build VIZMO_CHECKED_BUILD_DONE="$work/checked"
check "a done checked build is not made again" [ "$(calls cmake)" = 0 ]
check "its folder is still printed" [ "$(cat "$work/out")" = "$work/checked" ]

run sanitizers VIZMO_CHECKED_BUILD_DONE="$work/checked"
check "the sanitizer suite passes" passed
check "it runs every test but the window, package and scripts' checks, in the checked build" \
  called "ctest (in $work/checked) --output-on-failure -j $(nproc) --timeout 600 -E ^(e2e_|package_|ci_)"
check "it makes no build of its own when told the build is done" [ "$(calls cmake)" = 0 ]

checks_done

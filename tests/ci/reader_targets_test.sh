#!/usr/bin/env bash
# scripts/ci/fuzz, run on stand-in fuzz targets: every target runs once, for the
# time asked, on its own corpus and dictionary, FUZZ_PARALLEL of them at a time
# and never more; a target that fails fails the job, with its log, while the
# others still run.
#
#   reader_targets_test.sh SOURCE_DIR
set -uo pipefail
src=$(realpath "$1")
work=$(mktemp -d "${TMPDIR:-/tmp}/vizmo-reader-targets.XXXXXX")
trap 'rm -rf "$work"' EXIT
targets="model script timeline wav image drawing"
. "$(dirname "$0")/checks.sh"

# A stand-in for a fuzz target: notes its arguments, counts the targets running
# beside it halfway through its run, and fails when it is the one asked to.
mkdir -p "$work/checked/bin"
for target in $targets; do
  cat >"$work/checked/bin/fuzz_$target" <<'STUB'
#!/usr/bin/env bash
name=$(basename "$0")
echo "$name $*" >>"$STAND_IN/arguments"
touch "$STAND_IN/running/$name"
sleep 0.8
echo "$name $(ls "$STAND_IN/running" | wc -l)" >>"$STAND_IN/beside"
sleep 0.4
rm "$STAND_IN/running/$name"
echo "stat::number_of_executed_units: 4242" >&2
if [ "$name" = "fuzz_$FAILING" ]; then
  echo "==1==ERROR: AddressSanitizer: heap-buffer-overflow (stand-in)" >&2
  exit 1
fi
STUB
  chmod +x "$work/checked/bin/fuzz_$target"
done

# run NAME PARALLEL FAILING: the job's output in $work/NAME.out, its status in $work/NAME.status
run() {
  export STAND_IN=$work/$1 FAILING=$3
  mkdir -p "$STAND_IN/running"
  FUZZ_PARALLEL=$2 FUZZ_SECONDS=7 CHECKED_BUILD_DIR=$work/checked VIZMO_CHECKED_BUILD_DONE=$work/checked \
    "$src/scripts/ci/fuzz" >"$work/$1.out" 2>&1
  echo $? >"$work/$1.status"
  echo "--- $1 (FUZZ_PARALLEL=$2):"
  cat "$work/$1.out"
}
most_beside() { cut -d' ' -f2 "$work/$1/beside" | sort -n | tail -n1; }

run pairs 2 none
check "a clean run passes" [ "$(cat "$work/pairs.status")" = 0 ]
check "two targets run at once" [ "$(most_beside pairs)" = 2 ]
for target in $targets; do
  args=$(grep "^fuzz_$target " "$work/pairs/arguments")
  check "fuzz_$target ran once" [ "$(grep -c "^fuzz_$target " "$work/pairs/arguments")" = 1 ]
  check "fuzz_$target ran for FUZZ_SECONDS" grep -q -- "-max_total_time=7 " <<<"$args"
  check "fuzz_$target read its corpus" grep -q -- " $src/tests/fuzz/corpus/$target " <<<"$args"
  check "fuzz_$target keeps its findings" grep -q -- "-artifact_prefix=$src/tests/fuzz/findings/$target- " <<<"$args"
  if [ -f "$src/tests/fuzz/$target.dict" ]; then
    check "fuzz_$target used its dictionary" grep -q -- "-dict=$src/tests/fuzz/$target.dict " <<<"$args"
  fi
  check "fuzz_$target is reported" grep -q -x "fuzz_$target: 4242 executions in 7 s" "$work/pairs.out"
done

run alone 1 none
check "one at a time when asked" [ "$(most_beside alone)" = 1 ]
check "every target still runs" [ "$(wc -l <"$work/alone/arguments")" = 6 ]

run three 3 wav
check "a failing target fails the job" [ "$(cat "$work/three.status")" = 1 ]
check "never more at once than asked" [ "$(most_beside three)" = 3 ]
check "its log is shown" grep -q "heap-buffer-overflow (stand-in)" "$work/three.out"
check "it is named" grep -q -x "fuzz_wav: FAILED (exit status 1)" "$work/three.out"
check "the other targets still ran" [ "$(wc -l <"$work/three/arguments")" = 6 ]

checks_done

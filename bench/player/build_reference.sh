#!/usr/bin/env bash
# Builds the moving rounds of this player_bench (moving_figures.h) against
# the player of another commit, for
# `player_bench --reference DIR/build/bin/player_bench`: the same passage and
# measures, that commit's renderer. The commit's tree is taken out of git
# into DIR (no checkout is touched), this bench's sources are put over its
# own, and only the bench and what it links are built.
#
#   bench/player/build_reference.sh COMMIT DIR
#
# The bench needs of the player only the control's dispatch members, its
# clock, render() and show(): any commit since the clock was made settable
# builds.
set -euo pipefail
if [ $# -ne 2 ]; then
    echo "usage: $0 COMMIT DIR" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")/../.." && pwd)
commit=$1
dir=$2
mkdir -p "$dir"
git -C "$here" archive "$commit" | tar -x -C "$dir"
cp "$here"/bench/player/{moving_round_main.cpp,bench_measures.h,moving_figures.h,moving_figures.cpp,speaking_passage.h,speaking_passage.cpp} \
    "$dir/bench/player/"
# Its player_bench is the moving rounds alone: the rest of this bench may
# measure what that commit's player does not have (listening, say).
sed -i 's/^add_executable(player_bench player_bench.cpp)$/add_executable(player_bench moving_round_main.cpp moving_figures.cpp speaking_passage.cpp)/' \
    "$dir/bench/player/CMakeLists.txt"
grep -q 'moving_figures.cpp' "$dir/bench/player/CMakeLists.txt" || {
    echo "$commit: bench/player/CMakeLists.txt does not build player_bench as expected" >&2
    exit 1
}
cmake -S "$dir" -B "$dir/build" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" -DVIZMO_BUILD_TESTS=OFF >/dev/null
cmake --build "$dir/build" --target player_bench
echo "$dir/build/bin/player_bench"

#!/usr/bin/env bash
# Builds the fuzz targets with clang and runs each for the given number of seconds (default 60),
# one after the other. New inputs go to build-fuzz/corpus/; the seeds in fuzz/corpus/ stay as
# they are. A finding stops its target and leaves a crash-* file in build-fuzz/.
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-fuzz

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DBUILD_FUZZERS=ON -DBUILD_TESTING=OFF -DBUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target fuzzers

cd "$build"
status=0
for target in number_parse number_format number_keys capitals; do
    mkdir -p "corpus/$target"
    echo "== fuzz_$target for ${seconds}s"
    nice "bin/fuzz_$target" -max_total_time="$seconds" -print_final_stats=1 \
        "corpus/$target" "$root/fuzz/corpus/$target" || status=1
done
exit $status

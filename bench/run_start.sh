#!/usr/bin/env bash
# Times what `./run` does before it starts the program (the package check, the build, the
# program folder) when nothing changed since the last start, then once after a source file was
# touched, so that a slow step in the start-up road shows. The program itself is not started.
#   bench/run_start.sh [ROUNDS]
set -euo pipefail
cd "$(dirname "$0")/.."
rounds="${1:-5}"
# ./run with its last line (the program's start) left out.
script="$(sed 's#^exec build/bin/veltrane .*#exit 0#' run)"
prepare() { bash -c "$script" "$PWD/run" >/dev/null; }
seconds() {
    local start end
    start=$(date +%s%N)
    "$@"
    end=$(date +%s%N)
    printf '%d.%02d' $(((end - start) / 1000000000)) $(((end - start) / 10000000 % 100))
}

prepare # the first start builds what is missing
for _ in $(seq "$rounds"); do
    echo "nothing changed: $(seconds prepare) s"
done
touch common/Vb.cpp
echo "one source touched: $(seconds prepare) s (rebuilds the program)"

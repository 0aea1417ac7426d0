#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang in build-fuzz and runs every target for a
# bounded number of inputs, all at the same time. Exits non-zero when a target crashes,
# leaks, times out or breaks one of its checks, and says which.
#
#   scripts/fuzz.sh [TARGET...]        (default: all targets)
#
# Environment: VELTRANE_FUZZ_SCALE multiplies the number of inputs (default 1),
# VELTRANE_FUZZ_TIME caps each target's run in seconds (default 75), VELTRANE_FUZZ_SEED fixes
# libFuzzer's seed (default: a new one each run, printed in the logs).
#
# Needs clang and the fuzzer and sanitizer runtimes (Debian: clang, libclang-rt-14-dev).
# Each target starts from its seeds in fuzz/corpus/<target>; what a run adds, the logs and any
# crashing input stay in build-fuzz/fuzz-run/<target>/. Rerun one input with
#   build-fuzz/bin/fuzz_<target> build-fuzz/fuzz-run/<target>/artifacts/crash-...

set -u
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD="$ROOT/build-fuzz"
RUN="$BUILD/fuzz-run"

# Inputs per target: each takes some 20 to 40 seconds on one core.
declare -A RUNS=(
  [xml_tree]=6000
  [texture]=40000
  [routes_xml]=10000
  [tags]=20000
  [codecs]=40000
  [registry]=6000
  [preferences]=30000
  [batch]=6000
  [zip_split]=25000
)
ALL_TARGETS=(xml_tree texture routes_xml tags codecs registry preferences batch zip_split)
TARGETS=("$@")
[ ${#TARGETS[@]} -eq 0 ] && TARGETS=("${ALL_TARGETS[@]}")
for t in "${TARGETS[@]}"; do
  if [ -z "${RUNS[$t]:-}" ]; then
    echo "fuzz: no target '$t' (targets: ${ALL_TARGETS[*]})" >&2
    exit 2
  fi
done
SCALE=${VELTRANE_FUZZ_SCALE:-1}
MAX_TIME=${VELTRANE_FUZZ_TIME:-75}

# ---- Tools ------------------------------------------------------------------------------------
CC_BIN=$(command -v clang || command -v clang-14 || true)
CXX_BIN=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$CC_BIN" ] || [ -z "$CXX_BIN" ]; then
  echo "fuzz: clang is not installed (Debian packages clang and libclang-rt-14-dev)" >&2
  exit 1
fi
probe=$(mktemp -d)
echo 'extern "C" int LLVMFuzzerTestOneInput(const unsigned char*, unsigned long) { return 0; }' > "$probe/p.cpp"
if ! "$CXX_BIN" -fsanitize=fuzzer,address,undefined "$probe/p.cpp" -o "$probe/p" 2> "$probe/err"; then
  cat "$probe/err" >&2
  echo "fuzz: clang cannot link a fuzz target: the fuzzer and sanitizer runtimes are missing (Debian package libclang-rt-14-dev)" >&2
  rm -rf "$probe"
  exit 1
fi
rm -rf "$probe"

# ---- Build ------------------------------------------------------------------------------------
generator=()
command -v ninja >/dev/null 2>&1 && generator=(-G Ninja)
launcher=()
command -v ccache >/dev/null 2>&1 && launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
export CCACHE_BASEDIR="$ROOT"
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  CC="$CC_BIN" CXX="$CXX_BIN" cmake -S "$ROOT" -B "$BUILD" "${generator[@]}" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER="$CC_BIN" -DCMAKE_CXX_COMPILER="$CXX_BIN" "${launcher[@]}" -DVELTRANE_FUZZ=ON > "$BUILD.configure.log" 2>&1 \
    || { cat "$BUILD.configure.log" >&2; echo "fuzz: configuring build-fuzz failed" >&2; exit 1; }
  rm -f "$BUILD.configure.log"
fi
programs=()
for t in "${TARGETS[@]}"; do programs+=("fuzz_$t"); done
echo "fuzz: building ${programs[*]} in build-fuzz"
if ! cmake --build "$BUILD" -j"$(nproc)" --target "${programs[@]}"; then
  echo "fuzz: building the fuzz targets failed" >&2
  exit 1
fi

# ---- Run --------------------------------------------------------------------------------------
export ASAN_OPTIONS="${ASAN_OPTIONS:-}${ASAN_OPTIONS:+:}detect_leaks=1:abort_on_error=0"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-}${UBSAN_OPTIONS:+:}print_stacktrace=1:halt_on_error=1"
export QT_QPA_PLATFORM=offscreen
mkdir -p "$RUN"
SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/veltrane-fuzz-run.XXXXXX")
[ -d /dev/shm ] && [ -w /dev/shm ] && SCRATCH_SHM=$(mktemp -d /dev/shm/veltrane-fuzz-run.XXXXXX) || SCRATCH_SHM=$SCRATCH
trap 'rm -rf "$SCRATCH" "$SCRATCH_SHM"' EXIT

declare -A PIDS
start=$(date +%s)
for t in "${TARGETS[@]}"; do
  dir="$RUN/$t"
  rm -rf "$dir"
  mkdir -p "$dir/corpus" "$dir/artifacts"
  cp "$ROOT/fuzz/corpus/$t/"* "$dir/corpus/" 2>/dev/null
  seed=()
  [ -n "${VELTRANE_FUZZ_SEED:-}" ] && seed=(-seed="$VELTRANE_FUZZ_SEED")
  (
    cd "$dir" || exit 1
    TMPDIR="$SCRATCH" VELTRANE_FUZZ_TMP="$SCRATCH_SHM" exec "$BUILD/bin/fuzz_$t" \
      -runs=$((RUNS[$t] * SCALE)) -max_total_time="$MAX_TIME" -rss_limit_mb=1536 -timeout=20 -max_len=4096 \
      -len_control=20 -print_final_stats=1 "${seed[@]}" -artifact_prefix="$dir/artifacts/" "$dir/corpus"
  ) > "$dir/log" 2>&1 &
  PIDS[$t]=$!
done

failed=()
for t in "${TARGETS[@]}"; do
  wait "${PIDS[$t]}"
  rc=$?
  dir="$RUN/$t"
  units=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
  secs=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$dir/log" | tail -1)
  artifact=$(ls "$dir/artifacts" 2>/dev/null | grep -E '^(crash|leak|timeout|oom)-' | head -1)
  if [ $rc -ne 0 ] || [ -n "$artifact" ]; then
    failed+=("$t")
    printf 'fuzz: %-12s FAILED (status %s) after %s inputs\n' "$t" "$rc" "${units:-?}"
    for pattern in "==== fuzz check failed" "runtime error:" "ERROR: (AddressSanitizer|LeakSanitizer|libFuzzer)" "^fuzz_[a-z_]*: "; do
      if grep -q -E "$pattern" "$dir/log"; then
        grep -E -m1 -A2 "$pattern" "$dir/log" | sed 's/^/      /'
        break
      fi
    done
    [ -n "$artifact" ] && echo "      input: $dir/artifacts/$artifact"
    echo "      log:   $dir/log"
  else
    printf 'fuzz: %-12s ok, %s inputs in %s s\n' "$t" "${units:-?}" "${secs:-?}"
  fi
done
echo "fuzz: all targets took $(( $(date +%s) - start )) s"

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: FAILED: ${failed[*]}" >&2
  exit 1
fi
exit 0

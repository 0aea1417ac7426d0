# Installs the Debian packages Veltrane needs to build, test and run, when any is missing.
# Sourced by ./run and ./test.

VELTRANE_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libzip-dev libgtest-dev
                   libgmock-dev libbenchmark-dev fonts-dejavu-core ccache libsquish-dev libsane-dev)

# What the full test run needs beyond the build: Wine and the cross compiler for the real
# Windows serializer, clang and its runtimes for the fuzz targets.
VELTRANE_TEST_PACKAGES=(wine wine64 g++-mingw-w64-x86-64 clang libclang-rt-14-dev zip unzip poppler-utils)

veltrane_install_deps() {
    local missing=()
    local wanted=("${VELTRANE_PACKAGES[@]}" "$@")
    # One query for all of them: a query per package costs a second and more at every start.
    local installed
    installed=" $(dpkg-query -W -f='${Package}:${Status}\n' "${wanted[@]}" 2>/dev/null |
                  awk -F: '$NF ~ /ok installed$/ { printf "%s ", $1 }' || true)"
    local p
    for p in "${wanted[@]}"; do
        [[ "$installed" == *" $p "* ]] || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "These packages are missing and this user cannot install them: ${missing[*]}" >&2
            return 1
        fi
    fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# veltrane_configure DIR [CMAKE OPTIONS...]: configures DIR once (the options count only then).
# ccache, when present, shares objects between build folders and between clones of the project.
veltrane_configure() {
    local dir="$1"
    shift
    local launcher=()
    if command -v ccache >/dev/null 2>&1; then
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
        # Paths below the clone are hashed relative to it and the working folder is left out of
        # the hash (the debug information's folder would differ), so a second clone of the
        # project, CI's clone, or a worktree reuses the objects the first one compiled.
        export CCACHE_BASEDIR="$PWD"
        export CCACHE_NOHASHDIR=1
    fi
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
    fi
}

# veltrane_build DIR [CMAKE OPTIONS...]: configures DIR once and builds everything in it.
veltrane_build() {
    veltrane_configure "$@"
    cmake --build "$1" -j "$(nproc)"
}

# What the program needs to start on the sample game: the program, the batch interpreter, the
# settings writer, the test serializer, the sample game, the program folder's data and the asset
# preview's picture.
VELTRANE_RUN_TARGETS=(veltrane veltrane-cmd veltrane-settings serz sample_game program_data no_picture)

# veltrane_build_to_run DIR: configures DIR once and builds only VELTRANE_RUN_TARGETS, so that a
# first start does not wait for the tests and benchmarks (./test builds those).
# A start with nothing changed since the last one skips the build tool too (its own check of the
# source folders costs most of a second): no file or folder of the project is newer than the mark
# the last successful build left, taken when that build began.
veltrane_build_to_run() {
    local dir="$1"
    local mark="$dir/run-targets.mark"
    if [ -f "$mark" ] && [ -f "$dir/build.ninja" ] &&
        [ -z "$(find . \( -path './build*' -o -path ./.git \) -prune -o -newer "$mark" -print -quit)" ]; then
        return 0
    fi
    veltrane_configure "$dir"
    touch "$dir/run-targets.mark.new"
    cmake --build "$dir" -j "$(nproc)" --target "${VELTRANE_RUN_TARGETS[@]}"
    mv "$dir/run-targets.mark.new" "$mark"
}

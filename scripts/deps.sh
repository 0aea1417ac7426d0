# Installs the Debian packages Veltrane needs to build, test and run, when any is missing.
# Sourced by ./run and ./test.

VELTRANE_PACKAGES=(cmake ninja-build g++ pkg-config qt6-base-dev libzip-dev libgtest-dev
                   libgmock-dev libbenchmark-dev fonts-dejavu-core)

veltrane_install_deps() {
    local missing=()
    local p
    for p in "${VELTRANE_PACKAGES[@]}" "$@"; do
        if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed"; then
            missing+=("$p")
        fi
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

veltrane_build() {
    local dir="$1"
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
    fi
    cmake --build "$dir" -j "$(nproc)"
}

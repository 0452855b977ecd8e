# Shared by the scripts in tools/: package installation and the CMake configure-and-build step.
# shellcheck shell=bash

TINMARCH_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"

# Installs the packages of tools/packages.txt that dpkg does not report as installed.
tinmarch_install_packages() {
    local missing=() pkg
    while read -r pkg; do
        pkg="${pkg%%#*}"
        pkg="${pkg//[[:space:]]/}"
        [ -n "$pkg" ] || continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done <"$TINMARCH_ROOT/tools/packages.txt"
    [ ${#missing[@]} -eq 0 ] && return 0

    echo "Installing missing packages: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
}

# tinmarch_build <build folder> [extra cmake arguments...] [-- targets...]
# Without targets it builds everything (tests, benchmarks and tools too).
tinmarch_build() {
    local dir="$1"
    shift
    local configure=() targets=()
    while [ $# -gt 0 ]; do
        if [ "$1" = "--" ]; then
            shift
            targets=("$@")
            break
        fi
        configure+=("$1")
        shift
    done
    local target_args=()
    [ ${#targets[@]} -eq 0 ] || target_args=(--target "${targets[@]}")
    cmake -S "$TINMARCH_ROOT" -B "$TINMARCH_ROOT/$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        "${configure[@]}" >/dev/null &&
        cmake --build "$TINMARCH_ROOT/$dir" --parallel "$(nproc)" "${target_args[@]}"
}

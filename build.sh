#!/usr/bin/env bash
# Installs what is missing, builds, and then starts the program or runs the tests.
#   ./build.sh run    build, stage under build/stage/ and start the program
#   ./build.sh test   build and run the whole test suite
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-svg-dev qt6-serialport-dev libqt6svg6 qt6-qpa-plugins
          firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
          libarchive-dev qt6-httpserver-dev qt6-websockets-dev
          xvfb xauth fonts-dejavu-core)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -eq 0 ] || sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Debug}" >/dev/null
    cmake --build build -j "$(nproc)"
}

case "${1:-}" in
run)
    install_missing
    build
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display found: starting Tessaro Kavelin on a virtual screen (xvfb-run)."
        exec xvfb-run -a -s "-screen 0 1280x1024x24" build/stage/bin/tessaro-kavelin "${@:2}"
    fi
    exec build/stage/bin/tessaro-kavelin "${@:2}"
    ;;
test)
    install_missing
    build
    cd build
    QT_QPA_PLATFORM=offscreen ctest -j "$(nproc)" --output-on-failure
    ;;
*)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac

#!/usr/bin/env bash
# Installs what is missing, builds, and then starts the program or runs the tests.
#   ./build.sh run    build, stage under build/stage/ and start the program
#   ./build.sh test   build and run the whole test suite
#   ./build.sh package  build a release and the Debian package build/tessaro-kavelin_<version>_amd64.deb
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(build-essential cmake ninja-build pkg-config
          qt6-base-dev qt6-svg-dev qt6-serialport-dev libqt6svg6 qt6-qpa-plugins
          firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-utils
          libarchive-dev libsodium-dev 7zip qt6-httpserver-dev qt6-websockets-dev
          xvfb xauth fonts-dejavu-core fonts-noto-core poppler-utils)

# What cpack needs beside them to make the Debian package (its dependencies come from
# dpkg-shlibdeps, which finds the programs with file).
PACKAGE_TOOLS=(dpkg-dev file)

install_missing() {
    local missing=()
    for p in "${PACKAGES[@]}" "$@"; do
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

# Starts the reference web service on a free loopback port over build/service-data/ (its request
# log in build/service.log), points the staged program's SERVICE\BASE0/BASE1 at it unless the
# user has set other addresses there, and stops it when this script ends.
start_service() {
    local data=build/service-data log=build/service.log settings=build/stage/bin/settings.xml
    mkdir -p "$data"
    build/tools/service/tk-service --port 0 --data "$data" >"$log" 2>&1 &
    SERVICE_PID=$!
    trap 'kill "$SERVICE_PID" 2>/dev/null; wait "$SERVICE_PID" 2>/dev/null' EXIT
    local base="" i
    for i in $(seq 100); do
        base=$(sed -n 's|^tk-service listening on \(http://[^ ]*\) .*|\1|p' "$log")
        [ -n "$base" ] && break
        kill -0 "$SERVICE_PID" 2>/dev/null || break
        sleep 0.1
    done
    if [ -z "$base" ]; then
        echo "The reference web service did not start (see $log); online parts stay empty." >&2
        return 0
    fi
    echo "Reference web service at $base (requests logged in $log)."
    local key current
    for key in 'SERVICE\BASE0' 'SERVICE\BASE1'; do
        current=$(build/tools/setkey/tk-setkey "$settings" "$key")
        case "$current" in
        "" | http://127.0.0.1:*) build/tools/setkey/tk-setkey "$settings" "$key" "$base" ;;
        *) echo "Keeping $key = $current from $settings." ;;
        esac
    done
    # The PTCL plug-in searches the reference service's telephone directory unless pointed
    # elsewhere by hand.
    local conf=build/stage/bin/TessaroPlugin.conf
    if [ ! -f "$conf" ] || grep -q '^directory=http://127.0.0.1:' "$conf"; then
        printf '# Where the PTCL directory search page is\ndirectory=%sptcl.php\n' "$base" >"$conf"
    fi
}

case "${1:-}" in
run)
    install_missing
    build
    start_service
    status=0
    if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
        echo "No display found: starting Tessaro Kavelin on a virtual screen (xvfb-run)."
        xvfb-run -a -s "-screen 0 1280x1024x24" build/stage/bin/tessaro-kavelin "${@:2}" ||
            status=$?
    else
        build/stage/bin/tessaro-kavelin "${@:2}" || status=$?
    fi
    exit "$status"
    ;;
test)
    install_missing
    build
    cd build
    QT_QPA_PLATFORM=offscreen ctest -j "$(nproc)" --output-on-failure
    ;;
package)
    install_missing "${PACKAGE_TOOLS[@]}"
    # A release build of its own (build/package/), so the development build stays as it is; only
    # what the package holds is built, and cpack puts the package in build/.
    cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTK_BENCH=OFF \
        -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON >/dev/null
    cmake --build build/package -j "$(nproc)" --target tessaro-kavelin tessaro-contacts replica \
        tk-plugin-host TessaroPlugin package_files
    (cd build/package && cpack -G DEB -B "$PWD/..")
    rm -rf build/_CPack_Packages
    ls build/tessaro-kavelin_*_amd64.deb
    ;;
*)
    echo "usage: $0 run|test|package" >&2
    exit 2
    ;;
esac

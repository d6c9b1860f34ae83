#!/usr/bin/env bash
# Sets up, builds and runs Tessaly on Debian 12.
#   ./build.sh run    install what is missing, build, start the window (on a machine without a
#                     display: run the scripted demo instead)
#   ./build.sh test   install what is missing, build, run every test
#   ./build.sh sanitize  build the Qt-free libraries and tests with AddressSanitizer and
#                        UndefinedBehaviorSanitizer and run them
#   ./build.sh bench  build and run the benchmarks
# Missing Debian packages are installed with apt-get (through sudo when not run as root).
# TESSALY_WERROR=ON in the environment builds with warnings as errors (continuous integration does).
set -euo pipefail
cd "$(dirname "$0")"

packages=(g++ cmake ninja-build pkg-config qt6-base-dev qt6-svg-dev libgl-dev libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth clang python3)

install_missing() {
    local missing=()
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

jobs=$(nproc 2>/dev/null || echo 2)

configure_and_build() { # build folder, extra cmake options...
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DTESSALY_WERROR="${TESSALY_WERROR:-OFF}" "$@" > /dev/null
    cmake --build "$dir" -j "$jobs"
}

case "${1:-run}" in
run)
    install_missing
    configure_and_build build
    if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
        exec build/src/ui/tessaly
    fi
    echo "No display: running the scripted demo (start the window with: xvfb-run -a build/src/ui/tessaly)"
    mkdir -p out
    build/src/cli/tessaly-cli examples/demo.tcl
    ;;
test)
    install_missing
    configure_and_build build
    QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"
    ;;
sanitize)
    install_missing
    configure_and_build build-sanitize -DTESSALY_SANITIZE=ON -DTESSALY_BUILD_UI=OFF -DTESSALY_BUILD_BENCH=OFF
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        ctest --test-dir build-sanitize --output-on-failure -j "$jobs"
    ;;
bench)
    install_missing
    configure_and_build build -DTESSALY_BUILD_BENCH=ON
    for b in build/bench/bench_*; do [ -x "$b" ] && "$b"; done
    ;;
*)
    echo "usage: $0 [run|test|sanitize|bench]" >&2
    exit 2
    ;;
esac

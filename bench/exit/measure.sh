#!/usr/bin/env bash
# Time from SIGTERM to the end of the staged program: alone, while a copy of the program in
# another folder runs beside it, and with a settings file that cannot be saved; on a virtual
# screen.
# Usage: bench/exit/measure.sh [runs]   (needs Xvfb; prints each run and the medians)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
stage="$top/build/stage"
runs=${1:-10}
[ -x "$stage/bin/tessaro-kavelin" ] || { echo "build the program first" >&2; exit 2; }

work=$(mktemp -d)
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 2>/dev/null)
xvfb=$!
other=""
trap '[ -n "$other" ] && kill $other 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 2; }
export DISPLAY=:$number
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

# Two program folders, each with its own databases.
for copy in one two; do
    mkdir -p "$work/$copy/bin" "$work/$copy/DATA" "$work/$copy/temp"
    cp "$stage/bin/tessaro-kavelin" "$work/$copy/bin/"
    cp "$stage/DATA/"*.FDB "$work/$copy/DATA/"
done

# The program is up once its activation socket accepts a connection.
wait_up() {
    local exe=$1 pid=$2
    for _ in $(seq 2000); do
        python3 - "$exe" <<'PY' 2>/dev/null && return 0
import hashlib, os, socket, sys
block = "/" + sys.argv[1].replace("/", "") + "." + str(os.getuid())
name = "tessaro-kavelin." + hashlib.md5(block.encode()).hexdigest()
s = socket.socket(socket.AF_UNIX)
s.settimeout(0.2)
s.connect("\0" + name)
PY
        kill -0 "$pid" 2>/dev/null || { echo "the program ended early" >&2; exit 1; }
        sleep 0.01
    done
    echo "the program did not come up" >&2
    exit 1
}

measure() {
    local label=$1 times=() exe="$work/one/bin/tessaro-kavelin"
    for i in $(seq "$runs"); do
        "$exe" >>"$work/log" 2>&1 &
        local pid=$!
        wait_up "$exe" $pid
        sleep 0.5
        local start end
        start=$(date +%s%N)
        kill -TERM $pid
        wait $pid || true
        end=$(date +%s%N)
        times+=($(( (end - start) / 1000000 )))
        echo "$label run $i: ${times[-1]} ms"
    done
    local median
    median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
    echo "$label: median SIGTERM to exit $median ms over $runs runs (max $(printf '%s\n' "${times[@]}" | sort -n | tail -1) ms)"
}

measure alone
"$work/two/bin/tessaro-kavelin" >>"$work/log" 2>&1 &
other=$!
wait_up "$work/two/bin/tessaro-kavelin" $other
measure "beside a second copy"
kill -TERM $other; wait $other || true; other=""
# A settings file that cannot be replaced (a folder in its place).
rm -f "$work/one/bin/settings.xml"
mkdir "$work/one/bin/settings.xml"
measure "settings.xml unwritable"

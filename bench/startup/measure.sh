#!/usr/bin/env bash
# Time from starting the staged program to its main window being visible, on a virtual screen.
# Usage: bench/startup/measure.sh [runs]   (needs xvfb and xdotool; prints each run and the median)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
exe="$top/build/stage/bin/tessaro-kavelin"
runs=${1:-9}
command -v xdotool >/dev/null || { echo "needs xdotool (apt-get install xdotool)" >&2; exit 2; }
[ -x "$exe" ] || { echo "build the program first: $exe" >&2; exit 2; }

# Xvfb picks a free display and tells its number once it accepts clients.
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 2>/dev/null)
xvfb=$!
trap 'kill $xvfb 2>/dev/null' EXIT
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 2; }
export DISPLAY=:$number
log=$(mktemp)

times=()
for i in $(seq "$runs"); do
    start=$(date +%s%N)
    "$exe" >>"$log" 2>&1 &
    pid=$!
    until xdotool search --onlyvisible --name '^Tessaro Kavelin$' >/dev/null 2>&1; do
        kill -0 $pid 2>/dev/null || { echo "the program ended early:" >&2; cat "$log" >&2; exit 1; }
        sleep 0.01
    done
    end=$(date +%s%N)
    ms=$(( (end - start) / 1000000 ))
    times+=("$ms")
    echo "run $i: $ms ms"
    kill -TERM $pid
    wait $pid || true
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')
echo "median time to first shown window: $median ms over $runs runs"

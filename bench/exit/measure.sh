#!/usr/bin/env bash
# Time from the request to end to the end of the staged program, on a virtual screen:
#   - SIGTERM, alone and while a copy of the program in another folder runs beside it;
#   - SIGTERM with a settings file that cannot be saved;
#   - Ctrl+Q pressed while a business search waits for a server that never answers.
# The program is this script's own child, so the time ends when the process is reaped by this
# script (polling a process started elsewhere counts the time until init reaps the zombie).
# Usage: bench/exit/measure.sh [runs]   (needs Xvfb, xdotool and openbox; prints each run and
# the medians)
set -euo pipefail
top=$(cd "$(dirname "$0")/../.." && pwd)
stage="$top/build/stage"
runs=${1:-10}
[ -x "$stage/bin/tessaro-kavelin" ] || { echo "build the program first" >&2; exit 2; }

work=$(mktemp -d)
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x1024x24 2>/dev/null)
xvfb=$!
pids=()
trap 'kill "${pids[@]}" 2>/dev/null; kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
read -r -t 20 number <&3 || { echo "Xvfb did not start" >&2; exit 2; }
export DISPLAY=:$number
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
openbox >/dev/null 2>&1 &
pids+=($!)

# A server on loopback that takes every request and never answers.
python3 -c '
import socket, sys
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(64)
print(s.getsockname()[1], flush=True)
held = []
while True:
    c = s.accept()[0]; held.append(c)
    print(c.recv(4096).split(b"\r\n")[0].decode(errors="replace"), file=sys.stderr, flush=True)
' >"$work/silent.port" 2>"$work/silent.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/silent.port" ] && break; sleep 0.05; done
# Every request of the program goes to it, as the desktop's proxy: nothing leaves the machine.
export http_proxy="http://127.0.0.1:$(cat "$work/silent.port")/"

# Two program folders, each with its own databases.
for copy in one two; do
    mkdir -p "$work/$copy"
    cp -a "$stage/." "$work/$copy/"
    rm -f "$work/$copy/bin/settings.xml"
done

# The program is up once its main window is shown.
wait_up() {
    local pid=$1
    for _ in $(seq 2000); do
        window=$(xdotool search --onlyvisible --pid "$pid" --name '^Tessaro Kavelin$' 2>/dev/null |
            head -1) && return 0
        kill -0 "$pid" 2>/dev/null || { echo "the program ended early" >&2; exit 1; }
        sleep 0.01
    done
    echo "the program did not come up" >&2
    exit 1
}

# The business page's tab sits at this point of the main window.
search_business() {
    xdotool mousemove --window "$window" 235 183 click 1
    sleep 1
    xdotool type --delay 20 "bank"
    xdotool key Return
    sleep 1
    grep -q 'resultra.php?q=bank' "$work/silent.log" || { echo "no search was sent" >&2; exit 1; }
    : >"$work/silent.log"
}

# measure <label> <term|ctrl-q> [prepare]
measure() {
    local label=$1 how=$2 prepare=${3:-} times=() exe="$work/one/bin/tessaro-kavelin"
    for i in $(seq "$runs"); do
        "$exe" >>"$work/log" 2>&1 &
        local pid=$!
        wait_up $pid
        sleep 0.5
        [ -n "$prepare" ] && $prepare
        local start end
        start=$(date +%s%N)
        if [ "$how" = term ]; then
            kill -TERM $pid
        else
            xdotool key ctrl+q
        fi
        wait $pid || true
        end=$(date +%s%N)
        times+=($(((end - start) / 1000000)))
        echo "$label run $i: ${times[-1]} ms"
    done
    local sorted
    sorted=$(printf '%s\n' "${times[@]}" | sort -n)
    echo "$label: median $(echo "$sorted" | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}') ms" \
        "over $runs runs (max $(echo "$sorted" | tail -1) ms)"
}

measure "SIGTERM alone" term
measure "Ctrl+Q while a business search waits" ctrl-q search_business
"$work/two/bin/tessaro-kavelin" >>"$work/log" 2>&1 &
other=$!
pids+=($other)
wait_up $other
measure "SIGTERM beside a second copy" term
kill -TERM $other
wait $other || true
# A settings file that cannot be replaced (a folder in its place).
rm -f "$work/one/bin/settings.xml"
mkdir "$work/one/bin/settings.xml"
measure "SIGTERM, settings.xml unwritable" term

#!/usr/bin/env bash
# demotool play under Xvfb: a folder of loose files, a packed container and a one-file demo
# each play in a window without any question and end by themselves with exit code 0; a file
# that holds no container is refused with exit code 1 before any window opens.
# Usage: play_xvfb_test.sh DEMOTOOL DEMOPLAYER DEMO_FOLDER
set -u

demotool="$(realpath "$1")"
player="$(realpath "$2")"
demo="$(realpath "$3")"
failures=0
work="$(mktemp -d)"
xvfb_pid=""
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

for n in $(seq 141 190); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break
done
export DISPLAY=":$n"
unset WAYLAND_DISPLAY
export SDL_AUDIODRIVER=dummy
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
xdpyinfo >/dev/null 2>&1 || { echo "FAIL: Xvfb did not start"; exit 1; }

# expect_end NAME COMMAND...: the command must end by itself with exit code 0 within a minute
# (the fixture lasts three seconds); a question box would hold it until the timeout.
expect_end() {
    local name="$1"
    shift
    timeout 60 "$@" >"$work/out.txt" 2>&1
    local code=$?
    if [[ $code -eq 0 ]]; then pass "$name ends by itself with 0"; else fail "$name exited $code: $(head -c 400 "$work/out.txt")"; fi
}

"$demotool" pack -o "$work/demo.cfl" -C "$demo" . >/dev/null || fail "pack"
"$demotool" append "$player" "$work/demo.cfl" -o "$work/onefile" >/dev/null || fail "append"
mkdir -p "$work/empty"

expect_end "loose files (-C)" "$demotool" play --windowed -C "$demo"
expect_end "container" "$demotool" play -C "$work/empty" "$work/demo.cfl"
expect_end "one-file demo" "$demotool" play -C "$work/empty" "$work/onefile"

echo "not a container" >"$work/plain.txt"
timeout 60 "$demotool" play -C "$work/empty" "$work/plain.txt" >"$work/out.txt" 2>&1
code=$?
if [[ $code -eq 1 ]] && grep -q "holds no container" "$work/out.txt"; then
    pass "a file without a container is refused"
else
    fail "plain file: exit $code, $(head -c 400 "$work/out.txt")"
fi

if ((failures)); then
    echo "$failures failure(s)"
    exit 1
fi
echo "all passed"

# Shared by the Xvfb tests: a private X server, and helpers that find windows, answer the
# player's message boxes by clicking their buttons and wait for a process with a time limit.
# Source it after defining fail(); it sets DISPLAY and starts the server on the first free
# display number from XVFB_FIRST (default 91).

# A free display number and a screen bigger than the windowed size. -noreset: by default the
# server resets whenever its last client leaves, and a player connecting during that reset
# cannot open its question box. The server is started again when it has gone away between
# cases (a loaded machine can lose it); that is noted.
for n in $(seq "${XVFB_FIRST:-91}" $(( ${XVFB_FIRST:-91} + 49 ))); do
    [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break
done
export DISPLAY=":$n"
unset WAYLAND_DISPLAY
export SDL_AUDIODRIVER=dummy
xvfb_pid=""
ensure_server() {
    xdpyinfo >/dev/null 2>&1 && return 0
    [[ -n "$xvfb_pid" ]] && echo "note: the X server had gone away; starting it again"
    kill "$xvfb_pid" 2>/dev/null
    rm -f "/tmp/.X$n-lock" "/tmp/.X11-unix/X$n"
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "FAIL: Xvfb did not start"
    exit 1
}
ensure_server

# geometry WINDOW_NAME -> "id x y width height" of the first window with that name, if any
geometry() {
    xwininfo -name "$1" 2>/dev/null | awk '
        /Window id:/ {id=$4}
        /Absolute upper-left X:/ {x=$4}
        /Absolute upper-left Y:/ {y=$4}
        /Width:/ {w=$2}
        /Height:/ {h=$2}
        END {if (id != "") print id, x, y, w, h}'
}

# wait_for WIDTH_TEST -> waits until a "Demo" window passes the awk condition on w and h
wait_for() {
    local condition="$1" g
    for _ in $(seq 200); do
        g="$(geometry Demo)"
        if [[ -n "$g" ]] && echo "$g" | awk "{w=\$4; h=\$5; exit !($condition)}"; then
            echo "$g"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# click_button BOX_GEOMETRY INDEX COUNT: the box's buttons sit in one centred row near its
# bottom edge, 90 pixels apart.
click_button() {
    local id x y w h index="$2" count="$3"
    read -r id x y w h <<<"$1"
    local offset=$(( (2 * index - (count - 1)) * 45 ))
    xdotool mousemove $((x + w / 2 + offset)) $((y + h - 27)) click 1
}

# answer_box INDEX COUNT FAILURE_TEXT: clicks a button of the box now showing; on a loaded
# machine a click that arrives before the box takes input is lost, so it clicks again while
# the same box is still there.
answer_box() {
    local box id
    box="$(wait_for 'w < 600 && h < 300')" || { fail "$3"; return 1; }
    read -r id _ <<<"$box"
    sleep 0.5
    for _ in 1 2 3; do
        click_button "$box" "$1" "$2"
        for _ in $(seq 30); do
            xwininfo -id "$id" 2>/dev/null | grep -q IsViewable || return 0
            sleep 0.1
        done
    done
}

answer_question() { answer_box "$1" 3 "no question box appeared"; }

wait_exit() { # PID SECONDS -> exit code, or 124 after the time limit
    local pid="$1" limit="$2"
    for _ in $(seq $((limit * 10))); do
        if ! kill -0 "$pid" 2>/dev/null; then wait "$pid"; return $?; fi
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    return 124
}

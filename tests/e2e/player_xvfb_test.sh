#!/usr/bin/env bash
# Drives the real demoplayer under Xvfb: the start-up question is answered by clicking its
# buttons, the window is checked with xwininfo, and the run is ended with Escape or a close
# request. Usage: player_xvfb_test.sh DEMOPLAYER X11_CLOSE_REQUEST
set -u

player="$(realpath "$1")"
close_request="$(realpath "$2")"
demo_folder="${3:-}"
failures=0
work="$(mktemp -d)"
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

source "$(dirname "$0")/xvfb_session.sh"

mkdir -p "$work/long" "$work/empty"
printf 'wait 600000\n' >"$work/long/demo.psc"

# No: an 800 x 600 window titled "Demo"; other keys do nothing; Escape ends with 0.
(cd "$work/long" && exec "$player") 2>"$work/no.err" &
pid=$!
answer_question 1
if win="$(wait_for 'w == 800 && h == 600')"; then
    pass "No gives an 800 x 600 window titled Demo"
    read -r id _ <<<"$win"
    if xprop -id "$id" WM_CLASS | grep -q '"Vorna window class"'; then
        pass "the window's class is Vorna window class"
    else
        fail "WM_CLASS: $(xprop -id "$id" WM_CLASS)"
    fi
    xdotool windowfocus --sync "$id" 2>/dev/null
    sleep 0.5
    xdotool key --window "$id" a space Return
    sleep 1
    kill -0 "$pid" 2>/dev/null && pass "other keys do nothing" || fail "a key other than Escape ended the run"
    xdotool key --window "$id" Escape
    wait_exit "$pid" 20
    code=$?
    [[ $code == 0 ]] && pass "Escape ends with exit 0" || fail "Escape: exit $code; $(cat "$work/no.err")"
else
    fail "No did not give an 800 x 600 window: $(geometry Demo); $(cat "$work/no.err")"
    kill -9 "$pid" 2>/dev/null
fi

ensure_server
# Yes: a borderless window covering the screen; the close box ends with 0.
(cd "$work/long" && exec "$player") 2>"$work/yes.err" &
pid=$!
answer_question 0
if win="$(wait_for 'w == 1280 && h == 1024')"; then
    pass "Yes gives a window covering the 1280 x 1024 screen"
    read -r id x y _ <<<"$win"
    [[ "$x $y" == "0 0" ]] && pass "the full-screen window is at (0, 0)" || fail "full-screen window at $x,$y"
    sleep 0.5
    "$close_request" "$id"
    wait_exit "$pid" 20
    code=$?
    [[ $code == 0 ]] && pass "a close request ends with exit 0" || fail "close request: exit $code; $(cat "$work/yes.err")"
else
    fail "Yes did not give a full-screen window: $(geometry Demo); $(cat "$work/yes.err")"
    kill -9 "$pid" 2>/dev/null
fi

# Cancel: the "User Abort" box, then exit 5.
ensure_server
(cd "$work/long" && exec "$player") 2>"$work/cancel.err" &
pid=$!
answer_question 2
answer_box 0 1 "no User Abort box appeared"
wait_exit "$pid" 20
code=$?
[[ $code == 5 ]] && pass "Cancel ends with exit 5" || fail "Cancel: exit $code; $(cat "$work/cancel.err")"
# Every box is also written to standard error, so a run from a terminal says why it ended.
grep -q "User Abort" "$work/cancel.err" && pass "the box's text is on standard error too" ||
    fail "the User Abort box left no trace on standard error: $(cat "$work/cancel.err")"

ensure_server
# No demo.psc anywhere: the loop ends after the first frame with exit 0.
(cd "$work/empty" && exec "$player") 2>"$work/empty.err" &
pid=$!
answer_question 1
wait_exit "$pid" 20
code=$?
[[ $code == 0 ]] && pass "without demo.psc the player ends by itself with 0" || fail "no script: exit $code; $(cat "$work/empty.err")"

ensure_server
# A whole demo (pictures, a sequence, colours, layers, music) plays to its end with 0.
if [[ -n "$demo_folder" ]]; then
    (cd "$demo_folder" && exec "$player") 2>"$work/demo.err" &
    pid=$!
    answer_question 1
    wait_exit "$pid" 60
    code=$?
    [[ $code == 0 ]] && pass "the demo in $demo_folder plays to its end with 0" || fail "demo: exit $code; $(cat "$work/demo.err")"
fi

# No display at all: the question cannot be shown.
(cd "$work/long" && DISPLAY= exec "$player") 2>"$work/nodisplay.err" &
pid=$!
wait_exit "$pid" 20
code=$?
if [[ $code == 10 ]] && grep -q "Couldn't open MessageBox, dying" "$work/nodisplay.err"; then
    pass "without a display: exit 10 and the message on standard error"
else
    fail "no display: exit $code; $(cat "$work/nodisplay.err")"
fi

echo "player under Xvfb: $failures failure(s)"
[[ $failures == 0 ]]

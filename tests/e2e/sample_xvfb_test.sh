#!/usr/bin/env bash
# The sample demo played through to its end on a real X display: as a one-file demo made with
# `demotool append` (the player asks its question, answered No) and as a container through
# `demotool play`. Both must end by themselves with exit code 0.
# Usage: sample_xvfb_test.sh DEMOTOOL DEMOPLAYER SAMPLE_DIR
set -u

demotool="$(realpath "$1")"
player="$(realpath "$2")"
sample="$(realpath "$3")"
failures=0
work="$(mktemp -d)"
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
pass() { echo "ok: $*"; }

XVFB_FIRST=191 source "$(dirname "$0")/xvfb_session.sh"

# The crystal's texture sequence is read from the disk only, so it travels beside the demo.
cp "$sample/crystal.seq" "$work/"
"$demotool" append "$player" "$sample/sample.cfl" -o "$work/lanterns" >/dev/null || fail "append"

# The demo lasts 82 s; a slow machine drops frames but keeps to the clock.
(cd "$work" && exec ./lanterns) 2>"$work/onefile.err" &
pid=$!
answer_question 1
wait_exit "$pid" 200
code=$?
[[ $code == 0 ]] && pass "the one-file sample demo plays to its end with 0" ||
    fail "one-file demo: exit $code; $(head -c 400 "$work/onefile.err")"

ensure_server
(cd "$sample" && exec timeout 200 "$demotool" play --windowed sample.cfl) >"$work/play.out" 2>&1
code=$?
[[ $code == 0 ]] && pass "demotool play of sample.cfl ends by itself with 0" ||
    fail "demotool play: exit $code; $(head -c 400 "$work/play.out")"

echo "sample under Xvfb: $failures failure(s)"
[[ $failures == 0 ]]

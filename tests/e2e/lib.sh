# Shared pieces of the end-to-end tests: a scratch installation made from the demo,
# the real binary started in tmux at 80 x 25, the screen read back.
set -euo pipefail
BIN=${BIN:?path of kevprint}
DEMO=${DEMO:?path of demo/install}
T=$(mktemp -d /tmp/kev-e2e.XXXXXX)
SESSION=kev$$_$RANDOM
FAILS=0
trap 'tmux kill-session -t "$SESSION" 2>/dev/null || true; rm -rf "$T"' EXIT

cp -a "$DEMO/." "$T/"
# The demo's output program under every name the dialog starts.
mkdir -p "$T/KEV/PROG"
for p in KEVSCR KEVHTM KEVPDF KEVWIN KEVLPT TORNAR; do ln -s "${SORTIDA:?path of the demo output program}" "$T/KEV/PROG/$p"; done
mkdir -p "$T/LOG" "$T/TMPDIR"
WORK=$T/TERM01/TMP
TERMDIR=$T/TERM01
ROOT=$T/KEV

# Writes CP850 text (given as UTF-8) with CR LF line ends.
put() { printf '%s' "$2" | sed 's/$/\r/' | iconv -f utf-8 -t cp850 >"$1"; }
# INI value (case-insensitive section/key), as UTF-8 without CR.
ini() {
  [ -f "$1" ] || return 0
  iconv -f cp850 -t utf-8 "$1" | tr -d '\r' | awk -v s="$2" -v k="$3" '
    /^[ \t]*\[/ { sub(/^[ \t]*\[/, ""); sub(/\].*/, ""); cur = tolower($0); gsub(/^ +| +$/, "", cur); next }
    cur == tolower(s) && index($0, "=") { key = substr($0, 1, index($0, "=") - 1); gsub(/^ +| +$/, "", key)
      kk = k; gsub(/^ +| +$/, "", kk); if (tolower(key) == tolower(kk)) { print substr($0, index($0, "=") + 1); exit } }'
}

# Runs the script body on stdin in a detached 80 x 25 tmux session; the body leaves the
# program's exit code in $T/rc.tmp, which lands in $T/rc when the body is done.
launch() {
  { echo '#!/usr/bin/env bash'; cat; echo "mv \"$T/rc.tmp\" \"$T/rc\""; echo 'sleep 600'; } >"$T/run.sh"
  chmod +x "$T/run.sh"
  rm -f "$T/rc"
  tmux new-session -d -s "$SESSION" -x 80 -y 25 "$T/run.sh"
}

# Starts kevprint in a detached tmux session; its exit code lands in $T/rc and the
# terminal settings before and after in $T/stty.before / $T/stty.after.
start() {
  launch <<RUN
export KEVDRIVES="C=/;K=$T" KEVROOT='K:\\KEV\\' KEVEXE='K:\\KEV\\PROG\\' KEVTMP='K:\\TERM01\\TMP\\'
export TEMP="$T/TMPDIR" KEVDEMO_LOG="$T/LOG" USERPROFILE='K:\\DOCS' ${EXTRA_ENV:-}
unset KEVDEMO_PAUSA
stty -a >"$T/stty.before"
"$BIN"
echo \$? >"$T/rc.tmp"
stty -a >"$T/stty.after"
RUN
  tmux set-option -t "$SESSION" monitor-bell on >/dev/null
  tmux set-option -t "$SESSION" bell-action any >/dev/null
}

# 1-based screen row and column of the cursor.
cursor() { tmux display -p -t "$SESSION" '#{e|+:#{cursor_y},1} #{e|+:#{cursor_x},1}'; }
bell() { tmux display -p -t "$SESSION" '#{window_bell_flag}'; }
# Row n of the screen (1-based).
row() { screen | sed -n "${1}p"; }
# Waits until row n shows a text.
wait_row() {
  local n=$(( ${3:-5} * 20 ))
  while ! row "$1" | grep -qF -- "$2"; do
    sleep 0.05; n=$((n-1))
    [ $n -gt 0 ] || { fail "row $1 never showed: $2 (it shows: $(row "$1"))"; return 1; }
  done
}
# Types keys and lets the program draw.
type_keys() { keys "$@"; sleep 0.15; }
# A fresh run: clean log, no exit code yet.
reset_run() { tmux kill-session -t "$SESSION" 2>/dev/null || true; rm -rf "$T/LOG"; mkdir -p "$T/LOG"; rm -f "$T/rc"; }

# Waits until kevprint has ended (at most $1 seconds, default 10).
wait_end() {
  local n=$(( ${1:-10} * 20 ))
  while [ ! -f "$T/rc" ] && [ $n -gt 0 ]; do sleep 0.05; n=$((n-1)); done
  [ -f "$T/rc" ] || { fail "kevprint did not end"; screen; return 1; }
}

screen() { tmux capture-pane -p -t "$SESSION"; }
keys() { tmux send-keys -t "$SESSION" "$@"; }
# Waits until the screen shows a text (at most $2 seconds, default 5).
wait_text() {
  local n=$(( ${2:-5} * 20 ))
  while ! screen | grep -qF -- "$1"; do
    sleep 0.05; n=$((n-1))
    [ $n -gt 0 ] || { fail "screen never showed: $1"; screen; return 1; }
  done
}

fail() { echo "FAIL: $*"; FAILS=$((FAILS+1)); }
check() {  # description, then a command
  local d=$1; shift
  if "$@"; then echo "ok: $d"; else fail "$d"; fi
}
eq() { [ "$1" = "$2" ] || { echo "   expected [$2], got [$1]"; return 1; }; }
finish() {
  if [ "$FAILS" -gt 0 ]; then echo "$FAILS failed"; exit 1; fi
  echo "all passed"
}

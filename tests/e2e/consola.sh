#!/usr/bin/env bash
# The console library in a real terminal (tmux, 80 x 25): decoded keys, frame characters,
# accented letters and the euro sign, and the screen exactly as before once the windows
# are closed.
set -euo pipefail
export LC_ALL=C.UTF-8
PROVA=${PROVA:?path of prova_consola}
T=$(mktemp -d /tmp/kev-consola.XXXXXX)
S=kevcons$$_$RANDOM
FAILS=0
trap 'tmux kill-session -t "$S" 2>/dev/null || true; rm -rf "$T"' EXIT

screen() { tmux capture-pane -p -t "$S"; }
keys() { tmux send-keys -t "$S" "$@"; }
fail() { echo "FAIL: $*"; FAILS=$((FAILS+1)); }
wait_text() {
  local n=$(( ${2:-5} * 20 ))
  while ! screen | grep -qF -- "$1"; do
    sleep 0.05; n=$((n-1))
    [ $n -gt 0 ] || { fail "screen never showed: $1"; screen; return 0; }
  done
  echo "ok: $1"
}
# Sends the keys and waits for the code to show on the key line.
key_code() {
  local code=$1; shift
  keys "$@"
  local n=100
  while ! screen | tail -n 1 | grep -qE "^Tecla: $code( |\$)"; do
    sleep 0.05; n=$((n-1))
    [ $n -gt 0 ] || { fail "keys $* did not show $code: $(screen | tail -n 1)"; return 0; }
  done
  echo "ok: $* -> $code"
}

tmux new-session -d -s "$S" -x 80 -y 25 "$PROVA $T/; echo \$? > $T/rc; sleep 600"
wait_text "Tecla:"
wait_text "Lletres: àéíòúç ÀÉÍÓÚÇ ñÑ Ççü"
wait_text "Euro: € 100"

key_code 61 a
key_code 3f00 F5
key_code 5400 S-F1
key_code 5e00 C-F1
key_code 6800 M-F1
key_code 8a00 C-F12
key_code 8700 S-F11
key_code 7300 C-Left
key_code 7400 C-Right
key_code 7700 C-Home
key_code 4800 Up
key_code 5100 NPage
key_code 2100 M-f
key_code 2d00 M-x
key_code d5 M-e
key_code 1b Escape
key_code d Enter
key_code f00 BTab
key_code 82 é

before=$(screen)
keys w
wait_text "Missatge de prova: àèéíòóúç €"
after_open=$(screen)
grep -qF "╔" <<<"$after_open" && grep -qF "╝" <<<"$after_open" || fail "double frame missing"
grep -qF "┌" <<<"$after_open" && grep -qF "┘" <<<"$after_open" || fail "single frame missing"
grep -qF "│ Missatge de prova: àèéíòóúç € │" <<<"$after_open" || fail "message box line: $(grep -F Missatge <<<"$after_open")"
grep -qF "Finestra 2 éà" <<<"$after_open" || fail "inner window text"
[ -f "$T/WinPush.tmp" ] || fail "window file missing while windows are open"
# The message box is centred on column 41: 29 characters of text, box of 33.
line=$(grep -F "Missatge de prova" <<<"$after_open")
prefix=${line%%│ Missatge*}
[ ${#prefix} -eq $((41 - 15 - 2 - 1)) ] || fail "message box starts at column $(( ${#prefix} + 1 ))"

keys c c c
n=100
while [ "$(screen)" != "$before" ]; do
  sleep 0.05; n=$((n-1))
  [ $n -gt 0 ] || { fail "screen not as before after closing"; diff <(echo "$before") <(screen) || true; break; }
done
[ "$(screen)" = "$before" ] && echo "ok: screen restored"
[ ! -f "$T/WinPush.tmp" ] || fail "window file left behind"

keys q
n=100
while [ ! -f "$T/rc" ] && [ $n -gt 0 ]; do sleep 0.05; n=$((n-1)); done
[ "$(cat "$T/rc" 2>/dev/null)" = "0" ] || fail "prova_consola did not end with 0"

if [ $FAILS -gt 0 ]; then echo "$FAILS failed"; exit 1; fi
echo "all passed"

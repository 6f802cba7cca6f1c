# Shared pieces of the end-to-end tests of kevprint.exe: a scratch copy of the demo
# installation with native Windows paths (wine's drive Z: is the root of this system),
# the program started under wine in tmux at 80 x 25, the screen read back.
set -euo pipefail
BIN=${BIN:?path of kevprint.exe}
SORTIDA=${SORTIDA:?path of the demo output program}
DEMO=${DEMO:?path of demo/install}
WINE_SH=${WINE_SH:?path of cmake/wine.sh}
WINEPREFIX=${WINEPREFIX:?wine prefix}
T=$(mktemp -d /tmp/kev-wine.XXXXXX)
SESSION=kevw$$
TM=(tmux -L "kevwine$$")
FAILS=0
trap '"${TM[@]}" kill-server 2>/dev/null || true; rm -rf "$T"' EXIT

cp -a "$DEMO/." "$T/"
mkdir -p "$T/LOG" "$T/TMPDIR" "$T/KEV/PROG"
# The output programs are the demo program under each name (CreateProcess adds ".exe").
for p in KEVSCR KEVHTM KEVPDF KEVWIN KEVLPT TORNAR; do cp "$SORTIDA" "$T/KEV/PROG/$p.exe"; done
WORK=$T/TERM01/TMP
TERMDIR=$T/TERM01
ROOT=$T/KEV

# A path of this system as wine names it.
win() { local p=$1; echo "Z:${p//\//\\}"; }

# The installation's files name their folders with the demo's drive K:; here they live
# under Z:, so the paths inside them are rewritten (CP850 files, CR LF kept).
while IFS= read -r -d '' f; do
  sed -i "s|K:\\\\|$(win "$T/" | sed 's/\\/\\\\/g')|Ig" "$f"
done < <(grep -rlIZ --include='*.ini' --include='*.INI' --include='*.tmp' -i 'K:\\' "$T" || true)

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
# A file of a folder, its name matched without regard to case (Windows names).
fitxer() { find "$1" -maxdepth 1 -iname "$2" | head -1; }

# Starts kevprint.exe under wine in a detached tmux session; its exit code lands in $T/rc.
start() {
  cat >"$T/run.sh" <<RUN
#!/usr/bin/env bash
export LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEPREFIX="$WINEPREFIX"
export KEVROOT='$(win "$ROOT/")' KEVEXE='$(win "$ROOT/PROG/")' KEVTMP='$(win "$WORK/")'
export KEVDEMO_LOG='$(win "$T/LOG")' USERPROFILE='$(win "$T/DOCS")' ${EXTRA_ENV:-}
unset KEVDEMO_PAUSA KEVDRIVES
cd "$T"
"$WINE_SH" "$WINEPREFIX" "$BIN" 2>>"$T/wine.err"
echo \$? >"$T/rc.tmp"
mv "$T/rc.tmp" "$T/rc"
sleep 600
RUN
  chmod +x "$T/run.sh"
  rm -f "$T/rc"
  "${TM[@]}" new-session -d -s "$SESSION" -x 80 -y 25 "$T/run.sh"
}

screen() { "${TM[@]}" capture-pane -p -t "$SESSION"; }
row() { screen | sed -n "${1}p"; }
# Sends keys one by one with a short pause: wine reads the terminal's bytes as they come,
# and an escape sequence cut in two would read as Escape.
type_keys() {
  local k
  for k in "$@"; do "${TM[@]}" send-keys -t "$SESSION" "$k"; sleep 0.15; done
  sleep 0.2
}
# Types a text one character at a time.
type_text() {
  local s=$1 i
  for ((i = 0; i < ${#s}; i++)); do "${TM[@]}" send-keys -t "$SESSION" -l "${s:i:1}"; sleep 0.08; done
  sleep 0.2
}
wait_text() {
  local n=$(( ${2:-30} * 20 ))
  while ! screen | grep -qF -- "$1"; do
    sleep 0.05; n=$((n-1))
    [ $n -gt 0 ] || { fail "screen never showed: $1"; screen; return 1; }
  done
}
wait_row() {
  local n=$(( ${3:-10} * 20 ))
  while ! row "$1" | grep -qF -- "$2"; do
    sleep 0.05; n=$((n-1))
    [ $n -gt 0 ] || { fail "row $1 never showed: $2 (it shows: $(row "$1"))"; return 1; }
  done
}
# Waits until kevprint.exe has ended (at most $1 seconds, default 30: wine starts slowly).
wait_end() {
  local n=$(( ${1:-30} * 20 ))
  while [ ! -f "$T/rc" ] && [ $n -gt 0 ]; do sleep 0.05; n=$((n-1)); done
  [ -f "$T/rc" ] || { fail "kevprint.exe did not end"; screen; return 1; }
}
reset_run() { "${TM[@]}" kill-session -t "$SESSION" 2>/dev/null || true; rm -rf "$T/LOG"; mkdir -p "$T/LOG"; rm -f "$T/rc"; }

fail() { echo "FAIL: $*"; FAILS=$((FAILS+1)); }
check() {
  local d=$1; shift
  if "$@"; then echo "ok: $d"; else fail "$d"; fi
}
eq() { [ "$1" = "$2" ] || { echo "   expected [$2], got [$1]"; return 1; }; }
finish() {
  if [ "$FAILS" -gt 0 ]; then echo "$FAILS failed"; exit 1; fi
  echo "all passed"
}

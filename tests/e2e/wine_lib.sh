# The end-to-end helpers (lib.sh) for kevprint.exe: the scratch copy of the demo gets
# native Windows paths (wine's drive Z: is the root of this system) and the output
# programs as .exe files; the program runs under wine in tmux at 80 x 25.
: "${SORTIDA:?path of the demo output program}" "${WINE_SH:?path of cmake/wine.sh}" "${WINEPREFIX:?wine prefix}"
. "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

# CreateProcess adds ".exe" to a program named without one.
for p in KEVSCR KEVHTM KEVPDF KEVWIN KEVLPT TORNAR; do cp "$SORTIDA" "$ROOT/PROG/$p.exe"; done

# A path of this system as wine names it.
win() { local p=$1; echo "Z:${p//\//\\}"; }
# The session file names the terminal folder with the demo's drive K:.
sed -i "s|^Dir=K:\\\\|Dir=$(win "$T/" | sed 's/\\/\\\\/g')|I" "$WORK/Sessio.ini"
# A file of a folder, its name matched without regard to case (Windows names).
fitxer() { find "$1" -maxdepth 1 -iname "$2" | head -1; }

# Starts kevprint.exe in a detached tmux session; its exit code lands in $T/rc.
start() {
  launch <<RUN
export LANG=C.UTF-8 LC_ALL=C.UTF-8 WINEPREFIX="$WINEPREFIX"
export KEVROOT='$(win "$ROOT/")' KEVEXE='$(win "$ROOT/PROG/")' KEVTMP='$(win "$WORK/")'
export KEVDEMO_LOG='$(win "$T/LOG")' USERPROFILE='$(win "$T/DOCS")' ${EXTRA_ENV:-}
unset KEVDEMO_PAUSA KEVDRIVES
cd "$T"
"$WINE_SH" "$WINEPREFIX" "$BIN" 2>>"$T/wine.err"
echo \$? >"$T/rc.tmp"
RUN
}

# Keys one by one with a short pause: wine reads the terminal's bytes as they come, and
# an escape sequence cut in two would read as Escape.
type_keys() {
  local k
  for k in "$@"; do keys "$k"; sleep 0.15; done
  sleep 0.2
}
type_text() {
  local s=$1 i
  for ((i = 0; i < ${#s}; i++)); do keys -l "${s:i:1}"; sleep 0.08; done
  sleep 0.2
}

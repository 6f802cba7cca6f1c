#!/usr/bin/env bash
# Faults a new user of the suite runs into: the terminal folder as work folder, a program
# folder with a space, a subject holding ";", a listing of indented "*" lines, the session
# ending under the dialog, runs killed while writing, a read-only letterhead image, folders
# listed in name order.
. "$(dirname "$0")/lib.sh"

# Only the files that name a destination; the request is written per run.
dispatch_files() {
  put "$WORK/QuilTerm.ini" $'[Sistema]\nIdioma=CAT\nData=20261208\nSortida=2\n'
  put "$WORK/KevPrint.ini" $'[Opcions]\nMostrar=N\nTornar=TORNAR ARG1\n'
}

# --- 1. KEVTMP unset: the work folder is the terminal folder and the request file is the
#        terminal's KEVPRINT.INI. The request goes, the settings stay.
settings=$'[Entrada]\nPerDefecte=0\nPerCorreu= 0\nPrtTambe=-1\n\n[Cerca]\nUnit=K:\\DOCS\\\nPath=\n'
put "$TERMDIR/KEVPRINT.INI" "$settings"$'[Opcions]\nMostrar=N\nCorreu=N\nTornar=TORNAR\n'
put "$TERMDIR/QuilTerm.ini" $'[Sistema]\nIdioma=CAT\nSortida=2\n'
cp "$WORK/kevprint.tmp" "$TERMDIR/kevprint.tmp"
EXTRA_ENV="KEVTMP= KEVTERM='K:\\TERM01\\'" start
wait_end
check "printer program started" grep -qx "program: KEVLPT" "$T/LOG/KEVLPT.txt"
check "return program started" test -e "$T/LOG/TORNAR.txt"
check "the settings file is still there" test -f "$TERMDIR/KEVPRINT.INI"
check "PrtTambe kept" eq "$(ini "$TERMDIR/KEVPRINT.INI" Entrada PrtTambe)" "-1"
check "PerDefecte kept" eq "$(ini "$TERMDIR/KEVPRINT.INI" Entrada PerDefecte)" "0"
check "picker folder kept" eq "$(ini "$TERMDIR/KEVPRINT.INI" Cerca Unit)" 'K:\DOCS\'
check "request consumed: no return program" eq "$(ini "$TERMDIR/KEVPRINT.INI" Opcions Tornar)" ""
check "request consumed: no Mostrar" eq "$(ini "$TERMDIR/KEVPRINT.INI" Opcions Mostrar)" ""
check "request consumed: no section left of it" test -z "$(grep -i 'Opcions' "$TERMDIR/KEVPRINT.INI")"
check "no other file beside it" eq "$(ls "$TERMDIR" | grep -ci '^kevprint.ini')" 1
rm -f "$TERMDIR/kevprint.tmp" "$TERMDIR/QuilTerm.ini"

# --- 2. A program folder whose name has a space: the output and return programs start.
reset_run
mkdir -p "$ROOT/MY PROG"
cp -a "$ROOT/PROG/." "$ROOT/MY PROG/"
dispatch_files
EXTRA_ENV="KEVEXE='K:\\KEV\\MY PROG\\'" start
wait_end
check "output program started from the folder with a space" grep -qx "program: KEVLPT" "$T/LOG/KEVLPT.txt"
check "return program started with its argument" grep -qx "arguments: ARG1" "$T/LOG/TORNAR.txt"
check "exit code 0" eq "$(cat "$T/rc")" 0

# --- 3. A ";" cannot be stored in an INI value: typed into the subject it is refused with
#        a beep, and what is stored is what the operator saw.
reset_run
put "$WORK/KevPrint.ini" $'[Opcions]\nMostrar=S\nCorreu=S\nTornar=TORNAR\n'
start
wait_text "SELECCIÓ IMPRESSORA"
type_keys Tab S Tab Tab C-y
tmux send-keys -t "$SESSION" -l 'Factura 12; gener'
sleep 0.2
check "the semicolon beeps" eq "$(bell)" 1
check "the subject shows it left out" wait_row 12 "ASSUMPTE : Factura 12 gener "
type_keys Enter
wait_end
check "stored subject is the one shown" eq "$(ini "$WORK/KEVEML.INI" Missatge Assumpte)" "Factura 12 gener"
check "the operator's last subject too" eq "$(ini "$ROOT/MAIL.INI" JORDI Assumpte | sed 's/ *$//')" "Factura 12 gener"

# --- 4. A listing whose lines are indented "*" lines is not a comment-only listing: it
#        is printed (only a "*" in the first column marks a comment).
reset_run
rm -f "$WORK/KEVEML.INI"
put "$WORK/kevprint.tmp" $'   * TOTAL FACTURAT   12.345,00
   * TOTAL COBRAT      9.876,00
'
dispatch_files
start
wait_end
check "the printer program got the listing" grep -qx "program: KEVLPT" "$T/LOG/KEVLPT.txt"
cp "$DEMO/TERM01/TMP/kevprint.tmp" "$WORK/kevprint.tmp"

# --- 5. The session ends (terminal window closed, system going down): the run ends as
#        Escape would, the shared window file holds what the caller left there, the list
#        file is gone, no program is started, the terminal is put back.
# The caller's window stack: a real one, as this dialog leaves it while open.
reset_run
put "$WORK/KevPrint.ini" $'[Opcions]\nMostrar=S\nTornar=TORNAR\n'
start
wait_text "SELECCIÓ IMPRESSORA"
cp "$WORK/WinPush.tmp" "$T/pila"
type_keys Escape
wait_end
for sig in HUP TERM; do
  reset_run
  cp "$T/pila" "$WORK/WinPush.tmp"
  put "$WORK/KevPrint.ini" $'[Opcions]\nMostrar=S\nCorreu=S\nTornar=TORNAR\n'
  start
  wait_text "SELECCIÓ IMPRESSORA"
  type_keys Tab S Tab F2
  wait_text "FITXERS ADJUNTS"
  type_keys F4
  wait_text "Documents"
  check "SIG$sig: the list file is there while the picker is open" test -n "$(find "$WORK" -iname browse.tmp)"
  pid=$(pgrep -P "$(tmux display -p -t "$SESSION" '#{pane_pid}')" -x kevprint)
  kill -s "$sig" "$pid"
  wait_end
  check "SIG$sig: exit code 0" eq "$(cat "$T/rc")" 0
  # Bytes past the stack top are free space: the stack is what the caller left.
  check "SIG$sig: the window stack as the caller left it" cmp -s -n "$(stat -c %s "$T/pila")" "$WORK/WinPush.tmp" "$T/pila"
  check "SIG$sig: no list file left" test -z "$(find "$WORK" -iname browse.tmp)"
  check "SIG$sig: no program started" test -z "$(ls "$T/LOG")"
  check "SIG$sig: terminal settings restored" cmp -s "$T/stty.before" "$T/stty.after"
  check "SIG$sig: the request consumed" test ! -e "$WORK/KevPrint.ini"
done
rm -f "$WORK/WinPush.tmp"

# --- 6. Runs killed at random moments while they write their INI files. The files stay
#        whole, and the next run's writes clear the copies left behind.
ours() { find "$WORK" "$TERMDIR" -maxdepth 1 -regextype posix-extended -regex '.*/[^/]+\.[0-9]{8}\.tmp' | wc -l; }
reset_run
# The stored destination goes out at once, and both the request and the terminal's
# settings are rewritten on the way.
put "$TERMDIR/KEVPRINT.INI" "${settings/PerDefecte=0/PerDefecte=1}"
put "$WORK/QuilTerm.ini" $'[Sistema]\nIdioma=CAT\nData=20261208\nSortida=2\n'
cat >"$T/kills.sh" <<KILLS
#!/usr/bin/env bash
export KEVDRIVES="C=/;K=$T" KEVROOT='K:\\KEV\\' KEVEXE='K:\\KEV\\PROG\\' KEVTMP='K:\\TERM01\\TMP\\'
export TEMP="$T/TMPDIR" KEVDEMO_LOG="$T/LOG"
for i in \$(seq 40); do
  printf '[Opcions]\r\nMostrar=N\r\nCorreu=S\r\nTornar=TORNAR\r\n' >"$WORK/KevPrint.ini"
  "$BIN" </dev/tty >/dev/null 2>&1 &
  p=\$!
  sleep \$(printf '0.%03d' \$((RANDOM % 30)))
  kill -9 \$p 2>/dev/null
  wait \$p 2>/dev/null
done
stty sane
touch "$T/kills.done"
sleep 600
KILLS
chmod +x "$T/kills.sh"
tmux kill-session -t "$SESSION" 2>/dev/null || true
tmux new-session -d -s "$SESSION" -x 80 -y 25 "$T/kills.sh"
n=600; while [ ! -e "$T/kills.done" ] && [ $n -gt 0 ]; do sleep 0.1; n=$((n-1)); done
check "the killed runs ended" test -e "$T/kills.done"
echo "   copies left by 40 killed runs: $(ours)"
# Copies of killed writers for sure, and another program's that must stay.
printf 'x' >"$WORK/KevPrint.ini.12345678.tmp"
printf 'x' >"$TERMDIR/KEVPRINT.INI.87654321.tmp"
printf 'x' >"$WORK/55555555.tmp"
reset_run
put "$WORK/KevPrint.ini" $'[Opcions]\nMostrar=N\nCorreu=S\nTornar=TORNAR\n'
start
wait_end
check "another program's temporary file left alone" test -e "$WORK/55555555.tmp"
check "a whole run after them dispatches" grep -qx "program: KEVLPT" "$T/LOG/KEVLPT.txt"
check "no temporary copy of ours left" eq "$(ours)" 0
check "the request consumed" test ! -e "$WORK/KevPrint.ini"
check "terminal settings whole" eq "$(ini "$TERMDIR/KEVPRINT.INI" Cerca Unit)" 'K:\DOCS\'
check "... with the mail offer switched off" eq "$(ini "$TERMDIR/KEVPRINT.INI" Entrada PerCorreu)" " 0"
check "... and the rest kept" eq "$(ini "$TERMDIR/KEVPRINT.INI" Entrada PrtTambe)" "-1"

# --- 7. A letterhead image nobody may write (installed by root) still counts as present.
# --- 8. The picker lists a folder in name order without regard to case (the host's
#        own order is its hash order).
reset_run
rm -f "$WORK/55555555.tmp"
mkdir -p "$T/DOCS/Ordre"
for f in Alfa.txt zeta.txt beta.txt Carpeta; do
  case $f in *.txt) echo x >"$T/DOCS/Ordre/$f" ;; *) mkdir "$T/DOCS/Ordre/$f" ;; esac
done
put "$TERMDIR/KEVPRINT.INI" $'[Entrada]\nPerDefecte=0\n[Cerca]\nUnit=K:\\DOCS\\ORDRE\\\n'
put "$WORK/KevPrint.ini" $'[Opcions]\nMostrar=S\nCorreu=S\nTornar=TORNAR\n'
chmod 0444 "$ROOT/IMATGES/B12345678.GIF"
start
wait_text "SELECCIÓ IMPRESSORA"
type_keys Tab S Tab
check "the letterhead question is offered" wait_row 19 "MEMBRET ? NO"
type_keys F2
wait_text "FITXERS ADJUNTS"
type_keys F4
check "the stored folder opens" wait_row 2 'K:\DOCS\Ordre\'
check "folders first" wait_row 4 "Carpeta"
check "then Alfa" wait_row 5 "Alfa.txt"
check "then beta" wait_row 6 "beta.txt"
check "then zeta" wait_row 7 "zeta.txt"
for i in 1 2 3 4 5; do [ -f "$T/rc" ] || type_keys Escape; done
wait_end
check "exit code 0" eq "$(cat "$T/rc")" 0
finish

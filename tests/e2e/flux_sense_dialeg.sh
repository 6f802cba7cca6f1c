#!/usr/bin/env bash
# Runs that show no dialog: an empty listing, "Mostrar" = "N", a terminal with "PerDefecte".
. "$(dirname "$0")/lib.sh"

files_before=$(ls "$WORK" | sort)

# 1. A listing with only control, comment and blank lines: no dialog, the request is
#    consumed, the return program started with its arguments.
put "$WORK/kevprint.tmp" $'DEVICE LPT1\nPAGE 66\n* comment\n\n   send 1\njus 2\n'
start
wait_end
check "exit code 0" eq "$(cat "$T/rc")" 0
check "terminal settings restored" cmp -s "$T/stty.before" "$T/stty.after"
check "request file consumed" test ! -e "$WORK/KevPrint.ini"
check "return program started with its arguments" grep -qx "arguments: MENU LLISTATS" "$T/LOG/TORNAR.txt"
check "no output program started" test ! -e "$T/LOG/KEVSCR.txt"
check "no file left behind in the work directory" eq "$(ls "$WORK" | sort)" "$(echo "$files_before" | grep -vx KevPrint.ini)"
check "nothing written to the terminal settings" eq "$(ini "$TERMDIR/KEVPRINT.INI" Entrada PerCorreu)" " 0"
tmux kill-session -t "$SESSION"

# 2. "Mostrar" = "N": the stored destination (printer 2) goes out without a dialog; the
#    mail offer is consumed, the terminal's last mail answers stay as they were.
reset_run
cp "$DEMO/TERM01/TMP/kevprint.tmp" "$WORK/kevprint.tmp"
put "$WORK/KevPrint.ini" $'[Opcions]\nMostrar=N\nCorreu=S\nTornar=TORNAR\n'
put "$WORK/QuilTerm.ini" $'[Sistema]\nIdioma=CAT\nData=20261208\nSortida=2\n'
put "$TERMDIR/KEVPRINT.INI" $'[Entrada]\nPerDefecte=0\nPerCorreu=-1\nPrtTambe=-1\n'
start
wait_end
check "printer program started" grep -qx "program: KEVLPT" "$T/LOG/KEVLPT.txt"
check "it saw destination 2" grep -qx "destination: 2" "$T/LOG/KEVLPT.txt"
check "it saw the mail offer kept" grep -qx "PerCorreu: -1" "$T/LOG/KEVLPT.txt"
check "return program started after it" test -e "$T/LOG/TORNAR.txt"
check "request consumed" test ! -e "$WORK/KevPrint.ini"
check "no mail description written" test ! -e "$WORK/KEVEML.INI"
check "exit code 0" eq "$(cat "$T/rc")" 0
tmux kill-session -t "$SESSION"

# 3. A terminal with "PerDefecte": no dialog even though "Mostrar" = "S"; "PerCorreu"
#    is switched off for this dispatch and the screen program gets the listing.
reset_run
put "$WORK/KevPrint.ini" $'[Opcions]\nMostrar=S\nCorreu=S\n'
put "$WORK/QuilTerm.ini" $'[Sistema]\nSortida=P\n'
put "$TERMDIR/KEVPRINT.INI" $'[Entrada]\nPerDefecte=1\nPerCorreu=-1\n'
start
wait_end
check "screen program started" grep -qx "program: KEVSCR" "$T/LOG/KEVSCR.txt"
check "PerCorreu switched off before it ran" grep -qx "PerCorreu:  0" "$T/LOG/KEVSCR.txt"
check "PerCorreu stored" eq "$(ini "$TERMDIR/KEVPRINT.INI" Entrada PerCorreu)" " 0"
check "no return program without Tornar" test ! -e "$T/LOG/TORNAR.txt"
check "exit code 0" eq "$(cat "$T/rc")" 0
tmux kill-session -t "$SESSION"
finish

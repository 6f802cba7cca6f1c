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
finish

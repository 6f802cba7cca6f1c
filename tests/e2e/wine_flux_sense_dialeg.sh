#!/usr/bin/env bash
# kevprint.exe under wine, a run that shows no dialog: the listing holds only control,
# comment and blank lines, so the request is consumed and the return program started.
. "$(dirname "$0")/wine_lib.sh"

files_before=$(ls "$WORK" | sort)
put "$WORK/kevprint.tmp" $'DEVICE LPT1\nPAGE 66\n* comment\n\n   send 1\njus 2\n'
start
wait_end 60
check "exit code 0" eq "$(cat "$T/rc")" 0
check "request file consumed" test -z "$(fitxer "$WORK" KevPrint.ini)"
check "return program started with its arguments" grep -qx "arguments: MENU LLISTATS" "$T/LOG/TORNAR.txt"
check "no output program started" test ! -e "$T/LOG/KEVSCR.txt" -a ! -e "$T/LOG/KEVLPT.txt"
check "no file left behind in the work directory" \
  eq "$(ls "$WORK" | sort)" "$(echo "$files_before" | grep -vix KevPrint.ini)"
finish

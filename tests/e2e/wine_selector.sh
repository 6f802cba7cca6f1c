#!/usr/bin/env bash
# kevprint.exe under wine, the file picker's top level on the attachment field: the
# special folders, then the drives wine reports, each with what it is.
. "$(dirname "$0")/wine_lib.sh"

start
wait_text "SELECCIÓ IMPRESSORA" 60 || finish
type_keys Tab S Tab F2
check "page 2 open" wait_text "FITXERS ADJUNTS"
type_keys F4
check "top level: Documents" wait_row 3 "Documents meus"
check "top level: Desktop" wait_row 4 "Escriptori"
check "top level: Recent" wait_row 5 "Recents"
check "top level: drive C" wait_text "C:"
check "top level: drive Z, the root of this system" wait_text "Z:"
type_keys Escape
type_keys Escape Escape Escape Escape
wait_end 60
check "exit code 0" eq "$(cat "$T/rc")" 0
check "abandoned: no output program" test ! -e "$T/LOG/KEVLPT.txt" -a ! -e "$T/LOG/KEVSCR.txt"
finish

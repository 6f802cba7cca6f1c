#!/usr/bin/env bash
# The file picker on the attachment field: special folders and drives, walking folders,
# sideways scrolling, shortcuts, adding and removing attachments, what gets stored.
. "$(dirname "$0")/lib.sh"

# Row of the screen that shows a text (the first one), 0 when none.
row_of() { screen | grep -nF -- "$1" | head -1 | cut -d: -f1; }
# In a freshly opened folder the bar is on the first row (screen row 3): go down to a text.
pick() {
  local r; r=$(row_of "$1")
  [ -n "$r" ] && [ "$r" -ge 3 ] || { fail "no row shows $1"; return 1; }
  local i; for ((i = 3; i < r; i++)); do keys Down; done
  sleep 0.1; type_keys Enter
}

start
wait_text "SELECCIÓ IMPRESSORA"
type_keys Tab S Tab F2
check "page 2 open" wait_text "FITXERS ADJUNTS"
type_keys F4
check "top level: Documents" wait_row 3 "Documents meus"
check "top level: Desktop" wait_row 4 "Escriptori"
check "top level: Recent" wait_row 5 "Recents"
check "top level: drive C" wait_row 6 "C:"
check "top level: drive K with its folder" wait_row 7 "K: $T"
type_keys Escape
sleep 0.2
check "Escape leaves the picker" test -z "$(row_of 'Documents meus')"
check "... with nothing chosen" eq "$(row 11 | tr -d '║ ')" ""

type_keys F4
wait_row 7 "K:"
type_keys Down Down Down Down Enter
check "a drive opens at its root" wait_row 2 "K:\\"
pick DOCS
check "a folder opens" wait_row 2 'K:\DOCS\'
type_keys Enter
check "\"..\" goes back up" wait_text "TERM01"
type_keys Escape
sleep 0.2

type_keys F4
check "the picker reopens where it was left" wait_row 2 'K:\'
type_keys Enter
check "\"..\" at a drive root goes to the top level" wait_row 3 "Documents meus"
type_keys Enter
check "Documents opens" wait_text "informe.txt"
check "a long name is cut at the frame" test -z "$(screen | grep -F 'producte')"
type_keys Right Right
check "sideways scrolling shows the rest of the name" wait_text "producte"
check "the caption shows the way back" wait_row 2 "◄"
type_keys Left Left Escape
sleep 0.2

type_keys F4 Enter
wait_row 5 "Recents"
type_keys Down Down Enter
check "a shortcut shows its target" wait_text 'K:\DOCS\Documents\informe.txt'
pick 'K:\DOCS\Documents\informe.txt'
check "choosing the shortcut attaches its target" wait_row 15 "informe.txt"
type_keys F4
check "the picker reopens where it was" wait_row 2 'Recent\'
pick 'K:\DOCS\Documents\informe.txt'
sleep 0.2
check "choosing it again removes it" eq "$(row 15 | tr -d '║ ')" ""
type_keys F4
wait_row 2 'Recent\'
pick comanda.txt
check "a plain file is attached" wait_row 15 "comanda.txt"
type_keys F4
wait_row 2 'Recent\'
pick 'K:\DOCS\Documents\informe.txt'
check "second attachment" wait_row 16 "informe.txt"
type_keys Enter
wait_end
check "exit code 0" eq "$(cat "$T/rc")" 0
check "attachment 1 stored" eq "$(ini "$WORK/KEVEML.INI" Adjunt " 1")" 'K:\DOCS\Recent\comanda.txt'
check "attachment 2 stored" eq "$(ini "$WORK/KEVEML.INI" Adjunt " 2")" 'K:\DOCS\Documents\informe.txt'
check "no attachment 3" eq "$(ini "$WORK/KEVEML.INI" Adjunt " 3")" ""
check "picker folder stored" grep -qi 'Unit=K:\\DOCS\\RECENT\\' "$TERMDIR/KEVPRINT.INI"
check "no folder below it" eq "$(ini "$TERMDIR/KEVPRINT.INI" Cerca Path)" ""
check "no Browse.tmp left" test -z "$(find "$WORK" -iname browse.tmp)"
finish

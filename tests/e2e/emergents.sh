#!/usr/bin/env bash
# Pop-ups from a field: the calculator (Alt+X) and its tape, the calendar (Alt+C), help (F1).
. "$(dirname "$0")/lib.sh"

start
wait_text "SELECCIÓ IMPRESSORA"
type_keys Tab S Tab Tab C-y
check "in the subject field" eq "$(cursor)" "12 31"
type_keys M-x
check "calculator opens" wait_text "┌────────────────────────┐"
type_keys 1 0 / 4 =
check "the quotient shown with the installation's decimal comma" wait_text "2,5"
type_keys F
check "F types the result into the field" wait_row 12 "ASSUMPTE : 250 "
type_keys M-x
check "the tape of the last use is shown again" wait_text "10 /"
check "... with both operands" wait_text "4 ="
type_keys Escape
sleep 0.2
check "Escape closes the calculator without typing" wait_row 12 "ASSUMPTE : 250 "
check "the tape is kept in the terminal directory" test -n "$(find "$TERMDIR" -maxdepth 1 -iname kevcalc.tmp)"

type_keys Tab C-y M-c
check "calendar opens on the work date's quarter" wait_text "DESEMBRE"
type_keys Right F
check "F types the day after the work date (D/M/A)" wait_row 14 "NOM .....: 9/12/2026"

# Help drops what was typed in the field since it was entered: store the date first.
type_keys Tab BTab
before=$(screen)
type_keys F1
check "F1 shows the menu option's help" wait_text "SELECCIÓ IMPRESSORA"
check "... in a full-width window from row 4" wait_row 4 "╔══════════════════════════════════════════════════════════════════════════════╗"
first=$(row 5)
type_keys NPage
sleep 0.1
check "Page Down scrolls" test "$(row 5)" != "$first"
type_keys Home
sleep 0.1
check "Home goes back to the first line" eq "$(row 5)" "$first"
type_keys End
sleep 0.1
check "End shows the last lines" wait_text "torna a l'opci"
help_end=$(screen)
type_keys F1
check "F1 inside shows the help on help" wait_text "COM FUNCIONA L'AJUDA"
type_keys Escape
sleep 0.2
check "Escape goes back to the page as it was" eq "$(screen)" "$help_end"
type_keys Escape
sleep 0.2
check "a second Escape gives the screen back exactly" eq "$(screen)" "$before"
check "... with the cursor in the field" eq "$(cursor | cut -d' ' -f1)" 14
type_keys Escape Escape Escape
wait_end
check "exit code 0" eq "$(cat "$T/rc")" 0
check "window file gone" test -z "$(find "$WORK" -iname winpush.tmp)"
finish

#!/usr/bin/env bash
# The dialog as an operator uses it: destination, the mail switch, the mail fields with
# the address check, typed attachments on page 2, confirmation and what gets stored.
. "$(dirname "$0")/lib.sh"

# --- 1. A whole confirmed dialog.
start
wait_text "SELECCIÓ IMPRESSORA" || { finish; }
check "stored destination shown first" wait_row 6 "PANTALLA"
check "mail fields disabled until e-mail is chosen" wait_row 12 "ASSUMPTE : ----------------------------------------"
type_keys M
check "first letter picks the printer" wait_row 6 "MATRICIAL MAGATZEM"
type_keys Right
check "Right goes to the next named printer (number 3 has no name)" wait_row 6 "ETIQUETES"
type_keys Left
check "Left comes back" wait_row 6 "MATRICIAL MAGATZEM"
type_keys Tab S Tab
check "e-mail on: the operator's subject appears" wait_row 12 "ASSUMPTE : Factures pendents"
check "e-mail on: the sender address appears" wait_row 15 "CORREU ..: jordi.puig@exemple.cat"
# Leaving the switch upwards (Tab would leave the form: nothing editable follows it).
type_keys BTab N BTab
check "e-mail off: dashes again" wait_row 12 "ASSUMPTE : ----------------------------------------"
type_keys Tab S Tab Tab
check "cursor in the subject field" eq "$(cursor)" "12 31"
type_keys C-y "Vendes desembre" Tab C-y "Anna Soler" Tab C-y "anna@@exemple" Tab
check "a refused address keeps the cursor in its field" eq "$(cursor | cut -d' ' -f1)" 15
check "a refused address beeps" eq "$(bell)" 1
type_keys C-y "Anna.Soler@Exemple.CAT" Tab
check "an accepted address has its domain in small letters" wait_row 15 "CORREU ..: Anna.Soler@exemple.cat"
type_keys Right Tab S
check "letterhead answered (the image exists)" wait_row 19 "MEMBRET ?◄SÍ►"
type_keys F2
check "page 2 opens" wait_text "FITXERS ADJUNTS"
type_keys 'K:\DOCS\Documents\informe.txt' Tab
check "typed attachment listed" wait_row 15 "informe.txt"
type_keys 'K:\DOCS\Desktop\nota.txt' Tab
check "second attachment listed" wait_row 16 "nota.txt"
type_keys 'K:\DOCS\Documents\informe.txt' Tab
check "typing a listed path again removes it" wait_row 15 "nota.txt"
type_keys Enter
wait_end
check "exit code 0" eq "$(cat "$T/rc")" 0
check "printer program started" test -e "$T/LOG/KEVLPT.txt"
check "return program started" test -e "$T/LOG/TORNAR.txt"
check "Sortida stored" eq "$(ini "$WORK/QuilTerm.ini" Sistema Sortida)" 2
check "PerCorreu stored" eq "$(ini "$TERMDIR/KEVPRINT.INI" Entrada PerCorreu)" -1
check "PrtTambe stored" eq "$(ini "$TERMDIR/KEVPRINT.INI" Entrada PrtTambe)" " 0"
check "operator's subject at full width" eq "$(ini "$ROOT/MAIL.INI" JORDI Assumpte)" "Vendes desembre                         "
check "operator's address at full width" eq "$(ini "$ROOT/MAIL.INI" JORDI Mail)" "Anna.Soler@exemple.cat                  "
check "mail subject without trailing spaces" eq "$(ini "$WORK/KEVEML.INI" Missatge Assumpte)" "Vendes desembre"
check "mail sender name" eq "$(ini "$WORK/KEVEML.INI" Missatge Nom)" "Anna Soler"
check "mail send time" eq "$(ini "$WORK/KEVEML.INI" Missatge Hora)" "02"
check "mail letterhead" eq "$(ini "$WORK/KEVEML.INI" Missatge Membret)" " 1"
check "attachment 1" eq "$(ini "$WORK/KEVEML.INI" Adjunt " 1")" 'K:\DOCS\Desktop\nota.txt'
check "no attachment 2" eq "$(ini "$WORK/KEVEML.INI" Adjunt " 2")" ""
check "request consumed" test ! -e "$WORK/KevPrint.ini"
check "window file gone" test -z "$(find "$WORK" -iname winpush.tmp)"

# --- 2. Leaving with e-mail on and no sender address: the message on row 18, the form stays.
#        Then Escape abandons the dialog: nothing stored, nothing dispatched.
reset_run
cp "$DEMO/TERM01/TMP/KevPrint.ini" "$WORK/KevPrint.ini"
put "$ROOT/MAIL.INI" $'[JORDI]\nAssumpte=x\nNom=Jordi\n'
before_quilterm=$(cat "$WORK/QuilTerm.ini")
start
wait_text "SELECCIÓ IMPRESSORA"
type_keys Tab S Tab Enter
check "sender required message (box for row 18: text on 16)" wait_row 16 "HEU D'INDICAR EL CORREU DEL REMITENT"
type_keys Escape
check "the form is still open" wait_text "SELECCIÓ IMPRESSORA"
type_keys Escape Escape Escape
wait_end
check "abandoned: nothing stored" eq "$(cat "$WORK/QuilTerm.ini")" "$before_quilterm"
check "abandoned: no output program" test ! -e "$T/LOG/KEVLPT.txt" -a ! -e "$T/LOG/KEVSCR.txt"
check "abandoned: the return program still runs" test -e "$T/LOG/TORNAR.txt"
check "abandoned: request consumed" test ! -e "$WORK/KevPrint.ini"

# --- 3. The labels in the other languages.
for lang in "SPA:SELECCION IMPRESORA:ENVIAR POR CORREO ELECTRONICO ?" \
            "GLG:SELECÇOM IMPRESSORA:ENVIAR POR CORREIO ELECTRÓNICO ?" \
            "OCI:SELECCION IMPRESSORA:ENVIAR PER CORRÈU ELECTRONIC ?"; do
  IFS=: read -r code title label <<<"$lang"
  reset_run
  cp "$DEMO/TERM01/TMP/KevPrint.ini" "$WORK/KevPrint.ini"
  put "$WORK/QuilTerm.ini" $'[Sistema]\nIdioma='"$code"$'\nSortida=P\n'
  start
  check "$code title" wait_text "$title"
  check "$code label" wait_text "$label"
  type_keys Escape Escape
  wait_end
done
finish

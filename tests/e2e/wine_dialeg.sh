#!/usr/bin/env bash
# kevprint.exe under wine, the dialog: destination changed, e-mail on, a subject with
# accented letters, confirmed; every stored key checked, the files in code page 850.
. "$(dirname "$0")/wine_lib.sh"

start
wait_text "SELECCIÓ IMPRESSORA" 60 || finish
check "stored destination shown first" wait_row 6 "PANTALLA"
check "box corners and accents drawn as the program wrote them" wait_text "╔"
type_keys M
check "first letter picks the printer" wait_row 6 "MATRICIAL MAGATZEM"
type_keys Tab S Tab Tab
check "e-mail on: the operator's subject appears" wait_row 12 "ASSUMPTE : Factures pendents"
type_keys C-y
type_text "Vendes desembre àèéíòóúç"
check "the accented subject is shown" wait_row 12 "ASSUMPTE : Vendes desembre àèéíòóúç"
type_keys Enter
wait_end 60
check "exit code 0" eq "$(cat "$T/rc")" 0
check "printer program started" grep -qx "program: KEVLPT" "$T/LOG/KEVLPT.txt"
check "it saw destination 2" grep -qx "destination: 2" "$T/LOG/KEVLPT.txt"
check "it saw e-mail on" grep -qx "PerCorreu: -1" "$T/LOG/KEVLPT.txt"
check "return program started" grep -qx "arguments: MENU LLISTATS" "$T/LOG/TORNAR.txt"
quilterm=$(fitxer "$WORK" QuilTerm.ini)
kevprint=$(fitxer "$TERMDIR" KEVPRINT.INI)
keveml=$(fitxer "$WORK" KEVEML.INI)
check "Sortida stored" eq "$(ini "$quilterm" Sistema Sortida)" 2
check "PerCorreu stored" eq "$(ini "$kevprint" Entrada PerCorreu)" -1
check "PrtTambe stored" eq "$(ini "$kevprint" Entrada PrtTambe)" " 0"
check "operator's subject at full width" \
  eq "$(ini "$ROOT/MAIL.INI" JORDI Assumpte)" "Vendes desembre àèéíòóúç                "
check "operator's address kept" eq "$(ini "$ROOT/MAIL.INI" JORDI Mail | sed 's/ *$//')" "jordi.puig@exemple.cat"
check "mail subject without trailing spaces" eq "$(ini "$keveml" Missatge Assumpte)" "Vendes desembre àèéíòóúç"
check "mail sender name" eq "$(ini "$keveml" Missatge Nom)" "Jordi Puig"
# Code page 850 bytes of à è é í ò ó ú ç, with CR LF line ends.
check "KEVEML.INI in code page 850" grep -q $'Assumpte=Vendes desembre \x85\x8a\x82\xa1\x95\xa2\xa3\x87\r$' "$keveml"
check "MAIL.INI in code page 850" grep -q $'Assumpte=Vendes desembre \x85\x8a\x82\xa1\x95\xa2\xa3\x87 *\r$' "$ROOT/MAIL.INI"
check "request consumed" test -z "$(fitxer "$WORK" KevPrint.ini)"
check "window file gone" test -z "$(find "$WORK" -iname winpush.tmp)"
finish

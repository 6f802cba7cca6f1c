#!/usr/bin/env bash
# Demo output program: stands in for the suite's KEVSCR, KEVHTM, KEVPDF, KEVWIN, KEVLPT
# and for the program returned to. It records what it was given in $KEVDEMO_LOG and,
# for the screen destination, shows the listing.
nom=$(basename "$0")
log=${KEVDEMO_LOG:-/tmp}
mkdir -p "$log"

# K:\DIR\FILE -> host path through KEVDRIVES (letter=folder;...), names matched without case.
host() {
  local p=$1 letter rest base item
  letter=${p:0:1}; rest=${p:2}; rest=${rest//\\//}
  base=/
  IFS=';' read -ra items <<<"${KEVDRIVES:-C=/}"
  for item in "${items[@]}"; do
    [ "${item%%=*}" = "${letter^^}" ] && base=${item#*=}
  done
  local out=$base part
  IFS='/' read -ra parts <<<"$rest"
  for part in "${parts[@]}"; do
    [ -z "$part" ] && continue
    local found
    found=$(find "$out" -maxdepth 1 -iname "$part" 2>/dev/null | head -1)
    out=${found:-$out/$part}
  done
  echo "$out"
}

ini() {  # file section key
  [ -n "$1" ] && [ -f "$1" ] || return 0
  iconv -f cp850 -t utf-8 "$1" | tr -d '\r' | awk -v s="$2" -v k="$3" '
    /^[ \t]*\[/ { sub(/^[ \t]*\[/, ""); sub(/\].*/, ""); cur = tolower($0); next }
    cur == tolower(s) && index($0, "=") { key = substr($0, 1, index($0, "=") - 1); gsub(/ /, "", key)
      if (tolower(key) == tolower(k)) { print substr($0, index($0, "=") + 1); exit } }'
}

# A file of a folder, its name matched without regard to case.
fitxer() { find "$1" -maxdepth 1 -iname "$2" 2>/dev/null | head -1; }

tmp=$(host "$KEVTMP")
term=$(host "$(ini "$(fitxer "$tmp" Sessio.ini)" Terminal Dir)")
listing="$tmp/kevprint.tmp"
record="$log/$nom.txt"
{
  echo "program: $nom"
  echo "arguments: $*"
  if [ "$nom" != TORNAR ]; then
    echo "destination: $(ini "$(fitxer "$tmp" QUILTERM.INI)" Sistema Sortida)"
    echo "listing: $listing ($(stat -c %s "$listing" 2>/dev/null || echo 0) bytes)"
    echo "PerCorreu: $(ini "$(fitxer "$term" KEVPRINT.INI)" Entrada PerCorreu)"
    echo "PrtTambe: $(ini "$(fitxer "$term" KEVPRINT.INI)" Entrada PrtTambe)"
    eml=$(fitxer "$tmp" KEVEML.INI)
    [ -n "$eml" ] && { echo "--- KEVEML.INI"; iconv -f cp850 -t utf-8 "$eml" | tr -d '\r'; }
  fi
} >"$record"

if [ -t 1 ] && [ -n "${KEVDEMO_PAUSA:-}" ]; then
  clear
  cat "$record"
  if [ "$nom" = KEVSCR ] && [ -f "$listing" ]; then
    echo "--- listing"; iconv -f cp850 -t utf-8 "$listing" | tr -d '\r' | head -20
  fi
  read -rp "[Enter] " _ </dev/tty
fi
exit 0

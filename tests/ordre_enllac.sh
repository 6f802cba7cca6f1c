#!/usr/bin/env bash
# The functions a start-up run executes (the link order list) sit side by side in the
# program: together they span little more than their own size, not the whole binary.
set -euo pipefail
bin=$1
ordre=$2
declare -A llista
while read -r nom; do llista[$nom]=1; done <"$ordre"
total=0 trobades=0 primer=-1 darrer=0
while read -r adr mida tipus nom; do
  [[ $tipus == [tTwW] && -n ${llista[$nom]:-} ]] || continue
  a=$((16#$adr)) m=$((16#$mida))
  total=$((total + m)) trobades=$((trobades + 1))
  ((primer < 0 || a < primer)) && primer=$a
  ((a + m > darrer)) && darrer=$((a + m))
done < <(nm -S "$bin" | awk 'NF == 4')
span=$((darrer - primer))
echo "$trobades listed functions found, $total bytes, spread over $span bytes"
((trobades * 10 >= ${#llista[@]} * 8)) || { echo "most listed functions are missing: list out of date?"; exit 1; }
# Functions sharing an input section with a listed one come along; unordered, the span
# is the whole program (six times the total and more).
((span <= total * 2)) || { echo "not laid out together"; exit 1; }

#!/usr/bin/env bash
# Copies the demo installation to a scratch folder and starts the dialog on it.
#   KEVDEMO_LANG=SPA|GLG|OCI|CAT  language of the session (default CAT)
#   KEVDEMO_DIR=folder            where the scratch copy goes (default ./demo-run)
set -euo pipefail
bin=$(realpath "${1:-build/bin/kevprint}")
here=$(cd "$(dirname "$0")" && pwd)
dir=${KEVDEMO_DIR:-$PWD/demo-run}
rm -rf "$dir"; mkdir -p "$dir"
cp -a "$here/install/." "$dir/"
# The demo's output program (built beside kevprint) under every name the dialog starts.
sortida=$(dirname "$bin")/kevdemo_sortida
mkdir -p "$dir/KEV/PROG"
for p in KEVSCR KEVHTM KEVPDF KEVWIN KEVLPT TORNAR; do ln -sf "$sortida" "$dir/KEV/PROG/$p"; done
if [ -n "${KEVDEMO_LANG:-}" ]; then
  sed -i "s/^Idioma=.*/Idioma=${KEVDEMO_LANG}\r/" "$dir/TERM01/TMP/QuilTerm.ini"
fi
export KEVDRIVES="C=/;K=$dir;H=$HOME"
export KEVROOT='K:\KEV\' KEVEXE='K:\KEV\PROG\' KEVTMP='K:\TERM01\TMP\' TEMP="$dir/TMP"
export KEVDEMO_LOG="$dir/LOG" KEVDEMO_PAUSA=1
export USERPROFILE='K:\DOCS'
mkdir -p "$TEMP"
"$bin"
echo "kevprint ended. What the output programs received: $KEVDEMO_LOG"
ls "$KEVDEMO_LOG" 2>/dev/null || true

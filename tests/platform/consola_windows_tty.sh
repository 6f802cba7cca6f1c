#!/usr/bin/env bash
# consola_windows_tty.sh COMMAND...: runs a Windows test program (COMMAND is the emulator
# and the program) attached to a console. Wine gives a console only to a program started
# in a terminal, so it runs in a pseudo-terminal made by script(1), with its input open
# and empty; the program's own output goes to a file, shown afterwards.
set -uo pipefail
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cmd=$(printf '%q ' "$@")
exec 3< <(exec sleep 3600)
espera=$!
script -qec "stty cols 80 rows 25; $cmd >$dir/sortida 2>&1; echo \$? >$dir/rc" /dev/null <&3 >/dev/null
kill "$espera" 2>/dev/null
cat "$dir/sortida"
exit "$(cat "$dir/rc" 2>/dev/null || echo 1)"

#!/usr/bin/env bash
# Runs every fuzz target for a short time. A crash, leak or hang fails the run.
set -euo pipefail
bin=$(cd "$1" && pwd); seconds=${2:-10}
corpus=$(cd "$(dirname "$0")" && pwd)/corpus
shopt -s nullglob
n=0
for f in "$bin"/fuzz_*; do
  name=$(basename "$f")
  work=$(mktemp -d)
  seeds=()
  [ -d "$corpus/$name" ] && seeds=("$corpus/$name")
  echo "== $name (${seconds}s)"
  (cd "$work" && "$f" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 -print_final_stats=0 "$work" "${seeds[@]}" >"$work/log" 2>&1) || { tail -40 "$work/log"; exit 1; }
  rm -rf "$work"
  n=$((n+1))
done
echo "fuzz: $n passed, 0 failed"

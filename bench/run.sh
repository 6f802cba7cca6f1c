#!/usr/bin/env bash
# Runs every benchmark program, then the whole-program timing scripts.
set -euo pipefail
bin=$1
here=$(dirname "$0")
shopt -s nullglob
for b in "$bin"/bench_*; do echo "== $(basename "$b")"; "$b" --benchmark_min_time=0.2; done
for s in "$here"/*.sh; do [ "$(basename "$s")" = run.sh ] && continue; echo "== $(basename "$s")"; "$s" "$bin"; done

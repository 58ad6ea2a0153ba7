#!/usr/bin/env bash
# By hand, on the test build (make testing):
#   bash scripts/varrer-alocacoes.sh [build/test]
# Makes a real book (12 × 12, level 3, 6 puzzles: the real generator on three threads, the
# real PDF writer on a fourth) once for every allocation of each of its threads (the calling
# thread, the pages' thread, each helper), that allocation failing. `make test` makes only a
# sample of them; this makes every one, which takes an hour or more. Every book must be
# written (the same book, byte for byte) or, only when the calling thread ran short, end with
# the memory message and the older files as they were; nothing left beside them. Prints, for
# each thread, how many allocations it made and how many books ended each way.
set -euo pipefail
compilacao="$(realpath "${1:-build/test}")"
programa="$compilacao/tests/test_frontend"
[ -x "$programa" ] || { echo "falta $programa (make testing)" >&2; exit 2; }
export TAVRELO_ALOCACOES=todas
export LSAN_OPTIONS="suppressions=$(realpath "$(dirname "$0")/../tests/lsan.supp"):print_suppressions=0"
exec "$programa" --gtest_filter='FazerLivroTeste.SemMemoriaEmCadaFioDoLivro'

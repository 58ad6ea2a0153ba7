#!/usr/bin/env bash
# `make run`: writes the default book (8 × 8, Progressiva, 50 puzzles) with the
# command-line tool, until the window and the PDF exist.
set -euo pipefail
build=${1:-build/release}
saida="Tavrelo_8x8_P_50.json"
"$build/tavrelo-cli" -t 8 -n P -p 50 --sem-pdf --json "$saida"
echo "Livro escrito em JSON: $(pwd)/$saida"

#!/usr/bin/env bash
# `make run`: writes the default book (8 × 8, Progressiva, 50 puzzles) as JSON with the
# command-line tool, which prints the book's code and where the file is.
set -euo pipefail
build=${1:-build/release}
"$build/tavrelo-cli" -t 8 -n P -p 50 --sem-pdf --json "Tavrelo_8x8_P_50.json"

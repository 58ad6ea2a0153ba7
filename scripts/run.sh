#!/usr/bin/env bash
# `make run`: opens the window when there is a display; without one, writes the default
# book (8 × 8, Progressiva, 50 puzzles) as a PDF with the command-line tool, which prints
# the book's code and where the file is.
set -euo pipefail
build=${1:-build/release}

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$build/app/tavrelo" ]; then
  exec "$build/app/tavrelo"
fi

echo "run: sem ecrã gráfico; a gerar o livro predefinido em $(pwd) com tavrelo-cli." >&2
"$build/tavrelo-cli" -t 8 -n P -p 50

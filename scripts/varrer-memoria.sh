#!/usr/bin/env bash
# By hand, on an optimised build (AddressSanitizer cannot run under a limit of address space):
#   bash scripts/varrer-memoria.sh build/release [DE_KB ATE_KB PASSO_KB] [-- OPÇÕES DO LIVRO]
# Makes the same book under `ulimit -v` limits from DE_KB to ATE_KB, in a temporary folder
# over an older PDF and JSON, and counts the outcomes. Every run must end with status 0 (both
# files new) or 1 with the memory message (both files old), never anything else, and leave no
# hidden temporary file. Under the lowest limits (about 26 MB) the program never reaches its
# first line: the system's loader cannot map a library (status 127), or a library's own
# start-up runs out of memory and ends the process before main. A limit under which
# `tavrelo-cli --version` does not succeed is such a limit, and is counted apart.
set -euo pipefail
cli="$(realpath "${1:?falta a pasta da compilação (build/release)}")/tavrelo-cli"
shift
de=24000 ate=40000 passo=100
if [ $# -ge 3 ] && [ "$1" != "--" ]; then de=$1 ate=$2 passo=$3; shift 3; fi
[ "${1:-}" = "--" ] && shift
livro=("$@")
[ ${#livro[@]} -eq 0 ] && livro=(-t 16 -n 1 -p 100 -s 1)

pasta="$(mktemp -d)"
trap 'rm -rf "$pasta"' EXIT
cd "$pasta"
declare -A contagem
falhas=0
for kb in $(seq "$de" "$passo" "$ate"); do
  printf 'antigo' > l.pdf
  printf 'antigo' > l.json
  # The shell's own line about a process ended by a signal goes to the shell's standard error.
  if ! { (ulimit -v "$kb"; exec "$cli" --version) > /dev/null 2>&1; } 2> /dev/null; then
    contagem["(o programa não arranca)"]=$(( ${contagem["(o programa não arranca)"]:-0} + 1 ))
    continue
  fi
  set +e
  (ulimit -v "$kb"; exec "$cli" -q "${livro[@]}" -o l.pdf --json l.json) > saida 2> erros
  estado=$?
  set -e
  pdf=$(head -c 6 l.pdf); json=$(head -c 6 l.json)
  restos=$(find . -maxdepth 1 -name '.l.*' | wc -l)
  caso="estado $estado"
  if [ "$estado" = 0 ] && [ "$pdf" = "%PDF-1" ] && [ "$json" != antigo ] && [ "$restos" = 0 ]; then
    caso="estado 0 (ambos novos)"
  elif [ "$estado" = 1 ] && [ "$pdf" = antigo ] && [ "$json" = antigo ] && [ "$restos" = 0 ] &&
       grep -q 'não há memória suficiente' erros; then
    caso="estado 1 (sem memória, ambos antigos)"
  else
    falhas=$((falhas + 1))
    echo "ERRO a ${kb} KB: estado ${estado}, pdf «${pdf}», json «${json}», ${restos} temporários; $(head -c 200 erros)"
  fi
  contagem["$caso"]=$(( ${contagem["$caso"]:-0} + 1 ))
done
echo "tavrelo-cli ${livro[*]}, ulimit -v de ${de} a ${ate} KB, de ${passo} em ${passo}:"
for caso in "${!contagem[@]}"; do
  echo "  ${contagem[$caso]} × ${caso}"
done
[ "$falhas" = 0 ]

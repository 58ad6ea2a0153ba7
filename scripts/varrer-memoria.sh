#!/usr/bin/env bash
# By hand, on an optimised build (AddressSanitizer cannot run under a limit of address space):
#   bash scripts/varrer-memoria.sh build/release [DE_KB ATE_KB PASSO_KB] [-- OPÇÕES DO LIVRO]
# Makes the same book under `ulimit -v` limits from DE_KB to ATE_KB (by default 20 to 300 MB,
# every 2 MB), in a temporary folder over an older PDF and JSON, with four threads unless
# TAVRELO_TRABALHADORES says otherwise; by default the heaviest book, 16 × 16, level 5, 100
# puzzles. Every run must end with status 0 (both files new, the same book as without a
# limit) or 1 with the memory message (both files old), never anything else, and leave no
# hidden temporary file; and a book made under a limit must be made under every higher one.
# Under the lowest limits (about 26 MB) the program never reaches its first line: the
# system's loader cannot map a library (status 127), or a library's own start-up runs out of
# memory and ends the process before main. A limit under which `tavrelo-cli --version` does
# not succeed is such a limit, and is counted apart. Prints the limits of each outcome.
set -euo pipefail
cli="$(realpath "${1:?falta a pasta da compilação (build/release)}")/tavrelo-cli"
shift
de=20480 ate=307200 passo=2048
if [ $# -ge 3 ] && [ "$1" != "--" ]; then de=$1 ate=$2 passo=$3; shift 3; fi
[ "${1:-}" = "--" ] && shift
livro=("$@")
[ ${#livro[@]} -eq 0 ] && livro=(-t 16 -n 5 -p 100 -s 1)
export TAVRELO_TRABALHADORES="${TAVRELO_TRABALHADORES:-4}"
export SOURCE_DATE_EPOCH=1765432100

pasta="$(mktemp -d)"
trap 'rm -rf "$pasta"' EXIT
cd "$pasta"
"$cli" -q "${livro[@]}" -o ref.pdf --json ref.json > /dev/null
declare -A contagem limites
ordem=()
falhas=0
feito=""
for kb in $(seq "$de" "$passo" "$ate"); do
  printf 'antigo' > l.pdf
  printf 'antigo' > l.json
  # The shell's own line about a process ended by a signal goes to the shell's standard error.
  if ! { (ulimit -v "$kb"; exec "$cli" --version) > /dev/null 2>&1; } 2> /dev/null; then
    caso="o programa não arranca"
  else
    set +e
    { (ulimit -v "$kb"; exec "$cli" -q "${livro[@]}" -o l.pdf --json l.json) > saida 2> erros; } 2> /dev/null
    estado=$?
    set -e
    pdf=$(head -c 6 l.pdf); json=$(head -c 6 l.json)
    restos=$(find . -maxdepth 1 -name '.l.*' | wc -l)
    if [ "$estado" = 0 ] && cmp -s l.pdf ref.pdf && cmp -s l.json ref.json && [ "$restos" = 0 ]; then
      caso="estado 0 (o mesmo livro)"
      feito="${feito:-$kb}"
    elif [ "$estado" = 1 ] && [ "$pdf" = antigo ] && [ "$json" = antigo ] && [ "$restos" = 0 ] &&
         grep -q 'não há memória suficiente' erros; then
      caso="estado 1 (sem memória, ambos antigos)"
      if [ -n "$feito" ]; then
        falhas=$((falhas + 1))
        echo "ERRO a ${kb} KB: recusado, e feito a ${feito} KB"
      fi
    else
      caso="estado $estado"
      falhas=$((falhas + 1))
      echo "ERRO a ${kb} KB: estado ${estado}, pdf «${pdf}», json «${json}», ${restos} temporários; $(head -c 200 erros)"
    fi
  fi
  if [ -z "${contagem[$caso]:-}" ]; then ordem+=("$caso"); fi
  contagem["$caso"]=$(( ${contagem["$caso"]:-0} + 1 ))
  # Runs of consecutive limits with the same outcome, in MB.
  mb=$(awk "BEGIN { printf \"%g\", $kb / 1024 }")
  if [ "${ultimo:-}" = "$caso" ]; then
    limites["$caso"]="${limites[$caso]%-*}-$mb"
  else
    limites["$caso"]="${limites[$caso]:+${limites[$caso]}, }$mb-$mb"
  fi
  ultimo="$caso"
done
echo "tavrelo-cli ${livro[*]}, ${TAVRELO_TRABALHADORES} fios, ulimit -v de ${de} a ${ate} KB, de ${passo} em ${passo}:"
for caso in "${ordem[@]}"; do
  echo "  ${contagem[$caso]} × ${caso}: $(sed -E 's/([0-9.]+)-\1(,|$)/\1\2/g' <<< "${limites[$caso]}") MB"
done
[ "$falhas" = 0 ]

#!/usr/bin/env bash
# The bash completion of tavrelo-cli offers what the program accepts, and the manual page
# describes every option the program has.
#   test_completar.sh TAVRELO_CLI PACKAGING_DIR
set -uo pipefail
cli=$1
pasta=$2
# shellcheck disable=SC1091
source "$pasta/tavrelo-cli.bash-completion"

falhas=0
passaram=0
falhou() {
    echo "FALHOU: $*" >&2
    falhas=$((falhas + 1))
}

# The completion's answer, sorted, one line, for the words typed so far; the last word is
# the one being completed (bash splits "--opcao=valor" at "=", as it does here).
completar() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _tavrelo_cli tavrelo-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'
}

# Files for the name cases, in a folder of their own.
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
mkdir "$tmp/livros" "$tmp/com espaço"
: >"$tmp/a.pdf"
: >"$tmp/[ab].pdf" # a name that is also a pattern, and would match a.pdf
: >"$tmp/B.PDF"
: >"$tmp/dados.json"
: >"$tmp/notas.txt"
: >"$tmp/livros/c.pdf"
cd "$tmp" || exit 1

# words typed | expected answer
casos=(
    "tavrelo-cli -t |11 12 13 16 7 8"
    "tavrelo-cli --tamanho 1|11 12 13 16"
    "tavrelo-cli --tamanho =|11 12 13 16 7 8"
    "tavrelo-cli --tamanho = |11 12 13 16 7 8"
    "tavrelo-cli -n |1 2 3 4 5 P"
    "tavrelo-cli --nivel = P|P"
    "tavrelo-cli -o |B.PDF [ab].pdf a.pdf com espaço livros"
    "tavrelo-cli --saida = livros/|livros/c.pdf"
    "tavrelo-cli --saida li|livros"
    "tavrelo-cli --refazer |B.PDF [ab].pdf a.pdf com espaço livros"
    "tavrelo-cli --json |- B.PDF [ab].pdf a.pdf com espaço dados.json livros notas.txt"
    "tavrelo-cli --json d|dados.json"
    "tavrelo-cli --json -|-"
    "tavrelo-cli -p |"
    "tavrelo-cli -s |"
    "tavrelo-cli --titulo |"
    "tavrelo-cli --se|--sem-dicas --sem-pdf --semente"
    "tavrelo-cli -t 8 --s|--saida --sem-dicas --sem-pdf --semente --silencioso"
    "tavrelo-cli --re|--refazer"
    "tavrelo-cli |"
)
for caso in "${casos[@]}"; do
    palavras=${caso%%|*}
    esperado=${caso#*|}
    # The words are split at single spaces; a trailing space means an empty last word.
    IFS=' ' read -r -a lista <<<"$palavras"
    [[ $palavras == *' ' ]] && lista+=("")
    obtido=$(completar "${lista[@]}")
    if [[ $obtido != "$esperado" ]]; then
        falhou "«$palavras»: esperado «$esperado», obtido «$obtido»"
    else
        passaram=$((passaram + 1))
    fi
done

# Every option of --help is offered by the completion and described in the manual page.
ajuda=$("$cli" --help) || falhou "tavrelo-cli --help terminou com erro"
mapfile -t opcoes < <(grep -oE -- '(^|[ ,])--?[a-z][a-z-]*' <<<"$ajuda" | tr -d ' ,' | sort -u)
if ((${#opcoes[@]} < 10)); then
    falhou "a ajuda de tavrelo-cli não tem as opções esperadas: ${opcoes[*]}"
fi
oferecidas=" $(completar tavrelo-cli -) "
manual=$(sed 's/\\-/-/g' "$pasta/tavrelo-cli.1.in")
for opcao in "${opcoes[@]}"; do
    if [[ $oferecidas != *" $opcao "* ]]; then
        falhou "a completação não oferece $opcao"
    fi
    if ! grep -qE -- "(^|[^a-z-])$opcao([^a-z-]|$)" <<<"$manual"; then
        falhou "a página de manual não descreve $opcao"
    fi
done
passaram=$((passaram + 1))

echo "$passaram passed, $falhas failed"
((falhas == 0))

#!/usr/bin/env bash
# The Debian package as a user meets it: installed with apt, used from the PATH, removed
# without a trace. Run by .ci/run after `make package`; needs root (apt-get install), and
# without root says so and checks nothing.
#   check-package.sh [tavrelo_<version>_amd64.deb]   (default: the one `make package` left here)
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -ge 1 ]; then
  deb=$1
else
  debs=(tavrelo_*_amd64.deb)
  if [ ! -f "${debs[0]}" ]; then
    echo "check-package: não há tavrelo_*_amd64.deb nesta pasta; corra primeiro make package." >&2
    exit 1
  fi
  deb=${debs[${#debs[@]} - 1]}
fi
deb=$(realpath "$deb")
versao=$(dpkg-deb -f "$deb" Version)

if [ "$(id -u)" -ne 0 ]; then
  echo "check-package: sem root não se instala o pacote; a instalação de $(basename "$deb")" \
    "não foi verificada (o CI, que corre como root, verifica-a)."
  exit 0
fi

tmp=$(mktemp -d)
instalado=0
terminar() {
  # A failed check must not leave the package on the machine.
  if [ "$instalado" -eq 1 ]; then
    apt-get purge -y -q tavrelo >"$tmp/purge.log" 2>&1 || cat "$tmp/purge.log" >&2
  fi
  rm -rf "$tmp"
}
trap terminar EXIT

falhas=0
falhou() {
  echo "check-package: FALHOU: $*" >&2
  falhas=$((falhas + 1))
}
ok() {
  echo "check-package: ok: $*"
}

export DEBIAN_FRONTEND=noninteractive
# 1. Install as a user would. The package lists may be missing or old on a machine that
#    had every build package already; then they are fetched once and the install retried.
instalado=1
if ! apt-get install -y -q "$deb" >"$tmp/install.log" 2>&1; then
  apt-get update -q >"$tmp/update.log" 2>&1 || cat "$tmp/update.log" >&2
  if ! apt-get install -y -q "$deb" >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log" >&2
    echo "check-package: apt-get install $deb falhou." >&2
    exit 1
  fi
fi
[ "$(dpkg-query -W -f='${Status} ${Version}' tavrelo)" = "install ok installed $versao" ] ||
  falhou "dpkg não dá o tavrelo $versao como instalado"
dpkg -L tavrelo >"$tmp/ficheiros.txt"
ok "apt-get install $(basename "$deb")"

# 2. The command line, from the PATH, makes a book in a folder of its own.
[ "$(command -v tavrelo-cli)" = /usr/bin/tavrelo-cli ] ||
  falhou "tavrelo-cli no PATH é «$(command -v tavrelo-cli || true)», não /usr/bin/tavrelo-cli"
[ "$(tavrelo-cli --version)" = "tavrelo-cli $versao" ] ||
  falhou "tavrelo-cli --version diz «$(tavrelo-cli --version)», o pacote é $versao"
livros=$(mktemp -d "$tmp/livros.XXXXXX")
if (cd "$livros" && tavrelo-cli -t 8 -n 1 -p 2 -o "$livros/x.pdf") >"$tmp/cli.txt" 2>&1; then
  paginas=$(pdfinfo "$livros/x.pdf" 2>>"$tmp/cli.txt" | sed -n 's/^Pages: *//p')
  if [ "${paginas:-0}" -gt 0 ] && qpdf --check "$livros/x.pdf" >>"$tmp/cli.txt" 2>&1; then
    grep -q "Livro gerado: 2 puzzles" "$tmp/cli.txt" ||
      falhou "tavrelo-cli não disse que fez 2 puzzles: $(cat "$tmp/cli.txt")"
    ok "tavrelo-cli -t 8 -n 1 -p 2 gravou um PDF válido de $paginas páginas"
  else
    falhou "o PDF de tavrelo-cli não é válido: $(cat "$tmp/cli.txt")"
  fi
else
  falhou "tavrelo-cli -t 8 -n 1 -p 2 falhou: $(cat "$tmp/cli.txt")"
fi

# 3. The manual pages are found, and the completion registers itself.
for pagina in tavrelo-cli tavrelo; do
  onde=$(man -w "$pagina" 2>&1) || true
  if [ "$onde" = "/usr/share/man/man1/$pagina.1.gz" ]; then
    ok "man -w $pagina: $onde"
  else
    falhou "man -w $pagina deu «$onde»"
  fi
done
completar=$(bash -c 'source /usr/share/bash-completion/completions/tavrelo-cli &&
  complete -p tavrelo-cli' 2>&1) || true
if [ "$completar" = "complete -F _tavrelo_cli tavrelo-cli" ]; then
  ok "a completação regista-se: $completar"
else
  falhou "a completação de tavrelo-cli não se regista: $completar"
fi

# 4. The window: the menu entry runs a program on the PATH whose libraries are all there;
#    without a display it answers --version and refuses, in Portuguese, to open its window;
#    with the offscreen platform it starts and runs until it is stopped.
comando=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' /usr/share/applications/tavrelo.desktop)
[ "$(command -v "$comando")" = /usr/bin/tavrelo ] ||
  falhou "a entrada do menu corre «$comando», que não é /usr/bin/tavrelo"
for binario in /usr/bin/tavrelo /usr/bin/tavrelo-cli \
  /usr/lib/x86_64-linux-gnu/qt6/plugins/platforms/libqxcb.so; do
  if ldd "$binario" | grep -q 'not found'; then
    falhou "faltam bibliotecas a $binario: $(ldd "$binario" | grep 'not found')"
  fi
done
sem_ecra=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u XDG_SESSION_TYPE)
estado=0
"${sem_ecra[@]}" timeout 10 tavrelo --version >"$tmp/janela.txt" 2>&1 || estado=$?
if [ "$estado" -eq 0 ] && [ "$(cat "$tmp/janela.txt")" = "tavrelo $versao" ]; then
  ok "tavrelo --version sem ecrã: $(cat "$tmp/janela.txt")"
else
  falhou "tavrelo --version sem ecrã terminou com $estado e disse «$(cat "$tmp/janela.txt")»"
fi
estado=0
"${sem_ecra[@]}" timeout 10 tavrelo >"$tmp/janela.txt" 2>&1 || estado=$?
if [ "$estado" -eq 1 ] && grep -q "precisa de uma sessão gráfica" "$tmp/janela.txt" &&
  grep -q "tavrelo-cli" "$tmp/janela.txt"; then
  ok "tavrelo sem ecrã: $(head -n1 "$tmp/janela.txt")"
else
  falhou "tavrelo sem ecrã terminou com $estado e disse «$(cat "$tmp/janela.txt")»"
fi
estado=0
casa=$(mktemp -d "$tmp/casa.XXXXXX")
env -u DISPLAY -u WAYLAND_DISPLAY HOME="$casa" QT_QPA_PLATFORM=offscreen \
  timeout 5 tavrelo >"$tmp/janela.txt" 2>&1 || estado=$?
if [ "$estado" -eq 124 ]; then
  ok "tavrelo abriu a janela (plataforma offscreen) e correu 5 s até ser parado"
else
  falhou "tavrelo (plataforma offscreen) terminou com o estado $estado: $(cat "$tmp/janela.txt")"
fi

# 5. Remove it: none of its files is left, and a folder it had is left only when it is
#    shared (still holding something, or another package's).
if ! apt-get purge -y -q tavrelo >"$tmp/purge.log" 2>&1; then
  cat "$tmp/purge.log" >&2
  falhou "apt-get purge tavrelo falhou"
fi
instalado=0
if [ "$(dpkg-query -W -f='${Status}' tavrelo 2>"$tmp/q.txt")" = "install ok installed" ]; then
  falhou "o dpkg ainda dá o tavrelo como instalado"
fi
restos=0
while IFS= read -r caminho; do
  [ "$caminho" = /. ] && continue
  if [ -d "$caminho" ] && [ ! -L "$caminho" ]; then
    if [ -z "$(ls -A "$caminho")" ] && ! dpkg -S "$caminho" >"$tmp/dono.txt" 2>&1; then
      falhou "ficou a pasta vazia $caminho"
      restos=$((restos + 1))
    fi
  elif [ -e "$caminho" ] || [ -L "$caminho" ]; then
    falhou "ficou $caminho"
    restos=$((restos + 1))
  fi
done <"$tmp/ficheiros.txt"
if ! command -v tavrelo-cli >"$tmp/path.txt"; then
  [ "$restos" -ne 0 ] || ok "apt-get purge tavrelo não deixou nenhum dos $(wc -l <"$tmp/ficheiros.txt") caminhos do pacote"
else
  falhou "tavrelo-cli continua no PATH"
fi

if [ "$falhas" -ne 0 ]; then
  echo "check-package: $falhas verificação(ões) falharam." >&2
  exit 1
fi
echo "check-package: $(basename "$deb"): instalado, usado e removido sem deixar rasto."

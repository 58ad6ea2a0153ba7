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
casa=""
processos=()
terminar() {
  # A failed check must not leave the package on the machine, nor the user's session
  # (its X server, window manager and window) running.
  for pid in "${processos[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  if [ "$instalado" -eq 1 ]; then
    apt-get purge -y -q tavrelo >"$tmp/purge.log" 2>&1 || cat "$tmp/purge.log" >&2
  fi
  rm -rf "$tmp"
  [ -z "$casa" ] || rm -rf "$casa"
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

# 5. The window as a person uses it: an ordinary user (nobody) on a Portuguese desktop
#    (pt_PT.UTF-8, made by localedef into a folder of the user's and read through LOCPATH, so
#    the machine's locales are left alone), an X server with a window manager (openbox). The
#    user types the number of puzzles, clicks "Gerar Livro", types a name in the save dialog
#    and presses Enter; the book must be there, valid, made of what was typed, and the viewer
#    asked to open it. Every wait is for a condition, with a deadline.

# Waits until "$@" succeeds, polling, for at most $1 seconds.
esperar() {
  local prazo=$(($(date +%s) + $1))
  shift
  until "$@" >/dev/null 2>&1; do
    [ "$(date +%s)" -lt "$prazo" ] || return 1
    sleep 0.1
  done
}

# "$@" as the user, in the user's environment and session.
utilizador() {
  runuser -u nobody -- env -i HOME="$casa" PATH="$casa/bin:/usr/bin:/bin" LANG=pt_PT.UTF-8 \
    LOCPATH="$casa/locais" XDG_RUNTIME_DIR="$casa/sessao" DISPLAY="$ecra" "$@"
}

# Starts "$@" as the user, in the background; the process's own id (not runuser's, so that it
# can be stopped) goes into $1, and is stopped when the check ends.
arrancar() {
  local pid_em=$1
  shift
  utilizador bash -c 'echo $$ >"$0"; exec "$@"' "$pid_em" "$@" &
  esperar 10 test -s "$pid_em" && processos+=("$(cat "$pid_em")")
}

xdo() {
  utilizador xdotool "$@"
}
ativa() {
  [ "$(xdo getactivewindow 2>/dev/null)" = "$1" ]
}
acabou() {
  ! kill -0 "$1" 2>/dev/null
}
janela_chamada() {
  xdo search --onlyvisible --name "$1" | head -n1
}

# Prints what went wrong, or the number of pages of the book, into $tmp/janela.txt.
janela_do_utilizador() {
  mkdir -p "$casa/bin" "$casa/sessao" "$casa/locais"
  if ! localedef -i pt_PT -f UTF-8 "$casa/locais/pt_PT.UTF-8" >"$tmp/localedef.log" 2>&1 &&
    [ ! -d "$casa/locais/pt_PT.UTF-8" ]; then
    echo "localedef pt_PT.UTF-8 falhou: $(cat "$tmp/localedef.log")"
    return 1
  fi
  # The PDF viewer: a stand-in that notes what it is asked to open.
  printf '#!/bin/sh\nprintf "%%s\\n" "$1" >>"$HOME/abertos"\n' >"$casa/bin/xdg-open"
  chmod 755 "$casa/bin/xdg-open"
  chown -R nobody: "$casa"
  chmod 700 "$casa" "$casa/sessao"
  # The user's locale is there, with its decimal comma.
  if [ "$(utilizador locale decimal_point 2>&1)" != "," ]; then
    echo "o pt_PT.UTF-8 feito por localedef não é o do utilizador: $(utilizador locale 2>&1)"
    return 1
  fi
  # Where X servers put their sockets; the first X server of a machine makes it so.
  [ -d /tmp/.X11-unix ] || install -d -m 1777 /tmp/.X11-unix

  arrancar "$casa/xvfb.pid" sh -c 'exec Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    3>"$HOME/ecra"' >"$tmp/xvfb.log" 2>&1
  if ! esperar 20 test -s "$casa/ecra"; then
    echo "o Xvfb não arrancou: $(cat "$tmp/xvfb.log")"
    return 1
  fi
  ecra=":$(cat "$casa/ecra")"
  arrancar "$casa/openbox.pid" openbox --sm-disable >"$tmp/openbox.log" 2>&1
  # The window manager is up once it says which desktop is shown.
  if ! esperar 20 xdo get_desktop; then
    echo "o openbox não arrancou: $(cat "$tmp/openbox.log")"
    return 1
  fi

  # A keyboard with é on a key of its own, read by the window when it starts: a letter that
  # is on no key xdotool types by giving a spare key that letter for a moment, and a loaded
  # machine lets the window read the keyboard again only once it was taken back, losing the
  # letter ("Livro de frias").
  if ! utilizador setxkbmap fr >"$tmp/setxkbmap.log" 2>&1; then
    echo "o teclado francês não foi posto: $(cat "$tmp/setxkbmap.log")"
    return 1
  fi
  (cd "$casa" && utilizador bash -c 'echo $$ >"$0"; exec tavrelo' "$casa/tavrelo.pid") \
    >"$tmp/tavrelo.log" 2>&1 &
  local fim_da_janela=$!
  esperar 10 test -s "$casa/tavrelo.pid" && processos+=("$(cat "$casa/tavrelo.pid")")
  local janela dialogo
  if ! esperar 30 janela_chamada '^TAVRELO \| Brovanel$'; then
    echo "a janela do tavrelo não apareceu: $(cat "$tmp/tavrelo.log")"
    return 1
  fi
  janela=$(janela_chamada '^TAVRELO \| Brovanel$')
  xdo windowactivate "$janela"
  if ! esperar 10 ativa "$janela"; then
    echo "a janela do tavrelo não ficou ativa"
    return 1
  fi
  # Five puzzles, the least the Progressiva takes: Alt+N goes to the number.
  xdo key --clearmodifiers alt+n ctrl+a
  xdo type --delay 30 5
  # "Gerar Livro" clicked at its place in the window (120 × 40 at 520, 260).
  xdo mousemove --window "$janela" 580 280 click 1
  if ! esperar 30 janela_chamada '^Guardar o livro$'; then
    echo "o diálogo «Guardar o livro» não abriu: $(cat "$tmp/tavrelo.log")"
    return 1
  fi
  dialogo=$(janela_chamada '^Guardar o livro$')
  esperar 10 ativa "$dialogo" || xdo windowactivate "$dialogo"
  # The name field has the focus, with the proposed name in it.
  xdo key --clearmodifiers ctrl+a
  xdo type --delay 30 'Livro de férias'
  xdo key Return
  local livro="$casa/Livro de férias.pdf"
  if ! esperar 120 grep -qxF "$livro" "$casa/abertos"; then
    echo "o livro não foi gravado em $livro, ou o leitor não foi chamado; na pasta:" \
      "$(ls -A "$casa" | tr '\n' ' '); janelas: $(xdo search --onlyvisible --name . \
        getwindowname %@ | tr '\n' ';') $(cat "$tmp/tavrelo.log")"
    return 1
  fi
  pdfinfo "$livro" >"$tmp/livro.txt" 2>&1 || true
  local paginas
  paginas=$(sed -n 's/^Pages: *//p' "$tmp/livro.txt")
  if [ "${paginas:-0}" -le 0 ] || ! qpdf --check "$livro" >>"$tmp/livro.txt" 2>&1; then
    echo "o PDF da janela não é válido: $(cat "$tmp/livro.txt")"
    return 1
  fi
  if ! grep -q '^Keywords: *TAVRELO-RECEITA/1; tamanho=8; nivel=P; puzzles=5;' "$tmp/livro.txt"; then
    echo "o livro não é o que se escolheu: $(grep '^Keywords' "$tmp/livro.txt")"
    return 1
  fi
  if [ "$(stat -c %U "$livro")" != nobody ] || ls -A "$casa" | grep -q '^\.Livro'; then
    echo "o livro não é do utilizador, ou ficaram ficheiros temporários: $(ls -lA "$casa")"
    return 1
  fi
  # Ctrl+Q closes the window, and the program ends well.
  xdo windowactivate "$janela"
  esperar 10 ativa "$janela" && xdo key --clearmodifiers ctrl+q
  if ! esperar 20 acabou "$(cat "$casa/tavrelo.pid")"; then
    echo "a janela não fechou com Ctrl+Q"
    return 1
  fi
  local estado=0
  wait "$fim_da_janela" || estado=$?
  if [ "$estado" -ne 0 ]; then
    echo "tavrelo terminou com o estado $estado: $(cat "$tmp/tavrelo.log")"
    return 1
  fi
  echo "$paginas"
}

casa=$(mktemp -d /tmp/tavrelo-utilizador.XXXXXX)
ecra=""
if janela_do_utilizador >"$tmp/janela.txt"; then
  ok "tavrelo como nobody, em pt_PT.UTF-8, sob Xvfb e openbox: 5 puzzles, Gerar Livro," \
    "«Livro de férias»: um PDF válido de $(cat "$tmp/janela.txt") páginas"
else
  falhou "a janela como um utilizador a usa: $(cat "$tmp/janela.txt")"
fi
for pid in "${processos[@]}"; do
  kill "$pid" 2>/dev/null || true
done
processos=()
wait
rm -rf "$casa"
casa=""

# 6. Remove it: none of its files is left, and a folder it had is left only when it is
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

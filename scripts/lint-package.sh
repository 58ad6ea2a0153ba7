#!/usr/bin/env bash
# `make package`, last step: the checks a Debian maintainer runs on a package before
# shipping it. Each must pass, or the script fails.
#   lint-package.sh tavrelo_<version>_amd64.deb
# 1. the files a user expects are in it, and its control fields say what it needs;
# 2. desktop-file-validate on the menu entry;
# 3. appstreamcli on the AppStream data, and on the whole tree (the entry it names is there);
# 4. both manual pages format without a single warning from man and groff;
# 5. lintian: no error and no warning (docs/packaging.md says what the informational notes are).
set -euo pipefail
deb=$1

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
raiz=$tmp/raiz
dpkg-deb -x "$deb" "$raiz"

falhas=0
falhou() {
  echo "lint-package: $*" >&2
  falhas=$((falhas + 1))
}

# 1. Contents and control fields.
id=io.github.brovanel.tavrelo
esperados=(
  usr/bin/tavrelo usr/bin/tavrelo-cli usr/libexec/tavrelo/tavrelo-leitor-pdf
  usr/share/man/man1/tavrelo.1.gz usr/share/man/man1/tavrelo-cli.1.gz
  usr/share/applications/tavrelo.desktop
  "usr/share/metainfo/$id.metainfo.xml"
  usr/share/bash-completion/completions/tavrelo-cli
  usr/share/icons/hicolor/scalable/apps/tavrelo.svg
  usr/share/doc/tavrelo/copyright usr/share/doc/tavrelo/changelog.gz
)
for lado in 16 24 32 48 64 128 256; do
  esperados+=("usr/share/icons/hicolor/${lado}x${lado}/apps/tavrelo.png")
done
for f in "${esperados[@]}"; do
  [ -f "$raiz/$f" ] || falhou "falta /$f no pacote"
done
for lado in 16 24 32 48 64 128 256; do
  png=$raiz/usr/share/icons/hicolor/${lado}x${lado}/apps/tavrelo.png
  [ -f "$png" ] || continue
  # A PNG's width and height are the big-endian words at bytes 16 and 20.
  medidas=$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')
  read -r w1 w2 w3 w4 h1 h2 h3 h4 <<<"$medidas"
  largura=$(((w1 << 24) | (w2 << 16) | (w3 << 8) | w4))
  altura=$(((h1 << 24) | (h2 << 16) | (h3 << 8) | h4))
  if [ "$largura" -ne "$lado" ] || [ "$altura" -ne "$lado" ]; then
    falhou "o ícone ${lado}x${lado} mede ${largura}x${altura}"
  fi
done
depende=$(dpkg-deb -f "$deb" Depends)
for p in libc6 libcairo2 libutf8proc2 libqpdf29 libqt6gui6 libqt6widgets6 qt6-translations-l10n; do
  [[ ", $depende," == *", $p "* || ", $depende," == *", $p,"* ]] ||
    falhou "Depends não inclui $p: $depende"
done

# 2. The menu entry.
desktop-file-validate "$raiz/usr/share/applications/tavrelo.desktop" ||
  falhou "desktop-file-validate recusou tavrelo.desktop"

# 3. The AppStream data, alone and with the tree around it.
appstreamcli validate --no-net --pedantic "$raiz/usr/share/metainfo/$id.metainfo.xml" ||
  falhou "appstreamcli validate recusou $id.metainfo.xml"
appstreamcli validate-tree --no-net "$raiz" || falhou "appstreamcli validate-tree falhou"

# 4. The manual pages, as lintian formats them, and their NAME line for whatis.
for pagina in "$raiz"/usr/share/man/man1/*.1.gz; do
  avisos=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$pagina" 2>&1 >"$tmp/pagina.txt") ||
    falhou "man não formatou $(basename "$pagina")"
  [ -z "$avisos" ] || falhou "avisos ao formatar $(basename "$pagina"):"$'\n'"$avisos"
  lexgrog "$pagina" >"$tmp/whatis.txt" || falhou "a secção NOME de $(basename "$pagina") não serve ao whatis"
done

# 5. lintian. As root it must be told that this is meant.
lintian_opcoes=(--display-info --fail-on "error,warning")
[ "$(id -u)" -ne 0 ] || lintian_opcoes+=(--allow-root)
lintian "${lintian_opcoes[@]}" "$deb" || falhou "lintian encontrou erros ou avisos"

if [ "$falhas" -ne 0 ]; then
  echo "lint-package: $deb: $falhas verificação(ões) falharam." >&2
  exit 1
fi
echo "lint-package: $(basename "$deb"): conteúdo, desktop-file-validate, appstreamcli, man e lintian sem erros nem avisos."

// What the files layer says: why a file could not be written, in Portuguese, and file names
// shown so that they cannot act on the terminal that shows them.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace tavrelo {

// Reasons of the writer's own, beside the system's errno values (which are all positive).
inline constexpr int ERRO_FICHEIRO_DE_OUTRO_PROGRAMA = -1; // /proc/<pid>/fd/N names a file
inline constexpr int ERRO_TEMPORARIO_TROCADO = -2;         // not the file written any more
inline constexpr int ERRO_DESTINO_MUDOU = -3;      // the target became something that is no file
inline constexpr int ERRO_PASTA_APAGADA = -4;      // the target's folder was removed
inline constexpr int ERRO_TEMPORARIO_APAGADO = -5; // the file written was removed

// The reason for a failed file operation, in Portuguese: from its errno, or one of the
// writer's own reasons above. An errno without a sentence of its own is named by its number.
std::string MotivoDoErro(int AErro);

// ANome as it may be shown on a terminal or in a window: control characters, and bytes that
// are not UTF-8, become escapes ("\n", "\t", "\033", "\377") and the backslash is doubled, so
// that a name can neither move the cursor, change colours or clear the screen, nor pass for
// another name. Any other text is left as it is.
std::string NomeParaMostrar(std::string_view ANome);

// Whether ATexto holds a character that acts on a terminal instead of showing (C0, DEL and C1
// controls) or a byte that is not UTF-8: what NomeParaMostrar escapes, the backslash aside.
bool TemControlos(std::string_view ATexto);

// "Não foi possível gravar NOME: MOTIVO." ("escrever na saída padrão" for "-").
std::string MensagemDeFalha(const std::string& ACaminho, const std::string& AMotivo);

// Writes the texts in turn to ADescritor, allocating nothing while the writing goes well. On
// standard output, a failure is said on standard error and false returned, so that output lost
// (a full disk, a closed reader, a standard output closed when the program started, which
// /dev/null stands in for) never passes for success; standard error has nowhere to say it. What
// both programs print (--help, --version, where the book went) goes through here.
bool MostrarTextos(int ADescritor, std::initializer_list<std::string_view> ATextos);

} // namespace tavrelo

// Writing a file so that it appears complete or not at all: the text goes to a
// temporary file in the target's folder, which replaces the target only when
// everything has been written. Until then an older file of that name is untouched.
#pragma once

#include <string>
#include <string_view>

namespace tavrelo {

class TFicheiroAtomico {
  public:
    // Creates the temporary file at once, so a target that cannot be written is
    // reported before any long work. Raises EVelt with a Portuguese reason.
    explicit TFicheiroAtomico(std::string ACaminho);
    // Without Confirmar, the temporary file is removed and the target left as it was.
    ~TFicheiroAtomico();
    TFicheiroAtomico(const TFicheiroAtomico&) = delete;
    TFicheiroAtomico& operator=(const TFicheiroAtomico&) = delete;

    void Escrever(std::string_view ATexto);
    // Flushes the text to disk and puts the file in the target's place.
    void Confirmar();
    void Descartar();

    const std::string& Caminho() const { return FCaminho; }
    // Null-terminated, stable while the object lives; empty once confirmed or discarded.
    const char* CaminhoTemporario() const { return FTemporario.c_str(); }

  private:
    std::string FCaminho;
    std::string FTemporario;
    int FDescritor = -1;
    unsigned FModo = 0;
};

// Removes the temporary file of every TFicheiroAtomico still open, for a program that is
// about to end at once (on a signal). Safe in a signal handler: it reads a fixed table of
// names and calls unlink.
void ApagarTemporariosPendentes() noexcept;

// The reason for a failed file operation, in Portuguese, from its errno.
std::string MotivoDoErro(int AErro);

} // namespace tavrelo

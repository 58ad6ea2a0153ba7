// Writing the files of a book so that each appears complete or not at all.
//
// A regular file, or a name that does not exist yet, is written to a hidden temporary file in
// the target's folder, which takes the target's place only when everything has been written:
// until then an older file of that name is untouched. A symbolic link is followed to its final
// target, which is the file replaced; the link stays. Anything else cannot be replaced and is
// written straight through, as a stream: a device, a FIFO, a socket, a descriptor named
// through /proc or /dev/fd (/dev/stdout), and "-", the standard output.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

namespace tavrelo {

class TFicheiroAtomico;

// The steps of putting files in place, named for a test that makes one of them fail.
enum class TPassoDaConfirmacao : uint8_t {
    pcFechar,        // a file's bytes sent to the disk and its descriptor closed
    pcGuardarAntigo, // an older file kept under a hidden name until every file is in place
    pcSubstituir,    // the new file renamed over its target
    pcRepor,         // an older file put back after a later step failed
};

// Asked before each step with the index of its file: 0 lets the step run, anything else is
// the errno the step then fails with, as if the system had refused it.
using TFalhaDoPasso = std::function<int(TPassoDaConfirmacao APasso, size_t AFicheiro)>;

class TFicheiroAtomico {
  public:
    // Resolves the target and opens it at once (the temporary file, or the stream), so a
    // target that cannot be written is reported before any long work. Opening a FIFO waits
    // for its reader. Raises EVelt with a Portuguese reason.
    explicit TFicheiroAtomico(std::string ACaminho);
    // Without Confirmar, the temporary file is removed and the target left as it was.
    ~TFicheiroAtomico();
    TFicheiroAtomico(const TFicheiroAtomico&) = delete;
    TFicheiroAtomico& operator=(const TFicheiroAtomico&) = delete;

    void Escrever(std::string_view ATexto);
    // Flushes the text to disk and puts the file in the target's place (or closes the stream).
    void Confirmar();
    void Descartar();

    const std::string& Caminho() const { return FCaminho; }
    // Written straight through: what Escrever sends is already at the target.
    bool Fluxo() const { return FFluxo; }
    // Bytes written so far.
    uint64_t Escritos() const { return FEscritos; }
    // How many other names (hard links) the replaced file had: they keep the older content,
    // since only a file written in place could change under every name at once, and a file
    // written in place is not replaced atomically.
    uint64_t OutrosNomes() const { return FOutrosNomes; }

  private:
    friend bool ConfirmarJuntos(std::span<TFicheiroAtomico* const>, const std::function<bool()>&,
                                const TFalhaDoPasso&);

    void Fechar(int AFalha);
    void Esquecer();

    std::string FCaminho;    // as given
    std::string FFinal;      // the file replaced: FCaminho with its links followed
    std::string FTemporario; // the hidden file being written; empty once gone
    int FDescritor = -1;
    bool FFluxo = false;
    unsigned FModo = 0;
    uint32_t FDono = 0;
    uint32_t FGrupo = 0;
    bool FMudarDono = false;
    uint64_t FEscritos = 0;
    uint64_t FOutrosNomes = 0;
};

// Puts every file of AFicheiros in place together: either each target is updated, or none is.
//
// First every file is completed (its bytes on disk, every stream closed); a failure there
// changes no target. Then, with every signal held back so that no handler can end the program
// half-way, APodeConfirmar is asked: false discards every file and returns false, changing
// nothing. Otherwise each regular file is renamed over its target in turn; before that, an
// older file that a later rename could still make necessary to restore is kept under a hidden
// name in its folder (a hard link, or the file itself moved aside where the file system has no
// hard links). If a rename fails, the targets already replaced get their older files back, the
// rest are left alone, and EVelt names the failure (and any older file that could not be put
// back, with the hidden name where it is). On success the hidden names are removed and true
// is returned. A stream cannot be taken back: what was written to it stays written.
//
// The guarantee holds against failures and signals; a power cut or SIGKILL in the middle of the
// renames may leave the older file under its hidden name (".livro.pdf.XXXXXX") beside the new.
// Every file is discarded when this returns false or raises. AFalha is for tests.
bool ConfirmarJuntos(std::span<TFicheiroAtomico* const> AFicheiros,
                     const std::function<bool()>& APodeConfirmar = {},
                     const TFalhaDoPasso& AFalha = {});

// Whether A and B are one file under two names: the same device and inode, or, for names that
// do not exist yet, the same final path once symbolic links are followed. "-" is the standard
// output. A name that cannot be resolved is not the same as any other.
bool MesmoFicheiro(const std::string& A, const std::string& B);

// Removes the temporary file of every TFicheiroAtomico still open, for a program that is
// about to end at once (on a signal). Safe in a signal handler: it reads a fixed table of
// names and calls unlink.
void ApagarTemporariosPendentes() noexcept;

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so that no file the
// program opens later takes the place of the standard input, output or error; a target that
// names one of them ("-", /dev/stdout) is then refused as closed. Call it first thing in main.
// False when /dev/null could not be opened.
bool ProtegerDescritoresPadrao() noexcept;

// The reason for a failed file operation, in Portuguese, from its errno.
std::string MotivoDoErro(int AErro);

} // namespace tavrelo

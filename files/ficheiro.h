// Writing the files of a book so that each appears complete or not at all.
//
// A regular file, or a name that does not exist yet, is written to a hidden temporary file in
// the target's folder, which takes the target's place only when everything has been written:
// until then an older file of that name is untouched. A symbolic link is followed to its final
// target, which is the file replaced; the link stays. Anything else cannot be replaced and is
// written straight through, as a stream: a device, a FIFO, a socket, a descriptor named
// through /proc or /dev/fd (/dev/stdout), and "-", the standard output.
#pragma once

#include "files/descritor.h"
#include "files/mensagens.h"

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
    // target that cannot be written is reported before any long work. The target's folder is
    // held from here on: the file is put in place there even if the folder is renamed
    // meanwhile. Opening a FIFO waits for its reader. Raises EVelt with a Portuguese reason.
    explicit TFicheiroAtomico(std::string ACaminho);
    // Without Confirmar, the temporary file is removed and the target left as it was.
    ~TFicheiroAtomico();
    TFicheiroAtomico(const TFicheiroAtomico&) = delete;
    TFicheiroAtomico& operator=(const TFicheiroAtomico&) = delete;

    void Escrever(std::string_view ATexto);
    // Empties the file, for a writer that begins again: true for a file written to its hidden
    // temporary file, or a stream that has received nothing yet; false, changing nothing,
    // for a stream already written to, or a file that cannot be emptied.
    bool Recomecar();
    // Flushes the text to disk and puts the file in the target's place (or closes the stream).
    void Confirmar();
    // The temporary file removed, the target left as it was. Where the folder no longer lets it
    // be removed (made read-only meanwhile), it stays, and AvisoDoTemporario names it.
    void Descartar();
    // Once discarded, the sentence (with a blank before it) that names the temporary file left
    // behind and why, to add to the message of the failure; said once, then empty. Empty when
    // none was left.
    std::string AvisoDoTemporario();

    const std::string& Caminho() const { return FCaminho; }
    // Where the file is now, once put in place, to be shown: the path as given, unless its
    // folder was renamed or moved meanwhile, in which case its path now, as the system tells
    // it (the book went where the folder went).
    std::string Onde() const;
    // Written straight through: what Escrever sends is already at the target.
    bool Fluxo() const { return FFluxo; }
    // Bytes written so far.
    uint64_t Escritos() const { return FEscritos; }
    // How many other names (hard links) the replaced file had: they keep the older content,
    // since only a file written in place could change under every name at once, and a file
    // written in place is not replaced atomically.
    uint64_t OutrosNomes() const { return FOutrosNomes; }

  private:
    friend class TConfirmacao;

    void CriarTemporario();
    bool TemporarioEhOMeu() const noexcept;
    void Esquecer() noexcept;

    // The steps of putting the file in place, for TConfirmacao. Each but Completar returns 0
    // or the reason it failed (for MotivoDoErro) and allocates nothing; AFalha, when nonzero,
    // stands for what the system answers.
    void Completar(int AFalha);
    // The hidden file is still the one written, and the target still a regular file
    // (AExiste) or nothing.
    int Verificar(bool& AExiste) const noexcept;
    // The older file kept under the hidden name AAntigo (its last six characters drawn
    // here): a second hard link, or the file itself moved there (AMovido).
    int GuardarAntigo(std::string& AAntigo, bool& AMovido, int AFalha) const noexcept;
    int Substituir(int AFalha) noexcept;
    // The target as it was before Substituir: its older file back from AAntigo (AGuardado),
    // or no file at all.
    int Repor(const std::string& AAntigo, bool AGuardado) const noexcept;
    // The older file leaves the hidden name AAntigo: back to its place (AVoltar: it was moved
    // and the target was not replaced), or removed. 0 or the reason it failed.
    int SoltarAntigo(const std::string& AAntigo, bool AVoltar) const noexcept;
    // The path, to be shown, of the hidden name AAntigo in the target's folder.
    std::string OndeFicou(const std::string& AAntigo) const;

    std::string FCaminho;                  // as given
    std::string FFinal;                    // the file replaced: FCaminho with its links followed
    TDescritor FPasta;                     // the final file's folder, held
    std::string FNome;                     // the final file's name in FPasta
    std::string FTemporario;               // the hidden file's name in FPasta; empty once gone
    std::string FDeixado;                  // a hidden file that could not be removed, and why:
    int FErroDoDeixado = 0;                //   for AvisoDoTemporario
    int FLugar = -1;                       // its place in the table of temporary files
    uint64_t FDispositivo = 0, FInode = 0; // the hidden file's identity
    TDescritor FDescritor;
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
// back, with the hidden name where it is, and any target that keeps the new file because it
// could not be taken back). On success the hidden names are removed and true is returned. A
// failure also names a temporary file the folder no longer let be removed. A stream cannot be taken
// back: what was written to it stays written.
//
// Before a file is renamed, its hidden name must still be the file written and its target
// still a regular file or nothing: a folder put there meanwhile, or a link put in the hidden
// file's place, is refused, and nothing is renamed over it. Once the first target is replaced
// nothing is allocated, so that want of memory cannot stop a roll-back half-way.
//
// The guarantee holds against failures and signals. SIGKILL or a power cut cannot be heard:
// while the book is made they leave its hidden temporary files (".livro.pdf.XXXXXX") beside
// the targets, and in the middle of the renames an older file under such a name; the targets
// themselves are whole, old or new. Every file is discarded when this returns false or
// raises. AFalha is for tests.
bool ConfirmarJuntos(std::span<TFicheiroAtomico* const> AFicheiros,
                     const std::function<bool()>& APodeConfirmar = {},
                     const TFalhaDoPasso& AFalha = {});

// Whether A and B are one file under two names: the same device and inode, or, for names that
// do not exist yet, the same name in the same folder (device and inode: a folder mounted
// twice is one folder) once symbolic links are followed. "-" is the standard output. A name
// that cannot be written is not the same as any other.
bool MesmoFicheiro(const std::string& A, const std::string& B);

// Removes the temporary file of every TFicheiroAtomico still open, for a program that is
// about to end at once (on a signal). Safe in a signal handler: it reads a fixed table of
// folders and names and calls unlinkat.
void ApagarTemporariosPendentes() noexcept;

// Whether the standard descriptor ADescritor (0, 1 or 2) was closed when the program started:
// what goes there then reaches nobody, and a program must say so instead of exiting 0.
bool FechadoNoInicio(int ADescritor) noexcept;

// Opens /dev/null on each of the descriptors 0, 1 and 2 that is closed, so that no file the
// program opens later takes the place of the standard input, output or error; a target that
// names one of them ("-", /dev/stdout) is then refused as closed. Call it first thing in main.
// False when /dev/null could not be opened.
bool ProtegerDescritoresPadrao() noexcept;

} // namespace tavrelo

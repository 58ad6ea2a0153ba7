// What the programs read back from a PDF: its document information's Keywords. Neither
// program reads a PDF itself: the PDF reader (tavrelo-leitor-pdf, leitor/) is started for it,
// within limits on its memory and time that no book's PDF comes near, and given the PDF
// already open; it alone links qpdf.
#pragma once

#include "leitor/resposta.h"

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tavrelo {

// The bounds of a reading. A book's PDF is a few megabytes, and the reader reads the
// largest under 16 MB of address space in a few milliseconds.
inline constexpr uint64_t MAXIMO_DO_PDF = 64ull << 20;     // its size
inline constexpr uint64_t MEMORIA_DO_LEITOR = 64ull << 20; // the reader's address space
inline constexpr int32_t PROCESSADOR_DO_LEITOR = 1;        // its processor time, seconds
inline constexpr int32_t SEGUNDOS_DO_LEITOR = 10;          // its time on the clock

// The answer of the reader, as its output reads: nullopt when it is not one the reader gives.
struct TRespostaLida {
    TRespostaDoLeitor Tipo = TRespostaDoLeitor::rlIlegivel;
    std::string Palavras; // for rlPalavras
};
std::optional<TRespostaLida> LerRespostaDoLeitor(std::string_view ASaida);

// How a reading ended when the reader gave no answer.
enum class TFalhaDoLeitor : uint8_t {
    flNenhuma,        // it answered
    flSemLeitor,      // the program is not where it is looked for
    flNaoArrancou,    // it could not be started (Erro says why, when the system said)
    flForaDosLimites, // it ran past its memory or time, or failed as a program short of them does
    flSemResposta,    // it ended without an answer this program understands
    flCancelada,      // stopped at the caller's request
};

struct TLeituraDoPdf {
    TFalhaDoLeitor Falha = TFalhaDoLeitor::flNenhuma;
    TRespostaLida Resposta; // when it answered
    int Erro = 0;           // the errno of flNaoArrancou, or 0
};

// The reader run on the open PDF ADescritor (a regular file, read from its start). AParar,
// when given, is looked at while the reader works: set, the reader is stopped at once.
// Raises std::bad_alloc when this process is short of memory, and also when the reader ran
// short under a limit on memory lower than its own, which this process was started with:
// the machine is short, not the PDF too big.
TLeituraDoPdf LerPdf(int ADescritor, const std::atomic<bool>* AParar = nullptr);

// Where the reader is looked for: beside the running program, where it is installed
// (libexec/tavrelo under the programs' prefix) or built; the first that exists, or the first
// place when none does. A test names the reader it built (its programs are elsewhere).
std::string CaminhoDoLeitor();
void DefinirLeitor(std::string APrograma);

} // namespace tavrelo

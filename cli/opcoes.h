// The options of tavrelo-cli: parsed from the command line into plain values,
// with the help text and the usage errors in Portuguese.
#pragma once

#include "core/tipos.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavrelo {

struct TOpcoesCli {
    int32_t Tamanho = 8;
    int32_t Nivel = 0; // 0 = Progressiva
    int32_t NumPuzzles = 50;
    std::string Titulo; // without leading and trailing blanks
    bool SemDicas = false;
    std::optional<uint32_t> Semente; // the book code given with -s
    std::string Saida;               // the PDF; empty = the proposed name
    std::string Json;                // empty = no JSON; "-" = standard output
    bool SemPdf = false;
    bool Silencioso = false;
    // The PDF whose recipe gives the book's choices and code (--refazer); empty for none.
    std::string Refazer;

    bool operator==(const TOpcoesCli&) const = default;
};

enum class TAccaoCli {
    acGerar,  // make the book with Opcoes
    acAjuda,  // print Texto (the help) on standard output and stop
    acVersao, // print Texto (the version) on standard output and stop
    acErro,   // print Texto (the reason) on standard error and stop with status 2
};

struct TLeituraOpcoes {
    TAccaoCli Accao = TAccaoCli::acErro;
    TOpcoesCli Opcoes;
    // For acGerar, a warning to print on standard error before the book is made (a recipe
    // written by another version), or empty.
    std::string Texto;
};

// AArgs are the arguments after the program's name. With --refazer the PDF's recipe is read
// here and gives the book's choices and code; a PDF without one is a usage error.
TLeituraOpcoes LerOpcoes(const std::vector<std::string>& AArgs);
TLeituraOpcoes LerOpcoes(int argc, const char* const* argv);

// The book configuration the options ask for; ASementeNova is used when no code
// was given.
TConfigLivro ConfiguracaoDasOpcoes(const TOpcoesCli& AOpcoes, uint32_t ASementeNova);

// The PDF to write: the name given with -o, or the proposed name in the current folder.
std::string CaminhoDoPdf(const TOpcoesCli& AOpcoes);

// Strict conversion of a number option; nullopt when the text is not one. The book code
// of -s is read by LerCodigoDoLivro (frontend/textos.h), as the window reads it.
std::optional<int32_t> LerInteiro(const std::string& ATexto);

// The line that follows every usage error.
std::string SugestaoDeAjuda();

} // namespace tavrelo

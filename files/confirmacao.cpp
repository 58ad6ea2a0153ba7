// ConfirmarJuntos, in its steps: complete every file, hear the last word, then for each
// regular file keep its older file aside and rename the new one over it, rolling back on a
// failure.
#include "files/ficheiro.h"

#include "core/tipos.h"
#include "files/sinais.h"
#include "files/temporarios.h"

#include <cstdint>
#include <vector>

namespace tavrelo {

// Putting the files in place, once they are complete. Everything it needs is allocated when
// it is made, so that nothing is once the first target has been replaced.
class TConfirmacao {
  public:
    TConfirmacao(std::span<TFicheiroAtomico* const> AFicheiros,
                 const TFalhaDoPasso& AFalha) noexcept;

    // Every file complete: its bytes on disk, every stream closed. Raises the first failure.
    void Completar();
    // Replaces the targets in turn; true when every one was, else false with every replaced
    // target given back its older file (or none, where it had none).
    bool Substituir() noexcept;
    // After Substituir: the hidden names of the older files removed.
    void LargarAntigos() noexcept;
    // After a failed Substituir: EVelt naming the failure, then every target that could not
    // be given back what it held, with what it holds now and where its older file stays; then
    // ADepois.
    [[noreturn]] void LancarFalha(const std::string& ADepois) const;

  private:
    // What a target holds once a failure was rolled back.
    enum class TDepois : uint8_t {
        dpComoEstava,   // what it held before (or nothing, if it was a new name)
        dpNovoEAntigo,  // the new file; its older one could not go back and is under Antigo
        dpNovoNomeNovo, // the new file, under a name that was new and could not be removed
        dpNadaEAntigo,  // nothing; its older file, moved aside, could not go back
    };

    struct TEstado {
        TFicheiroAtomico* Ficheiro = nullptr;
        size_t Indice = 0;        // its place among the files given, for AFalha
        std::string Antigo;       // the hidden name of its older file, made in advance
        bool Guardado = false;    // its older file is under Antigo
        bool Movido = false;      // moved there, not linked
        bool Substituido = false; // the new file took the target's place
        TDepois Depois = TDepois::dpComoEstava;
    };

    int Falha(TPassoDaConfirmacao APasso, size_t AFicheiro) const;
    int SubstituirUm(size_t AIndice, bool AGuardar) noexcept;
    void Repor() noexcept;

    const TFalhaDoPasso& FFalha;
    std::span<TFicheiroAtomico* const> FFicheiros;
    std::vector<TEstado> FRegulares; // the files to rename, in order; streams are done once closed
    size_t FFalhado = 0;             // the file whose failure stopped the rest
    int FErro = 0;
};

TConfirmacao::TConfirmacao(std::span<TFicheiroAtomico* const> AFicheiros,
                           const TFalhaDoPasso& AFalha) noexcept
    : FFalha(AFalha), FFicheiros(AFicheiros) {}

int TConfirmacao::Falha(TPassoDaConfirmacao APasso, size_t AFicheiro) const {
    return FFalha ? FFalha(APasso, AFicheiro) : 0;
}

void TConfirmacao::Completar() {
    FRegulares.reserve(FFicheiros.size());
    for (size_t i = 0; i < FFicheiros.size(); ++i) {
        TFicheiroAtomico& f = *FFicheiros[i];
        f.Completar(Falha(TPassoDaConfirmacao::pcFechar, i));
        if (!f.FFluxo) {
            FRegulares.push_back({&f, i, ModeloEscondido(*f.FPasta, f.FNome)});
        }
    }
}

// One file: checked, its older file kept aside where a later rename could still fail
// (AGuardar), then renamed over its target. 0 or the reason it failed.
int TConfirmacao::SubstituirUm(size_t AIndice, bool AGuardar) noexcept {
    TEstado& e = FRegulares[AIndice];
    TFicheiroAtomico& f = *e.Ficheiro;
    const size_t i = e.Indice;
    bool existe = false;
    if (const int erro = f.Verificar(existe); erro != 0) {
        return erro;
    }
    if (AGuardar && existe) {
        if (const int erro =
                f.GuardarAntigo(e.Antigo, e.Movido, Falha(TPassoDaConfirmacao::pcGuardarAntigo, i));
            erro != 0) {
            return erro;
        }
        e.Guardado = true;
    }
    if (const int erro = f.Substituir(Falha(TPassoDaConfirmacao::pcSubstituir, i)); erro != 0) {
        if (e.Guardado) {
            // This target was not replaced: its older file only leaves the hidden name.
            if (f.SoltarAntigo(e.Antigo, e.Movido) != 0 && e.Movido) {
                e.Depois = TDepois::dpNadaEAntigo;
                return erro;
            }
            e.Guardado = false;
        }
        return erro;
    }
    e.Substituido = true;
    return 0;
}

bool TConfirmacao::Substituir() noexcept {
    for (size_t k = 0; k < FRegulares.size(); ++k) {
        FErro = SubstituirUm(k, k + 1 < FRegulares.size());
        if (FErro != 0) {
            FFalhado = k;
            Repor();
            return false;
        }
    }
    return true;
}

// Back to the older files, the last replaced first; a target that was a new name is removed
// again.
void TConfirmacao::Repor() noexcept {
    for (size_t k = FFalhado; k-- > 0;) {
        TEstado& e = FRegulares[k];
        int erro = Falha(TPassoDaConfirmacao::pcRepor, e.Indice);
        if (erro == 0) {
            erro = e.Ficheiro->Repor(e.Antigo, e.Guardado);
        }
        if (erro != 0) {
            e.Depois = e.Guardado ? TDepois::dpNovoEAntigo : TDepois::dpNovoNomeNovo;
        }
    }
}

void TConfirmacao::LargarAntigos() noexcept {
    for (const TEstado& e : FRegulares) {
        if (e.Guardado) {
            e.Ficheiro->SoltarAntigo(e.Antigo, false);
        }
    }
}

void TConfirmacao::LancarFalha(const std::string& ADepois) const {
    std::string mensagem =
        MensagemDeFalha(FRegulares[FFalhado].Ficheiro->FCaminho, MotivoDoErro(FErro));
    for (const TEstado& e : FRegulares) {
        const std::string nome = NomeParaMostrar(e.Ficheiro->FCaminho);
        switch (e.Depois) {
        case TDepois::dpComoEstava:
            break;
        case TDepois::dpNovoEAntigo:
            mensagem += " " + nome +
                        " ficou com o que foi gravado agora: o que tinha antes não pôde voltar ao "
                        "seu lugar e ficou em " +
                        e.Ficheiro->OndeFicou(e.Antigo) + ".";
            break;
        case TDepois::dpNovoNomeNovo:
            mensagem += " " + nome +
                        " ficou com o que foi gravado agora: não existia antes, e não pôde ser "
                        "apagado outra vez.";
            break;
        case TDepois::dpNadaEAntigo:
            mensagem += " O que " + nome + " tinha antes não pôde voltar ao seu lugar e ficou em " +
                        e.Ficheiro->OndeFicou(e.Antigo) + ".";
            break;
        }
    }
    throw EVelt(mensagem + ADepois);
}

bool ConfirmarJuntos(std::span<TFicheiroAtomico* const> AFicheiros,
                     const std::function<bool()>& APodeConfirmar, const TFalhaDoPasso& AFalha) {
    const auto descartarTodos = [&] {
        for (TFicheiroAtomico* f : AFicheiros) {
            f->Descartar();
        }
    };
    // The temporary files a folder made read-only meanwhile kept, named in the failure.
    const auto deixados = [&] {
        std::string r;
        for (TFicheiroAtomico* f : AFicheiros) {
            r += f->AvisoDoTemporario();
        }
        return r;
    };
    TConfirmacao confirmacao(AFicheiros, AFalha);
    try {
        confirmacao.Completar();
        const TSinaisRetidos retidos;
        if (APodeConfirmar && !APodeConfirmar()) {
            descartarTodos();
            return false;
        }
        if (confirmacao.Substituir()) {
            confirmacao.LargarAntigos();
            return true;
        }
    } catch (const EVelt& e) {
        descartarTodos();
        throw EVelt(e.what() + deixados());
    } catch (...) {
        descartarTodos();
        throw;
    }
    descartarTodos();
    confirmacao.LancarFalha(deixados());
}

} // namespace tavrelo

#include "generation/adiantados.h"

#include <algorithm>
#include <system_error>

namespace tavrelo {

TPuzzlesAdiantados::TPuzzlesAdiantados(const TConfigLivro& AConfig,
                                       const std::vector<int32_t>& APlano,
                                       const TParalelo& AParalelo, TGeradorPuzzle& AProprio)
    : FN(AConfig.N), FSemente(AConfig.Semente), FPlano(APlano), FPausa(AParalelo.Pausa),
      FProprio(AProprio), FVagas(APlano.size()) {
    const auto ajudantes =
        std::min<int64_t>(AParalelo.Trabalhadores - 1, static_cast<int64_t>(APlano.size()) - 1);
    for (int64_t i = 0; i < ajudantes; ++i) {
        try {
            std::function<void()> corpo = [this] { Ajudar(); };
            FAjudantes.push_back(AParalelo.IniciarFio ? AParalelo.IniciarFio(std::move(corpo))
                                                      : std::thread(std::move(corpo)));
        } catch (const std::system_error&) {
            break; // no more threads to be had: the book goes on with those it has
        }
    }
}

TPuzzlesAdiantados::~TPuzzlesAdiantados() {
    {
        std::lock_guard<std::mutex> l(FTrinco);
        FParar = true;
    }
    for (std::thread& t : FAjudantes) {
        t.join();
    }
}

int32_t TPuzzlesAdiantados::Tomar() {
    if (FParar || FProxima >= static_cast<int32_t>(FVagas.size())) {
        return -1;
    }
    FVagas[static_cast<size_t>(FProxima)].Estado = TEstado::vgEmCurso;
    return FProxima++;
}

TAdiantado TPuzzlesAdiantados::Fazer(TGeradorPuzzle& AGerador, int32_t APosicao) const {
    TAdiantado feito;
    try {
        TGeradorAleatorio rng(SubSementeDoPuzzle(FSemente, APosicao));
        feito.Puzzle = AGerador.GerarAdiantado(FN, FPlano[static_cast<size_t>(APosicao)], rng,
                                               feito.Consultadas);
        feito.Valido = AGerador.Validar(feito.Puzzle);
    } catch (...) {
        // Raised again only if the puzzle's turn comes and its keys are still free: made in
        // turn, it would have failed the same way.
        feito.Erro = std::current_exception();
    }
    return feito;
}

void TPuzzlesAdiantados::Guardar(int32_t APosicao, TAdiantado AFeito) {
    TVaga& vaga = FVagas[static_cast<size_t>(APosicao)];
    vaga.Feito = std::move(AFeito);
    vaga.Estado = TEstado::vgFeita;
}

// A helper's life: the next puzzle nobody has begun, until there is none. Each has its own
// generator, with its own solvers and design cache.
void TPuzzlesAdiantados::Ajudar() {
    TGeradorPuzzle gerador;
    while (true) {
        if (FPausa != nullptr) {
            FPausa->Passar();
        }
        int32_t p = -1;
        {
            std::lock_guard<std::mutex> l(FTrinco);
            p = Tomar();
        }
        if (p < 0) {
            return;
        }
        TAdiantado feito = Fazer(gerador, p);
        {
            std::lock_guard<std::mutex> l(FTrinco);
            Guardar(p, std::move(feito));
        }
        FFeita.notify_all();
    }
}

TAdiantado TPuzzlesAdiantados::Receber(int32_t APosicao) {
    std::unique_lock<std::mutex> l(FTrinco);
    TVaga& vaga = FVagas[static_cast<size_t>(APosicao)];
    while (vaga.Estado != TEstado::vgFeita) {
        // Rather than wait, the caller makes the next puzzle nobody has begun, which is this
        // one when no helper has taken it yet.
        if (const int32_t q = Tomar(); q >= 0) {
            l.unlock();
            TAdiantado feito = Fazer(FProprio, q);
            l.lock();
            Guardar(q, std::move(feito));
            continue;
        }
        FFeita.wait(l);
    }
    return std::move(vaga.Feito);
}

} // namespace tavrelo

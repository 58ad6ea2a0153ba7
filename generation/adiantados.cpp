#include "generation/adiantados.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace tavrelo {

TPuzzlesAdiantados::TPuzzlesAdiantados(const TConfigLivro& AConfig,
                                       const std::vector<int32_t>& APlano,
                                       const TParalelo& AParalelo, TGeradorPuzzle& AProprio)
    : FN(AConfig.N), FSemente(AConfig.Semente), FPlano(APlano), FPausa(AParalelo.Pausa),
      FProprio(AProprio), FVagas(APlano.size()) {
    const auto ajudantes = std::max<int64_t>(
        std::min<int64_t>(AParalelo.Trabalhadores - 1, static_cast<int64_t>(APlano.size()) - 1), 0);
    // Room for every helper first: once a thread runs, keeping it must not need memory.
    FAjudantes.reserve(static_cast<size_t>(ajudantes));
    for (int64_t i = 0; i < ajudantes; ++i) {
        try {
            std::function<void()> corpo = [this] { Ajudar(); };
            FAjudantes.push_back(AParalelo.IniciarFio ? AParalelo.IniciarFio(std::move(corpo))
                                                      : TFio(std::thread(std::move(corpo))));
        } catch (const std::system_error&) {
            break; // no more threads to be had: the book goes on with those it has
        } catch (const std::bad_alloc&) {
            break; // nor memory to start one
        }
        if (!FAjudantes.back().Iniciado()) {
            FAjudantes.pop_back(); // a starter that started nothing
            break;
        }
    }
}

TPuzzlesAdiantados::~TPuzzlesAdiantados() {
    {
        std::lock_guard<std::mutex> l(FTrinco);
        FParar = true;
    }
    for (TFio& f : FAjudantes) {
        f.Juntar();
    }
}

int32_t TPuzzlesAdiantados::Tomar() {
    if (FParar || FProxima >= static_cast<int32_t>(FVagas.size())) {
        return -1;
    }
    FVagas[static_cast<size_t>(FProxima)].Estado = TEstado::vgEmCurso;
    return FProxima++;
}

TAdiantado TPuzzlesAdiantados::Fazer(TGeradorPuzzle& AGerador, int32_t APosicao,
                                     bool& AFaltouMemoria) const {
    AFaltouMemoria = false;
    TAdiantado feito;
    try {
        TGeradorAleatorio rng(SubSementeDoPuzzle(FSemente, APosicao));
        feito.Puzzle = AGerador.GerarAdiantado(FN, FPlano[static_cast<size_t>(APosicao)], rng,
                                               feito.Consultadas);
        feito.Valido = AGerador.Validar(feito.Puzzle);
    } catch (const std::bad_alloc&) {
        AFaltouMemoria = true;
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

void TPuzzlesAdiantados::Devolver(int32_t APosicao) {
    FVagas[static_cast<size_t>(APosicao)].Estado = TEstado::vgPorFazer;
}

// A helper's life: the next puzzle nobody has begun, until there is none. Each has its own
// generator, with its own solvers and design cache. A helper that runs short of memory,
// its generator's or a puzzle's, stops helping: the memory it held is free again for the
// threads that go on, and the puzzle in its hands is given back.
void TPuzzlesAdiantados::Ajudar() noexcept {
    try {
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
            bool semMemoria = false;
            TAdiantado feito = Fazer(gerador, p, semMemoria);
            {
                std::lock_guard<std::mutex> l(FTrinco);
                if (semMemoria) {
                    Devolver(p);
                } else {
                    Guardar(p, std::move(feito));
                }
            }
            FFeita.notify_all();
            if (semMemoria) {
                return;
            }
        }
    } catch (...) {
        // Its generator could not be made (no memory for it): it never took a puzzle.
    }
}

TAdiantado TPuzzlesAdiantados::Receber(int32_t APosicao) {
    std::unique_lock<std::mutex> l(FTrinco);
    TVaga& vaga = FVagas[static_cast<size_t>(APosicao)];
    while (vaga.Estado != TEstado::vgFeita) {
        // Rather than wait, the caller makes a puzzle: this one when a helper gave it back,
        // else the next one nobody has begun, which is this one when no helper has taken it.
        int32_t q = -1;
        if (vaga.Estado == TEstado::vgPorFazer && APosicao < FProxima) {
            vaga.Estado = TEstado::vgEmCurso;
            q = APosicao;
        } else {
            q = Tomar();
        }
        if (q >= 0) {
            l.unlock();
            bool semMemoria = false;
            TAdiantado feito = Fazer(FProprio, q, semMemoria);
            l.lock();
            if (semMemoria) {
                Devolver(q);
                throw std::bad_alloc();
            }
            Guardar(q, std::move(feito));
            continue;
        }
        FFeita.wait(l);
    }
    return std::move(vaga.Feito);
}

} // namespace tavrelo

// Seeded random generator (PCG32, XSH-RR) with SplitMix64 seeding. Every random
// choice of a book goes through it; the sequence of draws is part of the contract.
#pragma once

#include <cstdint>
#include <span>

namespace tavrelo {

uint64_t Misturar64(uint64_t X);
uint32_t DerivarSemente(uint32_t ASemente, uint32_t AIndice);
uint32_t SementeDoRelogio();

class TGeradorAleatorio {
  public:
    static constexpr uint64_t SEQUENCIA_PADRAO = 54;

    explicit TGeradorAleatorio(uint32_t ASemente);

    void Iniciar(uint64_t AEstadoInicial, uint64_t ASequencia);
    uint32_t ProximoU32();
    int32_t Limite(int32_t ALimite);
    uint64_t Limite64(uint64_t ALimite);
    int32_t Ponderado(std::span<const int64_t> APesos);
    int32_t Entre(int32_t AMin, int32_t AMax);
    double Real01();

    uint64_t Estado() const { return FEstado; }
    uint64_t Incremento() const { return FIncremento; }

  private:
    uint64_t FEstado = 0;
    uint64_t FIncremento = 1;
};

} // namespace tavrelo

// Difficulty levels: what each level asks of a puzzle, and the progressive plan.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace tavrelo {

// One mask per supported order (index of TamanhosSuportados); bit k = level k exists.
inline constexpr std::array<uint8_t, 6> NiveisDoTamanho = {0x3E, 0x3E, 0x3E, 0x3E, 0x3E, 0x3E};

bool NivelComLista(int32_t ANivel);
int32_t NumMinimizacoes(int32_t ANivel);
int32_t PercentagemPar(int32_t ANivel);
int32_t PercentagemImpar(int32_t ANivel);
int32_t LimiteClassico(int32_t N);
int32_t PistasExtraComLista(int32_t ANivel, int32_t N);
int32_t NumPistasAlvo(int32_t ANivel, int32_t N, int32_t APiso);
bool NivelDisponivel(int32_t ANivel, int32_t N);
int32_t NumNiveisDisponiveis(int32_t N);
bool ProgressivaDisponivel(int32_t N);
std::vector<int32_t> PlanoProgressivoDoTamanho(int32_t ANumPuzzles, int32_t N);

} // namespace tavrelo

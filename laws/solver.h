// The deduction solver: the law table of an order (laws with their families and a
// per-cell index) and the two deductions run over it, single gaps and list reasoning.
#pragma once

#include "core/tipos.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <vector>

namespace tavrelo {

enum class TFamilia : uint8_t {
    lfLinha = 0,
    lfDiagPrincipal = 1,
    lfDiagQuebrada = 2,
    lfBloco = 3,
    lfMeia = 4,
    lfLista = 5,
    lfPar = 6,
};
inline constexpr int NUM_FAMILIAS = 7;

// A set of families: bit f set when family f is a member.
struct TFamilias {
    uint8_t Bits = 0;

    constexpr TFamilias() = default;
    constexpr explicit TFamilias(uint8_t ABits) : Bits(ABits) {}
    constexpr TFamilias(std::initializer_list<TFamilia> AMembros) {
        for (const TFamilia f : AMembros) {
            Bits = static_cast<uint8_t>(Bits | (1u << static_cast<unsigned>(f)));
        }
    }
    constexpr bool Contem(TFamilia f) const { return (Bits >> static_cast<unsigned>(f)) & 1u; }
    constexpr bool operator==(const TFamilias&) const = default;
};

TFamilias FamiliasCompletas(int32_t N);
TFamilias FamiliasBasicas(int32_t N);

struct TLei {
    std::vector<int32_t> Celulas;
    std::vector<int32_t> Coefs;
    int32_t Constante = 0;
    TFamilia Familia = TFamilia::lfLinha;
};

struct TPassoDeducao {
    int32_t Ronda = 0;
    int32_t Lei = -1;
    TFamilia Familia = TFamilia::lfLinha;
    int32_t Celula = 0;
    int32_t Valor = 0;
    int32_t Parceiro = -1;
    int32_t Resto = 0;

    bool operator==(const TPassoDeducao&) const = default;
};

struct TResultadoSolver {
    bool Resolvido = false;
    int32_t Rondas = 0;
    std::vector<TPassoDeducao> Passos;
    std::array<int32_t, NUM_FAMILIAS> Usos{}; // steps per family, indexed by its value

    bool operator==(const TResultadoSolver&) const = default;
};

// The deductions work in the solver's own scratch space, so they are not const: a solver
// serves one caller at a time, and each thread needs a solver of its own. The law table (the
// const members) never changes after construction and may be read from any thread.
class TSolverDeducao {
  public:
    explicit TSolverDeducao(int32_t N);
    ~TSolverDeducao();
    TSolverDeducao(const TSolverDeducao&) = delete;
    TSolverDeducao& operator=(const TSolverDeducao&) = delete;

    int32_t N() const { return FN; }
    int32_t NumLeis() const { return static_cast<int32_t>(FLeis.size()); }
    // Law AIndice, 0 … NumLeis() − 1; the table lives as long as the solver.
    const TLei& Lei(int32_t AIndice) const { return FLeis[static_cast<size_t>(AIndice)]; }
    // The laws through ACelula, in increasing index, and the cell's coefficient in each.
    const std::vector<int32_t>& PorCelula(int32_t ACelula) const {
        return FPorCelula[static_cast<size_t>(ACelula)];
    }
    const std::vector<int32_t>& CoefPorCelula(int32_t ACelula) const {
        return FCoefPorCelula[static_cast<size_t>(ACelula)];
    }

    // Can deduction fill every cell? ADados (N² entries, 0 = empty) is not modified.
    bool Fecho(std::span<const int32_t> ADados, TFamilias AFamilias, bool AComLista);

    // True when some law of AFamilias through ACelula has ACelula as its only empty
    // cell in ADados: removing that clue leaves a grid that the first single gap refills.
    bool FixadaPorLei(std::span<const int32_t> ADados, int32_t ACelula, TFamilias AFamilias) const;

    // The same deduction in rounds, every step recorded and, when ASolucaoRef is not
    // empty, checked against it.
    TResultadoSolver Resolver(std::span<const int32_t> ADados, TFamilias AFamilias,
                              std::span<const int32_t> ASolucaoRef, bool AComLista);

  private:
    struct TTrabalho;

    void ConstruirTabelasPlanas();
    bool LeiAtiva(int32_t ALei, TFamilias AFamilias) const;
    bool PrepararGrelha(std::span<const int32_t> ADados);
    void ContarLacunas(TFamilias AFamilias);
    void EmpilharLacunasUnicas();
    void AcharPares(TFamilias AFamilias, bool AContadoresValidos);
    void Escrever(int32_t ACelula, int32_t AValor, bool AEmpilhar);
    bool Propagar();
    int32_t LerPar(int32_t ALei, int32_t& A, int32_t& B, int32_t& R) const;
    void GuardarConjunto(int32_t ACelula, const uint64_t* AConjunto);
    void FiltrarPorParceiro(int32_t A, int32_t B, int32_t R, uint64_t* ANovo) const;
    bool ReduzirPelaLista(TFamilias AFamilias, bool AContadoresValidos);
    const uint64_t* ConjuntoDe(int32_t ACelula) const;
    bool LeiDoPar(TFamilias AFamilias, int32_t ACelula, int32_t& ALei, int32_t& AParceiro,
                  int32_t& AResto) const;

    int32_t FN = 0;
    std::vector<TLei> FLeis;
    std::vector<std::vector<int32_t>> FPorCelula;
    std::vector<std::vector<int32_t>> FCoefPorCelula;
    int32_t FPalavras = 0;

    // The law table laid out flat for the inner loops: law j's cells and
    // coefficients are FCelulas/FCoefs[FInicio[j] .. FInicio[j+1]).
    std::vector<int32_t> FInicio;
    std::vector<int32_t> FCelulas;
    std::vector<int32_t> FCoefs;
    std::vector<int32_t> FConstantes;
    std::vector<TFamilia> FFamilias;

    TTrabalho& Trabalho() { return *FTrabalho; }
    const TTrabalho& Trabalho() const { return *FTrabalho; }

    std::unique_ptr<TTrabalho> FTrabalho; // scratch of the running call
};

} // namespace tavrelo

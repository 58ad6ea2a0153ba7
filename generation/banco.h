// The bank of designs for the most-perfect orders and the formula that turns a
// design and an arrangement into a square.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tavrelo {

// X: N/2 distinct positive even numbers, ascending; Y: N/2 distinct positive odd ones.
struct TDesenho {
    std::vector<int32_t> X;
    std::vector<int32_t> Y;
};

// The bank rows of order N ("2 6 10 14|15 17 47 49"), in bank order; empty for other orders.
std::vector<std::string> LinhasDoBanco(int32_t N);

// One row of the bank as a design.
TDesenho LerDesenho(const std::string& ALinha);

// The square of design (X, Y) under permutations PX, PY of 0..N/2-1 and signs SX, SY.
std::vector<int32_t> MontarQuadradoPar(int32_t N, std::span<const int32_t> X,
                                       std::span<const int32_t> Y, std::span<const int32_t> PX,
                                       std::span<const int32_t> SX, std::span<const int32_t> PY,
                                       std::span<const int32_t> SY);

} // namespace tavrelo

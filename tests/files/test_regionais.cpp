#include "files/regionais.h"

#include "../regionais.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace tavrelo {
namespace {

std::string ComUmaCasaDecimal(double AValor) {
    char texto[32];
    std::snprintf(texto, sizeof texto, "%.1f", AValor);
    return texto;
}

double Lido(const char* ATexto) {
    double valor = 0;
    return std::sscanf(ATexto, "%lf", &valor) == 1 ? valor : -1;
}

// Under every users' locale the program's start takes the language and encoding but keeps the
// decimal point.
TEST(Regionais, AsDefinicoesDoUtilizadorMenosOsNumeros) {
    for (const char* local : teste::LOCAIS_DOS_UTILIZADORES) {
        SCOPED_TRACE(local);
        {
            const teste::TLocalDoProcesso comVirgula(local);
            ASSERT_TRUE(comVirgula.Tem()) << "localedef did not make " << local;
        }
        ::setenv("LC_ALL", local, 1);
        UsarDefinicoesRegionais();
        ::unsetenv("LC_ALL");
        EXPECT_EQ(std::string(std::setlocale(LC_CTYPE, nullptr)), local);
        EXPECT_EQ(std::string(std::setlocale(LC_NUMERIC, nullptr)), "C");
        EXPECT_EQ(ComUmaCasaDecimal(2.5), "2.5");
        std::setlocale(LC_ALL, "C");
    }
}

// A thread that hands numbers as text to a library reads and writes them with a point while it
// holds TNumerosEmC, whatever the process's locale, and the locale is its own again afterwards;
// other threads are left alone.
TEST(Regionais, NumerosEmCSoNaqueleFio) {
    for (const char* local : teste::LOCAIS_DOS_UTILIZADORES) {
        SCOPED_TRACE(local);
        const teste::TLocalDoProcesso comVirgula(local);
        ASSERT_TRUE(comVirgula.Tem());
        {
            const TNumerosEmC numerosEmC;
            EXPECT_EQ(ComUmaCasaDecimal(2.5), "2.5");
            EXPECT_EQ(Lido("841.89"), 841.89);
            std::string noOutroFio;
            std::thread([&] { noOutroFio = ComUmaCasaDecimal(2.5); }).join();
            EXPECT_EQ(noOutroFio, "2,5");
        }
        EXPECT_EQ(ComUmaCasaDecimal(2.5), "2,5");
        EXPECT_EQ(Lido("841,89"), 841.89);
    }
}

} // namespace
} // namespace tavrelo

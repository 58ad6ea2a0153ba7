// The users' locales, made for the tests by localedef in the build folder (TAVRELO_LOCAIS), and
// a way to put the whole process under one of them, numbers included, as a library or a front
// end might: a test that never calls setlocale proves nothing of them.
#pragma once

#include <clocale>
#include <cstdlib>
#include <string>

namespace teste {

// Portugal and Brazil, whose users the program is for, and Germany: all three write a decimal
// comma.
inline constexpr const char* LOCAIS_DOS_UTILIZADORES[] = {"pt_PT.UTF-8", "pt_BR.UTF-8",
                                                          "de_DE.UTF-8"};

// Points the C library at the tests' locales; call before the first setlocale that needs them.
inline void ProcurarOsLocais() {
    ::setenv("LOCPATH", TAVRELO_LOCAIS, 1);
}

// The process's locale, every category, is ANome for the lifetime of this object, and C again
// afterwards. Tem() tells whether the system took it.
class TLocalDoProcesso {
  public:
    explicit TLocalDoProcesso(const char* ANome) {
        ProcurarOsLocais();
        FTem = std::setlocale(LC_ALL, ANome) != nullptr;
    }
    ~TLocalDoProcesso() { std::setlocale(LC_ALL, "C"); }
    TLocalDoProcesso(const TLocalDoProcesso&) = delete;
    TLocalDoProcesso& operator=(const TLocalDoProcesso&) = delete;

    // Taken, and with the decimal comma that makes it worth testing.
    bool Tem() const { return FTem && std::string(std::localeconv()->decimal_point) == ","; }

  private:
    bool FTem = false;
};

} // namespace teste

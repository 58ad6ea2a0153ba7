// The user's regional settings, numbers aside. Both programs speak the user's language and
// read text in the user's encoding, but every number they or the C libraries under them write
// or read back (a PDF's link positions, which cairo parses with the C library) must keep its
// decimal point: a decimal comma, as in Portugal, would break the file.
#pragma once

#include <locale.h>

namespace tavrelo {

// Takes the regional settings from the environment (LANG, LC_ALL, LC_*), then sets the numbers
// back to the C form, for the whole process. Call it once, before any thread starts; the window
// calls it after Qt has set its own.
void UsarDefinicoesRegionais() noexcept;

// For its lifetime, the calling thread reads and writes numbers in the C form, whatever the
// process's settings: for the code that hands numbers as text to a library.
class TNumerosEmC {
  public:
    TNumerosEmC();
    ~TNumerosEmC();
    TNumerosEmC(const TNumerosEmC&) = delete;
    TNumerosEmC& operator=(const TNumerosEmC&) = delete;

  private:
    locale_t FNumerosEmC;
    locale_t FAnterior;
};

} // namespace tavrelo

// Every book made while a TDataFixa lives says it was made at the same instant, in UTC
// (SOURCE_DATE_EPOCH), so two books of one configuration can be compared byte for byte.
#pragma once

#include <cstdlib>

namespace teste {

inline constexpr const char* DATA_FIXA = "1765432100";

class TDataFixa {
  public:
    TDataFixa() { ::setenv("SOURCE_DATE_EPOCH", DATA_FIXA, 1); }
    ~TDataFixa() { ::unsetenv("SOURCE_DATE_EPOCH"); }
    TDataFixa(const TDataFixa&) = delete;
    TDataFixa& operator=(const TDataFixa&) = delete;
};

} // namespace teste

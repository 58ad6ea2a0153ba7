#include "composition/editorial.h"

namespace tavrelo {

void DesenharCapa(IVeltCanvas&, const TLivro&) {}
void PaginaVerso(IVeltCanvas&, const std::string&) {}
void PaginaSeparador(IVeltCanvas&, int32_t) {}
void PaginaSimboloPar(IVeltCanvas&) {}
void PaginaSimboloImpar(IVeltCanvas&) {}
void DesenharFicha(IVeltCanvas&, const TLivro&, const TInfoLivro&, int32_t) {}

} // namespace tavrelo

// The PDF reader built with the programs, named for a test program: test programs are built
// elsewhere, where the reader is not looked for beside them.
#pragma once

#include "frontend/pdf_lido.h"

namespace teste {

inline const bool LEITOR_DEFINIDO = (tavrelo::DefinirLeitor(TAVRELO_LEITOR_PATH), true);

} // namespace teste

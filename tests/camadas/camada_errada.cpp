// Compiled as part of the drawing layer, which knows no book: this include must fail.
#include "composition/paginas.h"

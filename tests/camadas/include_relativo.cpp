// Read as part of the drawing layer, which knows no book: each of these includes would reach
// the composition layer from drawing/ and must be refused.
#include "../composition/paginas.h"
#include "drawing/../composition/paginas.h"

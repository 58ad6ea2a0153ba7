// The window's look: its typeface, its icon and the light sky-blue style.
#pragma once

#include <QFont>

class QApplication;
class QIcon;

namespace tavrelo {

// The window's typeface at a size in pixels.
QFont Fonte(int APixeis, bool ANegrito = false);

// The window's icon: a small magic-square grid in sky blue.
QIcon IconeTavrelo();

// Applies the light sky-blue look carried in the program under the name "SKY"; false when
// it cannot be read, and then nothing is changed.
bool AplicarEstiloSky(QApplication& AApp);

} // namespace tavrelo

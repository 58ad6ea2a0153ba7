// The window's look: its typeface, its icon and the light sky-blue style.
#pragma once

#include <QFont>

class QApplication;
class QIcon;

namespace tavrelo {

// The window's type sizes, in pixels at 96 dots per inch.
inline constexpr int LETRA_BASE = 12;      // the window's own, under every control
inline constexpr int LETRA_PEQUENA = 13;   // the buttons under the name plate, a dialog's reason
inline constexpr int LETRA_ESTADO = 14;    // the summary, the status line and the file saved
inline constexpr int LETRA_CONTROLOS = 15; // labels, radio items, check boxes, buttons, dialogs
inline constexpr int LETRA_NUMERO = 17;    // the number edit and the book's group
inline constexpr int LETRA_AUTOR = 15;     // "by Brovanel"
inline constexpr int LETRA_NOME = 33;      // "TAVRELO" on the name plate

// The window's typeface at a size in pixels.
QFont Fonte(int APixeis, bool ANegrito = false);

// The window's icon: a small magic-square grid in sky blue.
QIcon IconeTavrelo();

// Applies the light sky-blue look carried in the program under the name "SKY"; false when
// it cannot be read, and then nothing is changed.
bool AplicarEstiloSky(QApplication& AApp);

} // namespace tavrelo

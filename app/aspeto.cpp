#include "app/aspeto.h"

#include <QApplication>
#include <QFile>
#include <QIcon>
#include <QPainter>
#include <QPixmap>

// The style sheet is compiled into this library; its registration has to be named from
// outside any namespace.
static void IniciarRecursosDaJanela() {
    static const bool iniciado = [] {
        Q_INIT_RESOURCE(aspeto);
        return true;
    }();
    (void)iniciado;
}

namespace tavrelo {

// "Segoe UI" where it exists; Liberation Sans has the same widths and is always installed.
QFont Fonte(int APixeis, bool ANegrito) {
    QFont f;
    f.setFamilies({QStringLiteral("Segoe UI"), QStringLiteral("Liberation Sans")});
    f.setPixelSize(APixeis);
    f.setBold(ANegrito);
    return f;
}

namespace {

// A 4 × 4 grid on a sky-blue tile, with the cells of one diagonal shaded; the same drawing
// as resources/tavrelo.svg, on a 256-unit square.
QPixmap PintarIcone(int ALado) {
    QPixmap p(ALado, ALado);
    p.fill(Qt::transparent);
    QPainter g(&p);
    g.setRenderHint(QPainter::Antialiasing);
    g.scale(ALado / 256.0, ALado / 256.0);
    g.setPen(Qt::NoPen);
    g.setBrush(QColor(0x4a, 0xa3, 0xdf));
    g.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
    g.setBrush(Qt::white);
    g.drawRect(QRectF(40, 40, 176, 176));
    g.setBrush(QColor(0xbf, 0xe3, 0xf7));
    for (int i = 0; i < 4; ++i) {
        g.drawRect(QRectF(40 + 44 * i, 40 + 44 * i, 44, 44));
        g.drawRect(QRectF(40 + 44 * (3 - i), 40 + 44 * i, 44, 44));
    }
    g.setBrush(Qt::NoBrush);
    g.setPen(QPen(QColor(0x1f, 0x5f, 0x8f), 6));
    g.drawRect(QRectF(40, 40, 176, 176));
    g.setPen(QPen(QColor(0x1f, 0x5f, 0x8f), 3));
    for (int i = 1; i < 4; ++i) {
        g.drawLine(QLineF(40 + 44 * i, 40, 40 + 44 * i, 216));
        g.drawLine(QLineF(40, 40 + 44 * i, 216, 40 + 44 * i));
    }
    return p;
}

} // namespace

QIcon IconeTavrelo() {
    QIcon icone;
    for (int lado : {16, 24, 32, 48, 64, 128, 256}) {
        icone.addPixmap(PintarIcone(lado));
    }
    return icone;
}

bool AplicarEstiloSky(QApplication& AApp) {
    IniciarRecursosDaJanela();
    QFile ficheiro(QStringLiteral(":/estilos/SKY"));
    if (!ficheiro.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QString folha = QString::fromUtf8(ficheiro.readAll());
    if (folha.trimmed().isEmpty()) {
        return false;
    }
    AApp.setStyle(QStringLiteral("Fusion"));
    AApp.setStyleSheet(folha);
    return true;
}

} // namespace tavrelo

#include "app/edit_com_setas.h"

#include "frontend/textos.h"

#include <QAccessible>
#include <QLineEdit>

#include <algorithm>

namespace tavrelo {

TEditComSetas::TEditComSetas(QWidget* AParent) : QAbstractSpinBox(AParent) {
    setKeyboardTracking(true);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    lineEdit()->setMaxLength(DIGITOS_MAX_PUZZLES);
    connect(lineEdit(), &QLineEdit::textChanged, this, &TEditComSetas::AoMudarOTexto);
}

void TEditComSetas::AoMudarOTexto() {
    const int32_t valor = Valor();
    emit ValorMudou(valor);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent evento(this, valor);
        QAccessible::updateAccessibility(&evento);
    }
    emit TextoMudou();
}

void TEditComSetas::DefinirLimites(int32_t AMinimo, int32_t AMaximo) {
    FMinimo = AMinimo;
    FMaximo = std::max(AMinimo, AMaximo);
    FPosicao = std::clamp(FPosicao, FMinimo, FMaximo);
    update();
}

void TEditComSetas::DefinirPosicao(int32_t APosicao) {
    FPosicao = std::clamp(APosicao, FMinimo, FMaximo);
    lineEdit()->setText(QString::number(FPosicao));
    update();
}

QString TEditComSetas::Texto() const {
    return lineEdit()->text();
}

int32_t TEditComSetas::Valor() const {
    int32_t n = 0;
    return LerNumPuzzles(Texto().toStdString(), n) ? n : FPosicao;
}

void TEditComSetas::stepBy(int ASteps) {
    DefinirPosicao(std::clamp(Valor() + ASteps, FMinimo, FMaximo));
    lineEdit()->selectAll();
}

QValidator::State TEditComSetas::validate(QString&, int&) const {
    // Every text is kept; the window says what is wrong with it.
    return QValidator::Acceptable;
}

void TEditComSetas::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled TEditComSetas::stepEnabled() const {
    if (isReadOnly() || !isEnabled()) {
        return StepNone;
    }
    StepEnabled r = StepNone;
    const int32_t base = Valor();
    if (base < FMaximo) {
        r |= StepUpEnabled;
    }
    if (base > FMinimo) {
        r |= StepDownEnabled;
    }
    return r;
}

} // namespace tavrelo

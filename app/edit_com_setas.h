// The window's number edit with spin buttons.
#pragma once

#include <QAbstractSpinBox>

#include <cstdint>

namespace tavrelo {

// A number edit with spin buttons. Unlike QSpinBox it keeps whatever the user types, so
// the window can judge the text itself; the arrows step from the typed number when it is
// one, else from the last position.
class TEditComSetas : public QAbstractSpinBox {
    Q_OBJECT
    // What a screen reader reads as the edit's value and range: Qt's accessibility asks a
    // spin box for these properties by name.
    Q_PROPERTY(int value READ Valor WRITE DefinirPosicao NOTIFY ValorMudou)
    Q_PROPERTY(int minimum READ Minimo)
    Q_PROPERTY(int maximum READ Maximo)
  public:
    explicit TEditComSetas(QWidget* AParent = nullptr);

    int32_t Minimo() const { return FMinimo; }
    int32_t Maximo() const { return FMaximo; }
    int32_t Posicao() const { return FPosicao; }
    // The number typed when the text is one, else the last position.
    int32_t Valor() const;
    void DefinirLimites(int32_t AMinimo, int32_t AMaximo);
    // Moves the position (kept inside the limits) and writes it into the edit.
    void DefinirPosicao(int32_t APosicao);
    QString Texto() const;

    void stepBy(int ASteps) override;
    QValidator::State validate(QString& ATexto, int& APos) const override;
    void fixup(QString& ATexto) const override;

  signals:
    void TextoMudou();
    void ValorMudou(int AValor);

  protected:
    StepEnabled stepEnabled() const override;

  private:
    void AoMudarOTexto();

    int32_t FMinimo = 1;
    int32_t FMaximo = 100;
    int32_t FPosicao = 1;
};

} // namespace tavrelo

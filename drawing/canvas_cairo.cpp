#include "drawing/canvas_cairo.h"

#include "core/tipos.h"

#include "drawing/recursos.h"

#include <algorithm>
#include <array>
#include <cairo-ft.h>
#include <charconv>
#include <cmath>
#include <cstring>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include <memory>
#include <new>
#include <numbers>
#include <stdexcept>

namespace tavrelo {

namespace {

// Far beyond any page, small enough that the dot arithmetic cannot overflow.
constexpr double LIMITE_PX = 1 << 28;

int32_t Arredondar(double AValor) {
    if (!std::isfinite(AValor)) {
        return 0;
    }
    // nearbyint rounds ties to even under the default rounding mode, as the device did.
    return static_cast<int32_t>(std::clamp(std::nearbyint(AValor), -LIMITE_PX, LIMITE_PX));
}

double Componente(int32_t ACinza) {
    return std::clamp(ACinza, 0, 255) / 255.0;
}

void UsarCinza(cairo_t* ACairo, int32_t ACinza) {
    const double g = Componente(ACinza);
    cairo_set_source_rgb(ACairo, g, g, g);
}

// One weight of the typeface, loaded from the program's own bytes.
struct TLetra {
    FT_Face Face = nullptr;
    cairo_font_face_t* Cairo = nullptr;
    double UnidadesPorEm = 0;
    double AscendenteWin = 0;
    double DescendenteWin = 0;
};

struct TLetras {
    FT_Library Biblioteca = nullptr;
    TLetra Normal;
    TLetra Negrito;
};

TLetra CarregarLetra(FT_Library ABiblioteca, std::string_view ANome) {
    const std::span<const unsigned char> dados = Recurso(ANome);
    TLetra letra;
    const FT_Error erro =
        dados.empty() ? FT_Err_Invalid_Argument
                      : FT_New_Memory_Face(ABiblioteca, dados.data(),
                                           static_cast<FT_Long>(dados.size()), 0, &letra.Face);
    if (erro == FT_Err_Out_Of_Memory) {
        throw std::bad_alloc();
    }
    if (erro != 0) {
        throw std::runtime_error("TCanvasCairo: o tipo de letra " + std::string(ANome) +
                                 " nao pode ser lido");
    }
    // The line box follows the font's Windows cell: usWinAscent above the baseline and
    // usWinDescent below it, which is the cell the text's top edge is measured from.
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(letra.Face, FT_SFNT_OS2));
    letra.UnidadesPorEm = letra.Face->units_per_EM;
    if (os2 != nullptr && os2->version != 0xFFFFu) {
        letra.AscendenteWin = os2->usWinAscent;
        letra.DescendenteWin = os2->usWinDescent;
    } else {
        letra.AscendenteWin = letra.Face->ascender;
        letra.DescendenteWin = -letra.Face->descender;
    }
    letra.Cairo = cairo_ft_font_face_create_for_ft_face(letra.Face, 0);
    if (cairo_font_face_status(letra.Cairo) == CAIRO_STATUS_NO_MEMORY) {
        throw std::bad_alloc();
    }
    if (cairo_font_face_status(letra.Cairo) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("TCanvasCairo: o tipo de letra " + std::string(ANome) +
                                 " nao pode ser usado");
    }
    return letra;
}

// Loaded once for the whole process and never released: cairo's font caches and any
// document still being written may refer to the faces until the program ends.
const TLetras* CarregarLetras() {
    auto letras = std::make_unique<TLetras>();
    const FT_Error erro = FT_Init_FreeType(&letras->Biblioteca);
    if (erro == FT_Err_Out_Of_Memory) {
        throw std::bad_alloc();
    }
    if (erro != 0) {
        throw std::runtime_error("TCanvasCairo: a biblioteca de tipos de letra nao arrancou");
    }
    letras->Normal = CarregarLetra(letras->Biblioteca, RECURSO_LETRA_NORMAL);
    letras->Negrito = CarregarLetra(letras->Biblioteca, RECURSO_LETRA_NEGRITO);
    return letras.release();
}

const TLetra& Letra(bool ANegrito) {
    static const TLetras* const letras = CarregarLetras();
    return ANegrito ? letras->Negrito : letras->Normal;
}

// cairo refuses text that is not UTF-8 and stops drawing the page; a bad byte becomes
// U+FFFD instead.
std::string Utf8Valido(const std::string& ATexto) {
    std::string r;
    r.reserve(ATexto.size());
    size_t i = 0;
    while (i < ATexto.size()) {
        uint32_t ponto = 0;
        const size_t n = SequenciaUtf8(ATexto, i, ponto);
        // A NUL would end the text early inside cairo.
        if (n > 0 && ponto != 0) {
            r.append(ATexto, i, n);
            i += n;
        } else {
            r += "\xEF\xBF\xBD";
            ++i;
        }
    }
    return r;
}

// A length in points for a tag's attributes, written the same whatever the locale.
std::string Pontos(double AMm) {
    std::array<char, 32> texto{};
    const double pt = std::isfinite(AMm) ? std::clamp(MmParaPt(AMm), -1e6, 1e6) : 0.0;
    const auto fim =
        std::to_chars(texto.data(), texto.data() + texto.size(), pt, std::chars_format::fixed, 3);
    return std::string(texto.data(), fim.ptr);
}

struct TDestruirSuperficie {
    void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
};
struct TDestruirContexto {
    void operator()(cairo_t* c) const { cairo_destroy(c); }
};
using TSuperficie = std::unique_ptr<cairo_surface_t, TDestruirSuperficie>;
using TContexto = std::unique_ptr<cairo_t, TDestruirContexto>;

struct TLeituraPng {
    std::span<const unsigned char> Dados;
    size_t Posicao = 0;
};

cairo_status_t LerPng(void* AFonte, unsigned char* ADestino, unsigned int ATamanho) {
    auto* leitura = static_cast<TLeituraPng*>(AFonte);
    if (leitura->Dados.size() - leitura->Posicao < ATamanho) {
        return CAIRO_STATUS_READ_ERROR;
    }
    std::memcpy(ADestino, leitura->Dados.data() + leitura->Posicao, ATamanho);
    leitura->Posicao += ATamanho;
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

std::string MotivoDoCairo(cairo_status_t AEstado) {
    switch (AEstado) {
    case CAIRO_STATUS_NO_MEMORY:
        throw std::bad_alloc();
    case CAIRO_STATUS_WRITE_ERROR:
        return "erro ao escrever o PDF";
    case CAIRO_STATUS_READ_ERROR:
    case CAIRO_STATUS_PNG_ERROR:
        return "erro ao ler uma imagem";
    case CAIRO_STATUS_TEMP_FILE_ERROR:
        return "não foi possível criar um ficheiro temporário";
    case CAIRO_STATUS_FREETYPE_ERROR:
    case CAIRO_STATUS_FONT_TYPE_MISMATCH:
    case CAIRO_STATUS_USER_FONT_ERROR:
        return "erro no tipo de letra";
    default:
        return Formatar("erro %d da biblioteca de desenho", static_cast<int>(AEstado));
    }
}

// The picture on an opaque white ground, so transparency never reaches the page as black.
cairo_surface_t* PngSobreBranco(std::span<const unsigned char> ADados, const std::string& ANome) {
    TLeituraPng leitura{ADados, 0};
    TSuperficie png(cairo_image_surface_create_from_png_stream(LerPng, &leitura));
    if (cairo_surface_status(png.get()) == CAIRO_STATUS_NO_MEMORY) {
        throw std::bad_alloc();
    }
    if (cairo_surface_status(png.get()) != CAIRO_STATUS_SUCCESS) {
        throw std::runtime_error("Imagem: o recurso " + ANome + " nao e uma imagem PNG valida");
    }
    if (cairo_image_surface_get_format(png.get()) == CAIRO_FORMAT_RGB24) {
        return png.release(); // opaque already, as the badge is shipped
    }
    const int largura = cairo_image_surface_get_width(png.get());
    const int altura = cairo_image_surface_get_height(png.get());
    TSuperficie plano(cairo_image_surface_create(CAIRO_FORMAT_RGB24, largura, altura));
    TContexto cr(cairo_create(plano.get()));
    cairo_set_source_rgb(cr.get(), 1, 1, 1);
    cairo_paint(cr.get());
    cairo_set_source_surface(cr.get(), png.get(), 0, 0);
    cairo_paint(cr.get());
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS ||
        cairo_surface_status(plano.get()) != CAIRO_STATUS_SUCCESS) {
        const cairo_status_t estado = cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS
                                          ? cairo_status(cr.get())
                                          : cairo_surface_status(plano.get());
        throw std::runtime_error("a imagem " + ANome + " não pôde ser preparada (" +
                                 MotivoDoCairo(estado) + ")");
    }
    cr.reset();
    cairo_surface_flush(plano.get());
    return plano.release();
}

std::string NomeDeDestino(const std::string& ANome) {
    static const char hex[] = "0123456789ABCDEF";
    std::string r = "'";
    for (const char c : ANome) {
        const auto b = static_cast<unsigned char>(c);
        if ((b >= 'a' && b <= 'z') || (b >= 'A' && b <= 'Z') || (b >= '0' && b <= '9') ||
            b == '-') {
            r += c;
        } else {
            r += '_';
            r += hex[b >> 4];
            r += hex[b & 0xF];
        }
    }
    return r + "'";
}

int32_t MmParaPx(double AMm, double ADpi) {
    return Arredondar(AMm / 25.4 * ADpi);
}

int32_t EspessuraEmPx(double AEspessuraPt, double ADpi) {
    return std::max(Arredondar(AEspessuraPt * ADpi / 72.0), 1);
}

int32_t TamanhoDaLetraEmPx(double ATamanhoPt, double ADpi) {
    return Arredondar(ATamanhoPt * ADpi / 72.0);
}

uint32_t CinzaParaCor(int32_t ACinza) {
    const auto g = static_cast<uint32_t>(std::clamp(ACinza, 0, 255));
    return g + g * 256u + g * 65536u;
}

TCaixaDeLinha CaixaDeLinha(int32_t AEmPx, bool ANegrito) {
    // Each side is rounded to whole dots on its own, as a device reports its cell.
    const TLetra& letra = Letra(ANegrito);
    TCaixaDeLinha caixa;
    caixa.Ascendente = Arredondar(letra.AscendenteWin * AEmPx / letra.UnidadesPorEm);
    caixa.Descendente = Arredondar(letra.DescendenteWin * AEmPx / letra.UnidadesPorEm);
    return caixa;
}

TCanvasCairo::TCanvasCairo(cairo_t* ACairo, int32_t ADpi, double ATracoMinimo)
    : FCairo(cairo_reference(ACairo)), FDpi(static_cast<double>(ADpi)), FTracoMinimo(ATracoMinimo) {
    // Unhinted metrics: advances scale linearly with the size, the same on every surface.
    cairo_font_options_t* opcoes = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(opcoes, CAIRO_HINT_METRICS_OFF);
    cairo_font_options_set_hint_style(opcoes, CAIRO_HINT_STYLE_NONE);
    cairo_set_font_options(FCairo, opcoes);
    cairo_font_options_destroy(opcoes);
}

TCanvasCairo::~TCanvasCairo() {
    cairo_destroy(FCairo);
}

int32_t TCanvasCairo::MmParaPx(double AMm) const {
    return tavrelo::MmParaPx(AMm, FDpi);
}

void TCanvasCairo::PreencherEContornar(double AEspessuraPt, int32_t AContorno,
                                       int32_t APreenchimento) {
    // Overlapping parts of a polygon alternate between inside and outside.
    cairo_set_fill_rule(FCairo, CAIRO_FILL_RULE_EVEN_ODD);
    if (APreenchimento != -1) {
        UsarCinza(FCairo, APreenchimento);
        cairo_fill_preserve(FCairo);
    }
    if (AContorno != -1) {
        UsarCinza(FCairo, AContorno);
        cairo_set_line_width(FCairo, LarguraDoTraco(AEspessuraPt));
        // A device pen: round ends and corners.
        cairo_set_line_cap(FCairo, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(FCairo, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(FCairo);
    }
    cairo_new_path(FCairo);
}

double TCanvasCairo::LarguraDoTraco(double AEspessuraPt) const {
    const double largura = EspessuraEmPx(AEspessuraPt, FDpi);
    if (FTracoMinimo <= 0) {
        return largura;
    }
    double dx = largura;
    double dy = 0;
    cairo_user_to_device_distance(FCairo, &dx, &dy);
    const double noEcra = std::hypot(dx, dy);
    return noEcra >= FTracoMinimo ? largura : largura * FTracoMinimo / noEcra;
}

void TCanvasCairo::Linha(double X1, double Y1, double X2, double Y2, double AEspessuraPt,
                         int32_t ACinza) {
    cairo_new_path(FCairo);
    cairo_move_to(FCairo, MmParaPx(X1), MmParaPx(Y1));
    cairo_line_to(FCairo, MmParaPx(X2), MmParaPx(Y2));
    PreencherEContornar(AEspessuraPt, ACinza, -1);
}

void TCanvasCairo::Rectangulo(double X, double Y, double ALargura, double AAltura,
                              double AEspessuraPt, int32_t AContorno, int32_t APreenchimento) {
    // Right and bottom come from the sums, not from the rounded origin plus a rounded size.
    const int32_t esquerda = MmParaPx(X);
    const int32_t topo = MmParaPx(Y);
    const int32_t direita = MmParaPx(X + ALargura);
    const int32_t fundo = MmParaPx(Y + AAltura);
    cairo_new_path(FCairo);
    cairo_rectangle(FCairo, esquerda, topo, direita - esquerda, fundo - topo);
    PreencherEContornar(AEspessuraPt, AContorno, APreenchimento);
}

void TCanvasCairo::Poligono(std::span<const TPontoMm> APontos, double AEspessuraPt,
                            int32_t AContorno, int32_t APreenchimento) {
    cairo_new_path(FCairo);
    for (const TPontoMm& p : APontos) {
        cairo_line_to(FCairo, MmParaPx(p.X), MmParaPx(p.Y));
    }
    if (!APontos.empty()) {
        cairo_close_path(FCairo);
    }
    PreencherEContornar(AEspessuraPt, AContorno, APreenchimento);
}

void TCanvasCairo::Elipse(double X, double Y, double ALargura, double AAltura, double AEspessuraPt,
                          int32_t AContorno, int32_t APreenchimento) {
    const double esquerda = MmParaPx(X);
    const double topo = MmParaPx(Y);
    const double direita = MmParaPx(X + ALargura);
    const double fundo = MmParaPx(Y + AAltura);
    cairo_new_path(FCairo);
    if (direita == esquerda || fundo == topo) {
        // A flat box has a flat ellipse: the pen still draws it as a line.
        cairo_rectangle(FCairo, esquerda, topo, direita - esquerda, fundo - topo);
    } else {
        cairo_save(FCairo);
        cairo_translate(FCairo, (esquerda + direita) / 2, (topo + fundo) / 2);
        cairo_scale(FCairo, (direita - esquerda) / 2, (fundo - topo) / 2);
        cairo_arc(FCairo, 0, 0, 1, 0, 2 * std::numbers::pi);
        cairo_close_path(FCairo);
        cairo_restore(FCairo);
    }
    PreencherEContornar(AEspessuraPt, AContorno, APreenchimento);
}

// The face and size stay on the context until a text asks for others: setting them costs
// cairo a look-up of its scaled fonts each time.
void TCanvasCairo::PrepararFonte(double ATamanhoPt, bool ANegrito) {
    const int32_t emPx = TamanhoDaLetraEmPx(ATamanhoPt, FDpi);
    if (FFonte.EmPx == emPx && FFonte.Negrito == ANegrito) {
        return;
    }
    cairo_set_font_face(FCairo, Letra(ANegrito).Cairo);
    cairo_set_font_size(FCairo, emPx);
    FFonte = {emPx, ANegrito};
}

int32_t TCanvasCairo::LarguraEmPx(const std::string& ATexto) {
    cairo_text_extents_t medida{};
    cairo_text_extents(FCairo, ATexto.c_str(), &medida);
    return Arredondar(medida.x_advance);
}

void TCanvasCairo::Texto(double X, double Y, const std::string& ATexto, double ATamanhoPt,
                         bool ANegrito, int32_t ACinza, TAlinhamento AAlinhamento) {
    // A font of no size would put the page's context in error and end its drawing.
    if (ATexto.empty() || ACinza == -1 || TamanhoDaLetraEmPx(ATamanhoPt, FDpi) <= 0) {
        return;
    }
    const std::string texto = Utf8Valido(ATexto);
    PrepararFonte(ATamanhoPt, ANegrito);
    int32_t x = MmParaPx(X);
    // Only an aligned text needs its width.
    if (AAlinhamento == TAlinhamento::alCentro) {
        x -= LarguraEmPx(texto) / 2;
    } else if (AAlinhamento == TAlinhamento::alDireita) {
        x -= LarguraEmPx(texto);
    }
    const int32_t topo = MmParaPx(Y);
    const TCaixaDeLinha caixa = CaixaDeLinha(TamanhoDaLetraEmPx(ATamanhoPt, FDpi), ANegrito);
    UsarCinza(FCairo, ACinza);
    cairo_new_path(FCairo);
    cairo_move_to(FCairo, x, topo + caixa.Ascendente);
    cairo_show_text(FCairo, texto.c_str());
    cairo_new_path(FCairo);
}

double TCanvasCairo::LarguraTexto(const std::string& ATexto, double ATamanhoPt, bool ANegrito) {
    if (ATexto.empty() || TamanhoDaLetraEmPx(ATamanhoPt, FDpi) <= 0) {
        return 0;
    }
    PrepararFonte(ATamanhoPt, ANegrito);
    return LarguraEmPx(Utf8Valido(ATexto)) / FDpi * 25.4;
}

double TCanvasCairo::AlturaTexto(double ATamanhoPt) {
    return CaixaDeLinha(TamanhoDaLetraEmPx(ATamanhoPt, FDpi), false).Altura() / FDpi * 25.4;
}

void TCanvasCairo::Imagem(double X, double Y, double ALargura, double AAltura,
                          const std::string& ANome) {
    const std::span<const unsigned char> dados = Recurso(ANome);
    if (dados.empty()) {
        throw std::runtime_error("Imagem: o recurso " + ANome + " nao existe no executavel");
    }
    const TSuperficie plano(PngSobreBranco(dados, ANome));
    const double esquerda = MmParaPx(X);
    const double topo = MmParaPx(Y);
    const double direita = MmParaPx(X + ALargura);
    const double fundo = MmParaPx(Y + AAltura);
    if (direita == esquerda || fundo == topo) {
        return;
    }
    const int largura = cairo_image_surface_get_width(plano.get());
    const int altura = cairo_image_surface_get_height(plano.get());
    cairo_save(FCairo);
    cairo_new_path(FCairo);
    cairo_translate(FCairo, esquerda, topo);
    cairo_scale(FCairo, (direita - esquerda) / largura, (fundo - topo) / altura);
    cairo_set_source_surface(FCairo, plano.get(), 0, 0);
    cairo_pattern_set_filter(cairo_get_source(FCairo), CAIRO_FILTER_GOOD);
    cairo_rectangle(FCairo, 0, 0, largura, altura);
    cairo_fill(FCairo);
    cairo_restore(FCairo);
}

bool TCanvasCairo::TemCaracter(uint32_t APonto, bool ANegrito) {
    // The face is shared with every page being drawn: cairo's lock guards it.
    PrepararFonte(12, ANegrito);
    cairo_scaled_font_t* fonte = cairo_get_scaled_font(FCairo);
    const FT_Face face = cairo_ft_scaled_font_lock_face(fonte);
    if (face == nullptr) {
        return false;
    }
    const bool tem = FT_Get_Char_Index(face, APonto) != 0;
    cairo_ft_scaled_font_unlock_face(fonte);
    return tem;
}

// Tag positions are read in points from the page's top-left corner, as the PDF surface
// itself measures, whatever the context's scale.
void TCanvasCairo::Destino(const std::string& ANome, double X, double Y) {
    const std::string atributos =
        "name=" + NomeDeDestino(ANome) + " x=" + Pontos(X) + " y=" + Pontos(Y);
    cairo_save(FCairo);
    cairo_identity_matrix(FCairo);
    cairo_tag_begin(FCairo, CAIRO_TAG_DEST, atributos.c_str());
    cairo_tag_end(FCairo, CAIRO_TAG_DEST);
    cairo_restore(FCairo);
}

void TCanvasCairo::Ligacao(double X, double Y, double ALargura, double AAltura,
                           const std::string& ADestino) {
    const std::string atributos = "dest=" + NomeDeDestino(ADestino) + " rect=[" + Pontos(X) + " " +
                                  Pontos(Y) + " " + Pontos(ALargura) + " " + Pontos(AAltura) + "]";
    cairo_save(FCairo);
    cairo_identity_matrix(FCairo);
    // A link of its own at the top of the structure makes cairo 1.16 refer to an object it
    // never writes; inside a span the file stays whole.
    cairo_tag_begin(FCairo, "Span", "");
    cairo_tag_begin(FCairo, CAIRO_TAG_LINK, atributos.c_str());
    cairo_tag_end(FCairo, CAIRO_TAG_LINK);
    cairo_tag_end(FCairo, "Span");
    cairo_restore(FCairo);
}

} // namespace tavrelo

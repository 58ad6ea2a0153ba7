// Draws the Creative Commons BY-NC-ND licence badge shown on the colophon. It is designed on a
// 1280 × 450 grid and written at the size it is printed, 30 × 10.546875 mm, at 600 dpi: 709 ×
// 249 pixels on opaque white, so every book carries a small picture that needs no flattening.
// Run at development time; its output is committed as resources/selo_cc_by_nc_nd.png and
// compiled into the programs.
#include <cairo.h>

#include <cmath>
#include <cstdio>

namespace {

// The design grid.
constexpr int Largura = 1280;
constexpr int Altura = 450;
// The picture: the printed size (composition/editorial.cpp) at 600 dpi, rounded to pixels.
constexpr double MM_LARGURA = 30;
constexpr double MM_ALTURA = 10.546875;
constexpr double DPI = 600;
const int LarguraPx = static_cast<int>(std::lround(MM_LARGURA / 25.4 * DPI));
const int AlturaPx = static_cast<int>(std::lround(MM_ALTURA / 25.4 * DPI));
constexpr double Pi = 3.14159265358979323846;

void Cinza(cairo_t* cr, double g) {
    cairo_set_source_rgb(cr, g, g, g);
}

void CaminhoArredondado(cairo_t* cr, double x, double y, double w, double h, double r) {
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -Pi / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, Pi / 2);
    cairo_arc(cr, x + r, y + h - r, r, Pi / 2, Pi);
    cairo_arc(cr, x + r, y + r, r, Pi, 3 * Pi / 2);
    cairo_close_path(cr);
}

// A white disc with a black ring, the ground of every mark.
void Disco(cairo_t* cr, double cx, double cy, double r, double anel) {
    cairo_arc(cr, cx, cy, r, 0, 2 * Pi);
    Cinza(cr, 1);
    cairo_fill_preserve(cr);
    cairo_set_line_width(cr, anel);
    Cinza(cr, 0);
    cairo_stroke(cr);
}

// One "c": a thick arc open to the right.
void Ce(cairo_t* cr, double cx, double cy, double r, double espessura) {
    cairo_new_path(cr);
    cairo_arc(cr, cx, cy, r, Pi / 4, 7 * Pi / 4);
    cairo_set_line_width(cr, espessura);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    Cinza(cr, 0);
    cairo_stroke(cr);
}

// The labels and the currency sign are drawn as strokes, so the picture does not depend on
// the fonts of the machine that makes it. Letters stand in a box of width W and height H
// whose top-left corner is (x, y); t is the stroke width.
constexpr double AlturaLetra = 76;
constexpr double Traco = 17;

void Tracar(cairo_t* cr) {
    cairo_set_line_width(cr, Traco);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_MITER);
    cairo_set_miter_limit(cr, 1.5); // the sharp corners of N are cut, not spiked
    cairo_stroke(cr);
}

// Half the stroke inside the box on every side.
void LetraB(cairo_t* cr, double x, double y, double W) {
    const double h = AlturaLetra - Traco;
    const double x0 = x + Traco / 2;
    const double y0 = y + Traco / 2;
    const double rc = h / 4;     // upper bowl
    const double rb = h / 4 + 1; // lower bowl
    cairo_new_path(cr);
    cairo_move_to(cr, x0 + W - Traco - rc - 4, y0);
    cairo_line_to(cr, x0, y0);
    cairo_line_to(cr, x0, y0 + h);
    cairo_line_to(cr, x0 + W - Traco - rb, y0 + h);
    cairo_arc_negative(cr, x0 + W - Traco - rb, y0 + h - rb, rb, Pi / 2, -Pi / 2);
    cairo_line_to(cr, x0, y0 + h / 2);
    cairo_move_to(cr, x0 + W - Traco - rc - 4, y0 + h / 2);
    cairo_arc_negative(cr, x0 + W - Traco - rc - 4, y0 + rc, rc, Pi / 2, -Pi / 2);
    Tracar(cr);
}

void LetraY(cairo_t* cr, double x, double y, double W) {
    const double cx = x + W / 2;
    const double meio = y + AlturaLetra * 0.52;
    cairo_new_path(cr);
    cairo_move_to(cr, x + Traco * 0.4, y);
    cairo_line_to(cr, cx, meio);
    cairo_line_to(cr, x + W - Traco * 0.4, y);
    cairo_move_to(cr, cx, meio);
    cairo_line_to(cr, cx, y + AlturaLetra);
    Tracar(cr);
}

void LetraN(cairo_t* cr, double x, double y, double W) {
    const double x0 = x + Traco / 2;
    const double x1 = x + W - Traco / 2;
    cairo_new_path(cr);
    cairo_move_to(cr, x0, y + AlturaLetra);
    cairo_line_to(cr, x0, y + Traco / 2);
    cairo_line_to(cr, x1, y + AlturaLetra - Traco / 2);
    cairo_line_to(cr, x1, y);
    Tracar(cr);
}

void LetraC(cairo_t* cr, double x, double y, double W) {
    const double r = (AlturaLetra - Traco) / 2;
    cairo_new_path(cr);
    cairo_save(cr);
    cairo_translate(cr, x + W / 2, y + AlturaLetra / 2);
    cairo_scale(cr, (W - Traco) / 2 / r, 1);
    cairo_arc(cr, 0, 0, r, Pi / 4, 7 * Pi / 4);
    cairo_restore(cr);
    Tracar(cr);
}

void LetraD(cairo_t* cr, double x, double y, double W) {
    const double h = AlturaLetra - Traco;
    const double x0 = x + Traco / 2;
    const double y0 = y + Traco / 2;
    const double r = h / 2;
    const double reta = W - Traco - r;
    cairo_new_path(cr);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x0 + reta, y0);
    cairo_arc(cr, x0 + reta, y0 + r, r, -Pi / 2, Pi / 2);
    cairo_line_to(cr, x0, y0 + h);
    cairo_close_path(cr);
    Tracar(cr);
}

// A two-letter label centred on (cx, cy).
void Rotulo(cairo_t* cr, const char* ARotulo, double cx, double cy) {
    constexpr double W = 58;
    constexpr double Espaco = 12;
    const double x = cx - W - Espaco / 2;
    const double y = cy - AlturaLetra / 2;
    for (int i = 0; i < 2; ++i) {
        const double xl = x + i * (W + Espaco);
        switch (ARotulo[i]) {
        case 'B':
            LetraB(cr, xl, y, W);
            break;
        case 'Y':
            LetraY(cr, xl, y, W);
            break;
        case 'N':
            LetraN(cr, xl, y, W);
            break;
        case 'C':
            LetraC(cr, xl, y, W);
            break;
        case 'D':
            LetraD(cr, xl, y, W);
            break;
        default:
            break;
        }
    }
}

// A dollar sign: an S of two arcs and a bar through it.
void Cifrao(cairo_t* cr, double cx, double cy) {
    const double r = 29;
    cairo_new_path(cr);
    cairo_arc_negative(cr, cx, cy - r, r, -Pi / 6, Pi / 2);
    cairo_arc(cr, cx, cy + r, r, -Pi / 2, Pi - Pi / 6);
    cairo_set_line_width(cr, 15);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_stroke(cr);
    cairo_rectangle(cr, cx - 6, cy - 2 * r - 22, 12, 4 * r + 44);
    cairo_fill(cr);
}

// BY: a person, head and body.
void MarcaBy(cairo_t* cr, double cx, double cy) {
    Cinza(cr, 0);
    cairo_arc(cr, cx, cy - 52, 19, 0, 2 * Pi);
    cairo_fill(cr);
    CaminhoArredondado(cr, cx - 34, cy - 26, 68, 56, 14);
    cairo_fill(cr);
    cairo_rectangle(cr, cx - 20, cy + 22, 17, 52);
    cairo_rectangle(cr, cx + 3, cy + 22, 17, 52);
    cairo_fill(cr);
}

// NC: a currency sign struck through.
void MarcaNc(cairo_t* cr, double cx, double cy, double r) {
    Cinza(cr, 0);
    Cifrao(cr, cx, cy);
    const double d = r * std::cos(Pi / 4) - 6;
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_move_to(cr, cx - d, cy - d);
    cairo_line_to(cr, cx + d, cy + d);
    Cinza(cr, 1);
    cairo_set_line_width(cr, 26);
    cairo_stroke_preserve(cr);
    Cinza(cr, 0);
    cairo_set_line_width(cr, 12);
    cairo_stroke(cr);
}

// ND: an equals sign.
void MarcaNd(cairo_t* cr, double cx, double cy) {
    Cinza(cr, 0);
    cairo_rectangle(cr, cx - 52, cy - 34, 104, 24);
    cairo_rectangle(cr, cx - 52, cy + 10, 104, 24);
    cairo_fill(cr);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "Uso: tavrelo-selo FICHEIRO.png\n");
        return 2;
    }
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, LarguraPx, AlturaPx);
    cairo_t* cr = cairo_create(s);
    // White outside the rounded frame, as on the page.
    Cinza(cr, 1);
    cairo_paint(cr);
    cairo_scale(cr, static_cast<double>(LarguraPx) / Largura,
                static_cast<double>(AlturaPx) / Altura);

    // Frame: black outline, light grey field, black label strip at the bottom right.
    CaminhoArredondado(cr, 6, 6, Largura - 12, Altura - 12, 34);
    Cinza(cr, 0);
    cairo_fill(cr);
    CaminhoArredondado(cr, 22, 22, Largura - 44, Altura - 44, 22);
    cairo_set_source_rgb(cr, 0.671, 0.694, 0.667);
    cairo_fill(cr);
    cairo_rectangle(cr, 430, 318, Largura - 452, Altura - 22 - 318);
    Cinza(cr, 0);
    cairo_fill(cr);

    // The "cc" mark.
    const double ccX = 228;
    const double ccY = 225;
    Disco(cr, ccX, ccY, 176, 30);
    Ce(cr, ccX - 60, ccY, 46, 30);
    Ce(cr, ccX + 62, ccY, 46, 30);

    // The three conditions, each on its disc with its label underneath.
    const double marcasY = 168;
    const double raio = 112;
    const double xs[3] = {572, 842, 1112};
    const char* rotulos[3] = {"BY", "NC", "ND"};
    for (int i = 0; i < 3; ++i)
        Disco(cr, xs[i], marcasY, raio, 14);
    MarcaBy(cr, xs[0], marcasY);
    MarcaNc(cr, xs[1], marcasY, raio);
    MarcaNd(cr, xs[2], marcasY);
    Cinza(cr, 1);
    for (int i = 0; i < 3; ++i)
        Rotulo(cr, rotulos[i], xs[i], 374);

    cairo_destroy(cr);
    const cairo_status_t st = cairo_surface_write_to_png(s, argv[1]);
    cairo_surface_destroy(s);
    if (st != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "Não foi possível escrever %s: %s\n", argv[1],
                     cairo_status_to_string(st));
        return 1;
    }
    return 0;
}

// PDFs made by hand, as someone who wants to harm a reader of PDFs would make them: any text
// in the document information's Keywords, and a document information kept in an object stream
// compressed twice, small on the disk and gigabytes once inflated.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace teste {

// ATexto (UTF-8) as a PDF string in UTF-16BE with its byte order mark, as a reader gives it
// back whole: control characters and all.
inline std::string TextoPdf(const std::string& ATexto) {
    std::string r = "<FEFF";
    const auto unidade = [&](uint32_t AUnidade) {
        char hex[5];
        std::snprintf(hex, sizeof hex, "%04X", AUnidade);
        r += hex;
    };
    for (size_t i = 0; i < ATexto.size();) {
        const auto byte = [&](size_t k) { return static_cast<unsigned char>(ATexto[i + k]); };
        uint32_t ponto = byte(0);
        size_t n = 1;
        if (ponto >= 0xF0 && i + 3 < ATexto.size()) {
            ponto = ((ponto & 7u) << 18) | ((byte(1) & 63u) << 12) | ((byte(2) & 63u) << 6) |
                    (byte(3) & 63u);
            n = 4;
        } else if (ponto >= 0xE0 && i + 2 < ATexto.size()) {
            ponto = ((ponto & 15u) << 12) | ((byte(1) & 63u) << 6) | (byte(2) & 63u);
            n = 3;
        } else if (ponto >= 0xC0 && i + 1 < ATexto.size()) {
            ponto = ((ponto & 31u) << 6) | (byte(1) & 63u);
            n = 2;
        }
        if (ponto >= 0x10000) {
            unidade(0xD800 + ((ponto - 0x10000) >> 10));
            unidade(0xDC00 + ((ponto - 0x10000) & 0x3FF));
        } else {
            unidade(ponto);
        }
        i += n;
    }
    return r + ">";
}

// A PDF with no page whose document information is the dictionary AInfo ("<< /Keywords … >>").
inline std::string PdfComInfo(const std::string& AInfo) {
    std::string pdf = "%PDF-1.4\n";
    std::vector<size_t> posicoes;
    for (const std::string& objeto : {std::string("<< /Type /Catalog /Pages 2 0 R >>"),
                                      std::string("<< /Type /Pages /Kids [] /Count 0 >>"), AInfo}) {
        posicoes.push_back(pdf.size());
        pdf += std::to_string(posicoes.size()) + " 0 obj\n" + objeto + "\nendobj\n";
    }
    const size_t xref = pdf.size();
    pdf += "xref\n0 4\n0000000000 65535 f \n";
    for (const size_t p : posicoes) {
        char linha[21];
        std::snprintf(linha, sizeof linha, "%010zu 00000 n \n", p);
        pdf += linha;
    }
    return pdf + "trailer\n<< /Size 4 /Root 1 0 R /Info 3 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
}

namespace detalhe {

inline std::string Comprimir(const std::string& ADados) {
    uLongf tamanho = compressBound(static_cast<uLong>(ADados.size()));
    std::string r(tamanho, '\0');
    if (compress2(reinterpret_cast<Bytef*>(r.data()), &tamanho,
                  reinterpret_cast<const Bytef*>(ADados.data()), static_cast<uLong>(ADados.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        throw std::runtime_error("compress2");
    }
    r.resize(tamanho);
    return r;
}

// The zlib stream of APrefixo followed by AMegabytes MiB of blanks, made without compressing
// them all: after a full flush the compressor starts afresh, so each MiB of blanks comes out
// as the same bytes, written as many times as needed; the checksum is combined likewise.
inline std::string ComprimirBranco(const std::string& APrefixo, size_t AMegabytes) {
    const std::string branco(1u << 20, ' ');
    z_stream z{};
    if (deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, 15, 9, Z_RLE) != Z_OK) {
        throw std::runtime_error("deflateInit2");
    }
    const auto passar = [&](const std::string& ADados, int AFlush) {
        std::string saida(compressBound(static_cast<uLong>(ADados.size())) + 64, '\0');
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(ADados.data()));
        z.avail_in = static_cast<uInt>(ADados.size());
        z.next_out = reinterpret_cast<Bytef*>(saida.data());
        z.avail_out = static_cast<uInt>(saida.size());
        if (deflate(&z, AFlush) == Z_STREAM_ERROR || z.avail_in != 0) {
            throw std::runtime_error("deflate");
        }
        saida.resize(saida.size() - z.avail_out);
        return saida;
    };
    std::string r = passar(APrefixo, Z_FULL_FLUSH);
    const std::string bloco = passar(branco, Z_FULL_FLUSH);
    if (passar(branco, Z_FULL_FLUSH) != bloco) {
        throw std::runtime_error("the blocks of blanks differ");
    }
    for (size_t i = 0; i < AMegabytes; ++i) {
        r += bloco;
    }
    std::string fim = passar("", Z_FINISH);
    deflateEnd(&z);
    uLong soma = adler32(1, reinterpret_cast<const Bytef*>(APrefixo.data()),
                         static_cast<uInt>(APrefixo.size()));
    const uLong somaDoBloco =
        adler32(1, reinterpret_cast<const Bytef*>(branco.data()), static_cast<uInt>(branco.size()));
    for (size_t i = 0; i < AMegabytes; ++i) {
        soma = adler32_combine(soma, somaDoBloco, static_cast<z_off_t>(branco.size()));
    }
    for (size_t k = 0; k < 4; ++k) {
        fim[fim.size() - 4 + k] = static_cast<char>((soma >> (24 - 8 * k)) & 0xFF);
    }
    return r + fim;
}

} // namespace detalhe

// A PDF of a few kilobytes whose document information (the Keywords AInfo) sits in an object
// stream compressed twice with Flate, which inflates to AMegabytes MiB: a reader without a
// limit of its own takes that much memory to find the Keywords.
inline std::string PdfBomba(size_t AMegabytes, const std::string& APalavras = "(TAVRELO)") {
    const std::string cabecalho = "4 0 ";
    const std::string fluxo = detalhe::Comprimir(
        detalhe::ComprimirBranco(cabecalho + "<< /Keywords " + APalavras + " >>", AMegabytes));
    std::string pdf = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n";
    std::vector<size_t> posicoes;
    const auto objeto = [&](const std::string& ATexto) {
        posicoes.push_back(pdf.size());
        pdf += std::to_string(posicoes.size()) + " 0 obj\n" + ATexto + "\nendobj\n";
    };
    objeto("<< /Type /Catalog /Pages 2 0 R >>");
    objeto("<< /Type /Pages /Kids [] /Count 0 >>");
    objeto("<< /Type /ObjStm /N 1 /First " + std::to_string(cabecalho.size()) +
           " /Filter [/FlateDecode /FlateDecode] /Length " + std::to_string(fluxo.size()) +
           " >>\nstream\n" + fluxo + "\nendstream");
    posicoes.push_back(0); // object 4, in the object stream
    // The cross-reference stream, object 5: type, 4 bytes of offset or stream, 2 of index.
    const size_t xref = pdf.size();
    posicoes.push_back(xref);
    std::string entradas;
    const auto entrada = [&](int ATipo, size_t ACampo, int AIndice) {
        entradas += static_cast<char>(ATipo);
        for (int k = 3; k >= 0; --k) {
            entradas += static_cast<char>((ACampo >> (8 * k)) & 0xFF);
        }
        entradas += static_cast<char>((AIndice >> 8) & 0xFF);
        entradas += static_cast<char>(AIndice & 0xFF);
    };
    entrada(0, 0, 0xFFFF);
    entrada(1, posicoes[0], 0);
    entrada(1, posicoes[1], 0);
    entrada(1, posicoes[2], 0);
    entrada(2, 3, 0);
    entrada(1, posicoes[4], 0);
    pdf += "5 0 obj\n<< /Type /XRef /Size 6 /W [1 4 2] /Root 1 0 R /Info 4 0 R /Length " +
           std::to_string(entradas.size()) + " >>\nstream\n" + entradas + "\nendstream\nendobj\n";
    return pdf + "startxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

} // namespace teste

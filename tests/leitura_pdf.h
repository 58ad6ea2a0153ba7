// Reading the output of the PDF tools that tests run on a written file.
#pragma once

#include <sstream>
#include <string>
#include <vector>

namespace teste {

// The lines of a reader's output, each split at blanks.
inline std::vector<std::vector<std::string>> Linhas(const std::string& ASaida) {
    std::vector<std::vector<std::string>> linhas;
    std::istringstream texto(ASaida);
    std::string linha;
    while (std::getline(texto, linha)) {
        std::istringstream palavras(linha);
        std::vector<std::string> l;
        for (std::string p; palavras >> p;) {
            l.push_back(p);
        }
        linhas.push_back(l);
    }
    return linhas;
}

// The value of a "Name:   value" line of pdfinfo.
inline std::string Campo(const std::string& ASaida, const std::string& ANome) {
    std::istringstream texto(ASaida);
    std::string linha;
    while (std::getline(texto, linha)) {
        if (linha.rfind(ANome + ":", 0) == 0) {
            const size_t inicio = linha.find_first_not_of(' ', ANome.size() + 1);
            return inicio == std::string::npos ? "" : linha.substr(inicio);
        }
    }
    return "?";
}

inline std::string Citado(const std::string& ACaminho) {
    return "'" + ACaminho + "'";
}

} // namespace teste

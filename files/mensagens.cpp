#include "files/mensagens.h"

#include "core/tipos.h"
#include "files/descritor.h"
#include "files/ficheiro.h"

#include <cerrno>
#include <cstdint>
#include <iostream>
#include <unistd.h>

namespace tavrelo {

namespace {

// One byte of a name that may not be shown as it is.
void EscaparByte(std::string& ATexto, unsigned char AByte) {
    switch (AByte) {
    case '\\':
        ATexto += "\\\\";
        return;
    case '\n':
        ATexto += "\\n";
        return;
    case '\t':
        ATexto += "\\t";
        return;
    case '\r':
        ATexto += "\\r";
        return;
    default:
        ATexto += Formatar("\\%03o", AByte);
        return;
    }
}

// Whether a character acts on a terminal instead of showing: C0, DEL and C1 controls.
bool Controlo(uint32_t APonto) {
    return APonto < 0x20 || (APonto >= 0x7F && APonto < 0xA0);
}

} // namespace

std::string MotivoDoErro(int AErro) {
    switch (AErro) {
    case ERRO_FICHEIRO_DE_OUTRO_PROGRAMA:
        return "é um ficheiro aberto por outro programa (indique o seu caminho)";
    case ERRO_TEMPORARIO_TROCADO:
        return "o ficheiro temporário foi trocado por outro durante a gravação";
    case ERRO_DESTINO_MUDOU:
        return "deixou de ser um ficheiro comum durante a gravação";
    case ERRO_PASTA_APAGADA:
        return "a pasta foi apagada durante a gravação";
    case ERRO_TEMPORARIO_APAGADO:
        return "o ficheiro temporário foi apagado durante a gravação";
    case ENOENT:
        return "a pasta não existe";
    case ENOTDIR:
        return "o caminho passa por algo que não é uma pasta";
    case EACCES:
    case EPERM:
        return "sem permissão para escrever";
    case EROFS:
        return "o disco só permite leitura";
    case ENOSPC:
        return "não há espaço livre no disco";
    case EDQUOT:
        return "a quota de disco do utilizador está esgotada";
    case EISDIR:
        return "é uma pasta";
    case ENAMETOOLONG:
        return "o nome é demasiado comprido";
    case ELOOP:
        return "há demasiadas ligações simbólicas encadeadas";
    case EMLINK:
        return "o ficheiro tem demasiadas ligações fixas";
    case EFBIG:
        return "o ficheiro excede o tamanho máximo permitido";
    case EMFILE:
        return "o programa tem demasiados ficheiros abertos";
    case ENFILE:
        return "o sistema tem demasiados ficheiros abertos";
    case EBUSY:
        return "o ficheiro ou dispositivo está ocupado";
    case ETXTBSY:
        return "o ficheiro é um programa em execução";
    case EIO:
        return "erro de entrada/saída no disco";
    case ENOMEM:
        return "não há memória suficiente";
    case EBADF:
        return "o descritor não está aberto para escrita";
    case ENXIO:
        return "o dispositivo não está disponível";
    case ECONNREFUSED:
        return "nenhum programa está à escuta nesse socket";
    case EPROTOTYPE:
        return "esse socket não aceita um fluxo de dados";
    case EPIPE:
        return "o programa que lia do outro lado já fechou a ligação";
    case EXDEV:
        return "o ficheiro está noutro sistema de ficheiros";
    case EOPNOTSUPP:
        return "o sistema de ficheiros não permite esta operação";
    case ESTALE:
        return "o ficheiro deixou de existir no servidor";
    default:
        return Formatar("erro do sistema n.º %d", AErro);
    }
}

std::string NomeParaMostrar(std::string_view ANome) {
    std::string r;
    r.reserve(ANome.size());
    size_t i = 0;
    while (i < ANome.size()) {
        uint32_t ponto = 0;
        const size_t n = SequenciaUtf8(ANome, i, ponto);
        if (n == 0 || Controlo(ponto) || ponto == '\\') {
            // Every byte of it, so that the escapes say exactly which bytes the name holds.
            for (const size_t fim = i + (n == 0 ? 1 : n); i < fim; ++i) {
                EscaparByte(r, static_cast<unsigned char>(ANome[i]));
            }
            continue;
        }
        r.append(ANome.substr(i, n));
        i += n;
    }
    return r;
}

bool TemControlos(std::string_view ATexto) {
    size_t i = 0;
    while (i < ATexto.size()) {
        uint32_t ponto = 0;
        const size_t n = SequenciaUtf8(ATexto, i, ponto);
        if (n == 0 || Controlo(ponto)) {
            return true;
        }
        i += n;
    }
    return false;
}

std::string MensagemDeFalha(const std::string& ACaminho, const std::string& AMotivo) {
    if (ACaminho == "-") {
        return "Não foi possível escrever na saída padrão: " + AMotivo + ".";
    }
    return "Não foi possível gravar " + NomeParaMostrar(ACaminho) + ": " + AMotivo + ".";
}

bool MostrarTextos(int ADescritor, std::initializer_list<std::string_view> ATextos) {
    if (ADescritor == STDOUT_FILENO && FechadoNoInicio(STDOUT_FILENO)) {
        std::cerr << MensagemDeFalha("-", "está fechada") << "\n";
        return false;
    }
    for (const std::string_view texto : ATextos) {
        const TEscritaCompleta escrita = EscreverTudo(ADescritor, texto);
        if (escrita.Erro != 0) {
            if (ADescritor == STDOUT_FILENO) {
                std::cerr << MensagemDeFalha("-", MotivoDoErro(escrita.Erro)) << "\n";
            }
            return ADescritor != STDOUT_FILENO;
        }
    }
    return true;
}

} // namespace tavrelo

#include "files/descritor.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace tavrelo {

TDescritor& TDescritor::operator=(TDescritor&& AOutro) noexcept {
    if (this != &AOutro) {
        Fechar();
        FDescritor = AOutro.Largar();
    }
    return *this;
}

int TDescritor::Largar() noexcept {
    const int d = FDescritor;
    FDescritor = -1;
    return d;
}

int TDescritor::Fechar() noexcept {
    if (FDescritor < 0) {
        return 0;
    }
    const int d = Largar();
    return ::close(d) != 0 && errno != EINTR ? errno : 0;
}

TEscritaCompleta EscreverTudo(int ADescritor, std::string_view ATexto) noexcept {
    TEscritaCompleta r;
    while (!ATexto.empty()) {
        const ssize_t n = ::write(ADescritor, ATexto.data(), ATexto.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                pollfd espera{ADescritor, POLLOUT, 0};
                ::poll(&espera, 1, -1);
                continue;
            }
            r.Erro = errno;
            return r;
        }
        ATexto.remove_prefix(static_cast<size_t>(n));
        r.Escritos += static_cast<uint64_t>(n);
    }
    return r;
}

} // namespace tavrelo

// The UTF-8 decoder (SequenciaUtf8) read at every byte of any input, against utf8proc, an
// independent decoder: the same sequences are well formed, with the same code points, and
// each decodes from exactly the bytes that encode it again.
#include "comum.h"
#include "core/tipos.h"

#include <cstdint>
#include <cstring>
#include <string_view>
#include <utf8proc.h>

using teste_fuzz::Exigir;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* ADados, size_t ATamanho) {
    const std::string_view texto(reinterpret_cast<const char*>(ADados), ATamanho);
    for (size_t i = 0; i < texto.size(); ++i) {
        uint32_t ponto = 0;
        const size_t n = tavrelo::SequenciaUtf8(texto, i, ponto);
        Exigir(n <= 4 && i + n <= texto.size(), "a sequence stays inside the text");
        utf8proc_int32_t esperado = -1;
        const utf8proc_ssize_t m = utf8proc_iterate(
            ADados + i, static_cast<utf8proc_ssize_t>(texto.size() - i), &esperado);
        Exigir(n == (m > 0 ? static_cast<size_t>(m) : 0), "the same sequences are well formed");
        if (n > 0) {
            Exigir(ponto == static_cast<uint32_t>(esperado), "the same code point");
            utf8proc_uint8_t bytes[4] = {};
            const utf8proc_ssize_t k =
                utf8proc_encode_char(static_cast<utf8proc_int32_t>(ponto), bytes);
            Exigir(static_cast<size_t>(k) == n && std::memcmp(bytes, ADados + i, n) == 0,
                   "the code point encodes to the same bytes");
        }
    }
    return 0;
}

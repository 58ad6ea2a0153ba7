// What changes around a book while it is being written, between its first byte and the
// renames: the writer holds the target's folder and, before renaming, checks that its hidden
// file is still the one it wrote and that the target is still a file, or nothing.
#include "files/ficheiro.h"

#include "core/tipos.h"

#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <pwd.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavrelo {
namespace {

namespace fs = std::filesystem;

class MudancasDuranteAGravacao : public teste::TPastaTemporaria {
  protected:
    // Every name under the folder that starts with a dot: what a writer may leave behind.
    std::vector<std::string> Escondidos() const {
        std::vector<std::string> r;
        for (const auto& e : fs::recursive_directory_iterator(FPasta)) {
            if (e.path().filename().string()[0] == '.') {
                r.push_back(e.path().lexically_relative(FPasta).string());
            }
        }
        return r;
    }

    // The hidden file being written for ANome, in ANome's folder.
    std::string Temporario(const std::string& ANome) const {
        const fs::path nome(ANome);
        for (const auto& e : fs::directory_iterator(nome.parent_path())) {
            if (e.path().filename().string().rfind("." + nome.filename().string() + ".", 0) == 0) {
                return e.path().string();
            }
        }
        ADD_FAILURE() << "no temporary file for " << ANome;
        return {};
    }

    // The temporary file of ANome swapped for a link to another file, as someone who may
    // write the folder could do.
    void TrocarTemporario(const std::string& ANome) {
        const std::string temporario = Temporario(ANome);
        fs::remove(temporario);
        fs::create_symlink(Em("vitima"), temporario);
    }

    // ANome replaced by a folder that holds a file of its own.
    void TrocarPorPasta(const std::string& ANome) {
        fs::remove(ANome);
        fs::create_directory(ANome);
        Criar(ANome + "/capitulo", "meu");
    }
};

TEST_F(MudancasDuranteAGravacao, NadaEscritoNoQueNaoEOLivro) {
    const std::string pdf = Em("sub/livro.pdf");
    const std::string json = Em("sub/livro.json");
    const std::string trocado = "o ficheiro temporário foi trocado por outro durante a gravação";
    struct TCaso {
        const char* Nome;
        std::function<void()> Mudar;     // what happens while the book is being written
        bool Parar;                      // the book is stopped at the last moment
        std::string Falha;               // the message, empty when the book is written
        std::vector<std::string> Restos; // hidden names left: only what is not the writer's
        std::function<void()> Verificar; // what must be there afterwards
        std::string Onde = {};           // where the written PDF is said to be, if not pdf
    };
    const auto antigos = [&] {
        EXPECT_EQ(Ler(pdf), "antigo pdf");
        EXPECT_EQ(Ler(json), "antigo json");
    };
    const TCaso casos[] = {
        {"the PDF, the first file, made a folder: the folder is not moved aside",
         [&] { TrocarPorPasta(pdf); },
         false,
         "Não foi possível gravar " + pdf + ": é uma pasta.",
         {},
         [&] {
             EXPECT_EQ(Ler(pdf + "/capitulo"), "meu");
             EXPECT_EQ(Ler(json), "antigo json");
         }},
        {"the JSON, the last file, made a folder: the PDF goes back",
         [&] { TrocarPorPasta(json); },
         false,
         "Não foi possível gravar " + json + ": é uma pasta.",
         {},
         [&] {
             EXPECT_EQ(Ler(pdf), "antigo pdf");
             EXPECT_EQ(Ler(json + "/capitulo"), "meu");
         }},
        {"the PDF made a link: it is no longer the file that was judged",
         [&] {
             fs::remove(pdf);
             fs::create_symlink(Em("vitima"), pdf);
         },
         false,
         "Não foi possível gravar " + pdf + ": deixou de ser um ficheiro comum durante a gravação.",
         {},
         [&] {
             EXPECT_TRUE(fs::is_symlink(pdf));
             EXPECT_EQ(Ler(json), "antigo json");
         }},
        {"the PDF's temporary file swapped for a link",
         [&] { TrocarTemporario(pdf); },
         false,
         "Não foi possível gravar " + pdf + ": " + trocado + ".",
         {"sub/.livro.pdf."},
         antigos},
        {"the JSON's temporary file swapped for a link: the PDF goes back",
         [&] { TrocarTemporario(json); },
         false,
         "Não foi possível gravar " + json + ": " + trocado + ".",
         {"sub/.livro.json."},
         antigos},
        {"the folder renamed: the book goes where the folder went, and is said to be there",
         [&] { fs::rename(Em("sub"), Em("outra")); },
         false,
         "",
         {},
         [&] {
             EXPECT_FALSE(fs::exists(Em("sub")));
             EXPECT_EQ(Ler(Em("outra/livro.pdf")), "novo pdf");
             EXPECT_EQ(Ler(Em("outra/livro.json")), "novo json");
         },
         Em("outra/livro.pdf")},
        {"the folder removed: said as such, not as a file swapped",
         [&] { fs::remove_all(Em("sub")); },
         false,
         "Não foi possível gravar " + pdf + ": a pasta foi apagada durante a gravação.",
         {},
         [&] { EXPECT_FALSE(fs::exists(Em("sub"))); }},
        {"the PDF's temporary file removed",
         [&] { fs::remove(Temporario(pdf)); },
         false,
         "Não foi possível gravar " + pdf +
             ": o ficheiro temporário foi apagado durante a gravação.",
         {},
         antigos},
        {"the folder renamed, then the book stopped: nothing left in it",
         [&] { fs::rename(Em("sub"), Em("outra")); },
         true,
         "",
         {},
         [&] {
             EXPECT_EQ(Ler(Em("outra/livro.pdf")), "antigo pdf");
             EXPECT_EQ(Ler(Em("outra/livro.json")), "antigo json");
         }},
    };
    for (const TCaso& c : casos) {
        SCOPED_TRACE(c.Nome);
        fs::remove_all(FPasta);
        fs::create_directories(Em("sub"));
        Criar(pdf, "antigo pdf");
        Criar(json, "antigo json");
        Criar(Em("vitima"), "intacta");
        std::string falha;
        {
            TFicheiroAtomico a(pdf);
            TFicheiroAtomico b(json);
            a.Escrever("novo pdf");
            b.Escrever("novo json");
            c.Mudar();
            TFicheiroAtomico* const ambos[] = {&a, &b};
            try {
                EXPECT_EQ(ConfirmarJuntos(ambos, [&] { return !c.Parar; }), !c.Parar);
                if (!c.Parar) {
                    EXPECT_EQ(a.Onde(), c.Onde.empty() ? pdf : c.Onde);
                }
            } catch (const EVelt& e) {
                falha = e.what();
            }
        }
        EXPECT_EQ(falha, c.Falha);
        c.Verificar();
        EXPECT_EQ(Ler(Em("vitima")), "intacta");
        std::vector<std::string> restos = Escondidos();
        for (std::string& r : restos) {
            r = r.substr(0, r.size() - 6); // the random part
        }
        EXPECT_EQ(restos, c.Restos);
    }
}

// The folder made read-only while the book is written: nothing can be renamed there, nor
// removed. The older files stay, and the failure names the temporary files left behind, which
// are exactly those there. The superuser ignores a folder's permissions: as the superuser the
// writing is done by the user nobody, who owns the folder.
TEST_F(MudancasDuranteAGravacao, PastaSoDeLeituraNomeiaOQueFica) {
    const std::string pasta = Em("sub");
    const std::string pdf = Em("sub/livro.pdf");
    const std::string json = Em("sub/livro.json");
    fs::create_directories(pasta);
    Criar(pdf, "antigo pdf");
    Criar(json, "antigo json");
    const bool superutilizador = ::geteuid() == 0;
    if (superutilizador) {
        const passwd* ninguem = ::getpwnam("nobody");
        ASSERT_NE(ninguem, nullptr);
        ::chmod(FPasta.c_str(), 0755);
        for (const std::string& p : {pasta, pdf, json}) {
            ASSERT_EQ(::chown(p.c_str(), ninguem->pw_uid, ninguem->pw_gid), 0);
        }
    }
    int tubo[2];
    ASSERT_EQ(::pipe(tubo), 0);
    const auto gravar = [&] {
        std::string falha;
        try {
            TFicheiroAtomico a(pdf);
            TFicheiroAtomico b(json);
            a.Escrever("novo pdf");
            b.Escrever("novo json");
            ::chmod(pasta.c_str(), 0555);
            TFicheiroAtomico* const ambos[] = {&a, &b};
            ConfirmarJuntos(ambos);
        } catch (const EVelt& e) {
            falha = e.what();
        }
        const ssize_t escrito = ::write(tubo[1], falha.data(), falha.size());
        return escrito == static_cast<ssize_t>(falha.size()) ? 0 : 1;
    };
    if (superutilizador) {
        EXPECT_EQ(teste::CorrerNumFilho([&] { return teste::TornarSeNinguem() ? gravar() : 3; }),
                  0);
    } else {
        EXPECT_EQ(gravar(), 0);
    }
    ::close(tubo[1]);
    std::string falha;
    char bloco[4096];
    for (ssize_t n; (n = ::read(tubo[0], bloco, sizeof bloco)) > 0;) {
        falha.append(bloco, static_cast<size_t>(n));
    }
    ::close(tubo[0]);
    ::chmod(pasta.c_str(), 0755);

    EXPECT_EQ(Ler(pdf), "antigo pdf");
    EXPECT_EQ(Ler(json), "antigo json");
    std::string esperado = "Não foi possível gravar " + pdf + ": sem permissão para escrever.";
    const std::vector<std::string> restos = Escondidos();
    ASSERT_EQ(restos.size(), 2u) << falha;
    for (const std::string nome : {"livro.pdf", "livro.json"}) {
        const auto resto = std::find_if(restos.begin(), restos.end(), [&](const std::string& r) {
            return r.rfind("sub/." + std::string(nome) + ".", 0) == 0;
        });
        ASSERT_NE(resto, restos.end()) << nome;
        esperado += " O ficheiro temporário " + Em(*resto) +
                    " não pôde ser apagado (sem permissão para escrever): pode apagá-lo.";
    }
    EXPECT_EQ(falha, esperado);
}

} // namespace
} // namespace tavrelo

// What changes around a book while it is being written, between its first byte and the
// renames: the writer holds the target's folder and, before renaming, checks that its hidden
// file is still the one it wrote and that the target is still a file, or nothing.
#include "files/ficheiro.h"

#include "core/tipos.h"

#include "../pasta_temporaria.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
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
        {"the folder renamed: the book goes where the folder went",
         [&] { fs::rename(Em("sub"), Em("outra")); },
         false,
         "",
         {},
         [&] {
             EXPECT_FALSE(fs::exists(Em("sub")));
             EXPECT_EQ(Ler(Em("outra/livro.pdf")), "novo pdf");
             EXPECT_EQ(Ler(Em("outra/livro.json")), "novo json");
         }},
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

} // namespace
} // namespace tavrelo

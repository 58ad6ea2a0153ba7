// A fresh folder for each test that writes files, removed afterwards, and a way to run a
// command (a PDF reader, say) and keep what it printed.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <pwd.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace teste {

namespace fs = std::filesystem;

class TPastaTemporaria : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string modelo = (fs::temp_directory_path() / "tavrelo-teste-XXXXXX").string();
        ASSERT_NE(::mkdtemp(modelo.data()), nullptr);
        FPasta = modelo;
    }
    void TearDown() override {
        // A test may have taken the write permission away to see a save fail.
        std::error_code erro;
        fs::permissions(FPasta, fs::perms::owner_all, fs::perm_options::add, erro);
        for (const auto& e : fs::recursive_directory_iterator(FPasta, erro)) {
            if (e.is_directory(erro)) {
                fs::permissions(e.path(), fs::perms::owner_all, fs::perm_options::add, erro);
            }
        }
        fs::remove_all(FPasta, erro);
    }

    std::string Em(const std::string& ANome) const { return (FPasta / ANome).string(); }

    // The names in the folder, sorted: what a failed save must not leave behind.
    std::vector<std::string> Conteudo() const {
        std::vector<std::string> nomes;
        for (const auto& e : fs::directory_iterator(FPasta)) {
            nomes.push_back(e.path().filename().string());
        }
        std::sort(nomes.begin(), nomes.end());
        return nomes;
    }

    static std::string Ler(const std::string& ACaminho) {
        std::ifstream f(ACaminho, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
    static void Criar(const std::string& ACaminho, const std::string& ATexto) {
        std::ofstream(ACaminho, std::ios::binary) << ATexto;
    }
    static unsigned Modo(const std::string& ACaminho) {
        struct stat info {};
        EXPECT_EQ(::stat(ACaminho.c_str(), &info), 0);
        return info.st_mode & 07777;
    }

    fs::path FPasta;
};

struct TComando {
    int Estado = -1;   // exit status; -1 when it did not end normally
    std::string Saida; // standard output and errors together
};

// Runs AFilho in a child process and returns the status it exits with, or minus the signal
// that ended it: for what must not touch the test program itself (a user, a mount, a signal).
inline int CorrerNumFilho(const std::function<int()>& AFilho) {
    const pid_t filho = ::fork();
    if (filho == 0) {
        ::_exit(AFilho());
    }
    int estado = 0;
    if (filho < 0 || ::waitpid(filho, &estado, 0) != filho) {
        return -1000;
    }
    return WIFEXITED(estado) ? WEXITSTATUS(estado) : -WTERMSIG(estado);
}

// Becomes the user nobody, for a test of what a user who is not the superuser may do; false
// when the process cannot (it is not the superuser itself).
inline bool TornarSeNinguem() {
    const passwd* ninguem = ::getpwnam("nobody");
    return ninguem != nullptr && ::setgroups(0, nullptr) == 0 && ::setgid(ninguem->pw_gid) == 0 &&
           ::setuid(ninguem->pw_uid) == 0;
}

// Runs a shell command and keeps its output and exit status.
inline TComando CorrerComando(const std::string& AComando) {
    TComando r;
    FILE* p = ::popen((AComando + " 2>&1").c_str(), "r");
    if (p == nullptr) {
        return r;
    }
    char bloco[4096];
    size_t n = 0;
    while ((n = std::fread(bloco, 1, sizeof bloco, p)) > 0) {
        r.Saida.append(bloco, n);
    }
    const int estado = ::pclose(p);
    r.Estado = WIFEXITED(estado) ? WEXITSTATUS(estado) : -1;
    return r;
}

} // namespace teste

// What a path given to the writer names, found through its folder, which is then held open:
// every later step is done in that folder, whatever becomes of the path meanwhile (a folder
// renamed, a link changed). For the writer's own use.
#pragma once

#include "files/descritor.h"

#include <cstdint>
#include <string>
#include <sys/stat.h>

namespace tavrelo {

enum class TTipoDeAlvo : uint8_t {
    taNovo,      // nothing of that name yet: a new regular file
    taRegular,   // a regular file, replaced
    taDescritor, // an open descriptor of this process ("-", or named through /proc/<pid>/fd)
    taOutro,     // a device, FIFO or socket, or a stream of another process: written through
};

struct TAlvo {
    TTipoDeAlvo Tipo = TTipoDeAlvo::taNovo;
    TDescritor Pasta;        // the folder of the final target (O_PATH); none for taDescritor
    std::string Nome;        // the final target's name in that folder
    std::string Final;       // the path given, its links followed: for messages and sockets
    bool DeProcesso = false; // Pasta is /proc/<pid>/fd: Nome is a link to be followed
    struct stat Info {};     // of the final target, for taRegular and taOutro
    int Descritor = -1;      // for taDescritor
    int Erro = 0;            // nonzero: nothing here may be written (a reason for MotivoDoErro)
};

// Follows the links of the last part of ACaminho one at a time (the folders on the way are
// followed by the kernel), so that the file replaced is the final target and its temporary
// file is made beside it; a link into /proc/<pid>/fd names an open descriptor, not a file to
// replace, and stops there. Refused, with the reason in Erro: a folder; in a folder that
// everyone may write and that is sticky (/tmp), anything of a user other than this one or the
// folder's owner, as the kernel refuses to follow such links (fs.protected_*); a regular file
// this user may not write (the superuser may); a file another program has open.
TAlvo ResolverAlvo(const std::string& ACaminho);

// Where the folder held by APasta is now, or empty when the system does not say.
std::string CaminhoDaPasta(int APasta);

} // namespace tavrelo

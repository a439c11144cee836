#include "record/fileerror.h"

#include <cerrno>
#include <cstring>

std::string fileErrorReason(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return "disk je plný";
    case EACCES:
    case EPERM: return "do složky nelze zapisovat (chybí oprávnění)";
    case EROFS: return "disk je jen pro čtení";
    case ENOENT: return "složka neexistuje";
    case ENOTDIR: return "v cestě ke složce stojí soubor";
    case EIO: return "chyba vstupu/výstupu disku";
    case EFBIG: return "soubor přesáhl povolenou velikost";
    case EEXIST: return "takový soubor již existuje";
    default: return std::string("chyba zápisu: ") + std::strerror(error);
    }
}

#include "record/fileerror.h"

#include <cerrno>
#include <cstring>

std::string fileErrorReason(int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT: return "disk je plný";
    case EACCES:
    case EPERM: return "chybí oprávnění";
    case EROFS: return "disk je jen pro čtení";
    case ENOENT: return "soubor nebo složka neexistuje";
    case ENOTDIR: return "v cestě ke složce stojí soubor";
    case EISDIR: return "na místě souboru je složka";
    case EIO: return "chyba vstupu/výstupu disku";
    case EFBIG: return "soubor přesáhl povolenou velikost";
    case EEXIST: return "takový soubor již existuje";
    case ENAMETOOLONG: return "cesta je příliš dlouhá";
    case ELOOP: return "cesta obsahuje smyčku symbolických odkazů";
    case EMFILE:
    case ENFILE: return "program má otevřeno příliš mnoho souborů";
    case ENOMEM: return "nedostatek paměti";
    case ENXIO:
    case ENODEV: return "zařízení není připojeno";
    case ETXTBSY:
    case EBUSY: return "soubor je používán";
    default: break;
    }
    // Words for the rest would guess; the number lets a technician look it up.
    return std::string("chyba systému č. ") + std::to_string(error) + " (" + std::strerror(error) + ")";
}

std::string fileErrorText(const std::filesystem::path &file, int error)
{
    return file.string() + ": " + fileErrorReason(error);
}

#include "record/fileerror.h"

#include <gtest/gtest.h>

#include <cerrno>

// Each cause a race director meets is told in words; the number appears only
// for a cause without words of its own, beside the system's text.
TEST(FileErrorReason, TellsTheCauseInCzechWordsAndTheNumberOnlyAsAnAddition)
{
    const struct {
        int error;
        const char *reason;
    } cases[] = {
        {ENOENT, "soubor nebo složka neexistuje"},
        {EACCES, "chybí oprávnění"},
        {EPERM, "chybí oprávnění"},
        {ENOSPC, "disk je plný"},
        {EDQUOT, "disk je plný"},
        {EROFS, "disk je jen pro čtení"},
        {EISDIR, "na místě souboru je složka"},
        {ENOTDIR, "v cestě ke složce stojí soubor"},
        {EFBIG, "soubor přesáhl povolenou velikost"},
        {EIO, "chyba vstupu/výstupu disku"},
    };
    for (const auto &c : cases) {
        const std::string reason = fileErrorReason(c.error);
        EXPECT_EQ(reason, c.reason) << c.error;
        EXPECT_EQ(reason.find("kód"), std::string::npos);
    }
    const std::string unknown = fileErrorReason(EXDEV);
    EXPECT_EQ(unknown.rfind("chyba systému č. " + std::to_string(EXDEV) + " (", 0), 0u) << unknown;
    EXPECT_EQ(fileErrorText("/závody/zpráva.html", EROFS), "/závody/zpráva.html: disk je jen pro čtení");
}

// Arbitrary bytes as an INI file: the Windows-1250 decoding, which must give
// back the same bytes when encoded again, and the reader. Whatever the reader takes in must survive a save and a second load
// unchanged, unless a value holds a byte the code page leaves undefined, which
// the writer refuses rather than mangles.
#include "config/initext.h"
#include "fuzzrace.h"
#include "platform/codec.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

bool holdsUndefinedByte(const RaceSettings &settings)
{
    for (int i = 0; i < kSettingCount; ++i) {
        if (settings.at(i).find(kReplacementCharacter) != std::string::npos)
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::string text = cp1250ToUtf8(bytes);
    if (text.find(kReplacementCharacter) == std::string::npos)
        require(utf8ToCp1250(text) == bytes, "decoded bytes encode back to themselves");

    RaceSettings loaded;
    applyFactorySettings(loaded);
    if (readIniText(bytes, loaded).has_value())
        return 0;

    const std::optional<std::string> saved = iniFileText(loaded);
    if (!saved) {
        require(holdsUndefinedByte(loaded), "only values with undefined bytes are refused by the writer");
        return 0;
    }
    RaceSettings reloaded;
    require(!readIniText(*saved, reloaded).has_value(), "a saved file has all 28 keys");
    for (int i = 0; i < kSettingCount; ++i)
        require(reloaded.at(i) == loaded.at(i), "a saved file reads back the same values");
    return 0;
}

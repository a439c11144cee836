#include "platform/codec.h"

#include <cerrno>
#include <iconv.h>

namespace {

// One iconv conversion descriptor, closed when done.
class Converter {
public:
    Converter(const char *to, const char *from) : cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (valid())
            iconv_close(cd);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns the count of input bytes consumed and
    // appends the output. Stops at the first byte sequence it cannot convert.
    std::size_t convert(std::string_view input, std::string &output)
    {
        char *in = const_cast<char *>(input.data());
        std::size_t inLeft = input.size();
        char buffer[1024];
        while (inLeft > 0) {
            char *out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(cd, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG)
                break;
        }
        return input.size() - inLeft;
    }

private:
    iconv_t cd;
};

} // namespace

std::optional<std::string> utf8ToCp1250(std::string_view utf8)
{
    Converter converter("CP1250", "UTF-8");
    if (!converter.valid())
        return std::nullopt;
    std::string bytes;
    if (converter.convert(utf8, bytes) != utf8.size())
        return std::nullopt;
    return bytes;
}

std::string cp1250ToUtf8(std::string_view bytes)
{
    Converter converter("UTF-8", "CP1250");
    std::string text;
    while (!bytes.empty()) {
        const std::size_t done = converter.valid() ? converter.convert(bytes, text) : 0;
        bytes.remove_prefix(done);
        if (!bytes.empty()) {
            text += "\xEF\xBF\xBD"; // U+FFFD for a byte the code page does not define
            bytes.remove_prefix(1);
        }
    }
    return text;
}

bool fitsCp1250(std::string_view utf8)
{
    return utf8ToCp1250(utf8).has_value();
}

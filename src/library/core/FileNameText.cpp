#include "library/core/FileNameText.h"

#include "model/TextEncoding.h"

namespace {

constexpr unsigned char kUnassigned1251 = 0x98;

} // namespace

std::string ReadableFileName(std::string_view name)
{
    if (IsValidUtf8(name)) {
        return std::string(name);
    }
    std::string text;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && static_cast<unsigned char>(name[i]) != kUnassigned1251) {
            continue;
        }
        text += DecodeWindows1251(name.substr(start, i - start));
        if (i < name.size()) {
            text += "\\x98";
        }
        start = i + 1;
    }
    return text;
}

std::string ReadablePath(const std::filesystem::path& path)
{
    const std::string& bytes = path.native();
    std::string text;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = bytes.find('/', start);
        text += ReadableFileName(std::string_view(bytes).substr(start, slash - start));
        if (slash == std::string::npos) {
            return text;
        }
        text += '/';
        start = slash + 1;
    }
}

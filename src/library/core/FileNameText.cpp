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

std::string ShortenedText(std::string_view text, std::size_t maxCharacters)
{
    // Characters begin at every byte but the continuation bytes 10xxxxxx.
    const auto isStart = [&](std::size_t i) { return (static_cast<unsigned char>(text[i]) & 0xC0) != 0x80; };
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        count += isStart(i) ? 1 : 0;
    }
    if (count <= maxCharacters) {
        return std::string(text);
    }
    const std::size_t kept = maxCharacters > 0 ? maxCharacters - 1 : 0; // beside the ellipsis
    const std::size_t headCount = kept / 2;
    // The head ends where character headCount begins; the tail begins where
    // character count - (kept - headCount) does.
    const auto byteOfCharacter = [&](std::size_t index) {
        std::size_t i = 0;
        for (std::size_t seen = 0; i < text.size(); ++i) {
            if (isStart(i) && seen++ == index) {
                break;
            }
        }
        return i;
    };
    std::string shortened(text.substr(0, byteOfCharacter(headCount)));
    shortened += "\xE2\x80\xA6"; // U+2026, the ellipsis
    shortened += text.substr(byteOfCharacter(count - (kept - headCount)));
    return shortened;
}

std::string MessagePath(const std::filesystem::path& path)
{
    return ShortenedText(ReadablePath(path));
}

std::string PrintableText(std::string_view text)
{
    std::string printable(text);
    for (char& c : printable) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    return printable;
}

std::string TerminalPath(const std::filesystem::path& path)
{
    return PrintableText(MessagePath(path));
}

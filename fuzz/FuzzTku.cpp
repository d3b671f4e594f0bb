// Fuzz target for the .tku decoder: any bytes must decode into UTF-8 names and
// values without line breaks, encoding them and decoding again must give the
// same entries, and the V/2 and PR texts made of a value are plain numbers or
// empty, never "inf", "nan" or negative.
#include "cablelib/core/CableLibrary.h"
#include "model/TextEncoding.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

void RequireLine(const std::string& text)
{
    Require(IsValidUtf8(text));
    Require(text.find_first_of("\r\n") == std::string::npos);
}

// Empty, or digits with at most one '.'.
void RequireNumberOrEmpty(const std::string& text)
{
    Require(text.find_first_not_of("0123456789.") == std::string::npos);
    Require(text.empty() || (text.front() != '.' && text.find('.') == text.rfind('.')));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<CableEntry> entries = DecodeCableLibrary(bytes);
    // Every entry but a lone last name takes at least two line ends, four bytes.
    Require(entries.size() <= size / 4 + 1);
    for (const CableEntry& entry : entries) {
        RequireLine(entry.m_strName);
        RequireLine(entry.m_strValue);
        RequireNumberOrEmpty(CableCellText(entry.m_strValue, true));
        RequireNumberOrEmpty(CableStoredText(entry.m_strValue, true));
        Require(CableCellText(entry.m_strValue, false) == entry.m_strValue);
    }

    const std::string encoded = EncodeCableLibrary(entries);
    const std::vector<CableEntry> again = DecodeCableLibrary(encoded);
    Require(again.size() == entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        Require(again[i].m_strName == entries[i].m_strName);
        Require(again[i].m_strValue == entries[i].m_strValue);
    }
    Require(EncodeCableLibrary(again) == encoded);
    return 0;
}

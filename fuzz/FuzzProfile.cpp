// Fuzz target for the private-profile parser: any bytes must parse, answer
// lookups, take a new value and serialise to text that reads the value back.
#include "model/PrivateProfile.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

// The serialised text must be UTF-8: converting it changes nothing but a leading mark.
void RequireUtf8(const std::string& text)
{
    std::string_view body = text;
    if (body.starts_with("\xEF\xBB\xBF"))
        body.remove_prefix(3);
    Require(profile::ToUtf8(text) == body);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(32);
    const std::string key = input.ConsumeRandomLengthString(32);
    const std::string value = input.ConsumeRandomLengthString(64);
    const std::string file = input.ConsumeRemainingBytesAsString();

    (void)profile::LeadingInt(value);
    (void)profile::CleanValue(value);
    RequireUtf8(profile::ToUtf8(file));

    ProfileText text = ProfileText::Parse(file);
    if (const auto found = text.Find(section, key))
        (void)profile::LeadingInt(profile::CleanValue(*found));

    // Raw bytes as given, line breaks and bad encodings included.
    ProfileText raw = text;
    raw.Set(section, key, value);
    const std::string rawOut = raw.Serialise();
    RequireUtf8(rawOut);
    const bool namesUtf8 = profile::ToUtf8(section) == section && profile::ToUtf8(key) == key;
    if (namesUtf8 && profile::IsWritableName(section, key)) {
        const auto back = ProfileText::Parse(rawOut).Find(section, key);
        Require(back.has_value());
        Require(back->find_first_of("\r\n") == std::string::npos);
    }

    // A clean UTF-8 value under UTF-8 names must read back exactly.
    const std::string cleanSection = profile::ToUtf8(section);
    const std::string cleanKey = profile::ToUtf8(key);
    std::string cleanValue = profile::ToUtf8(value);
    for (char& c : cleanValue)
        if (c == '\r' || c == '\n')
            c = ' ';
    if (profile::IsWritableName(cleanSection, cleanKey)) {
        text.Set(cleanSection, cleanKey, cleanValue);
        Require(text.Find(cleanSection, cleanKey) == cleanValue);
        const std::string out = text.Serialise();
        RequireUtf8(out);
        Require(ProfileText::Parse(out).Find(cleanSection, cleanKey) == cleanValue);
    }
    return 0;
}

// Fuzz target for the private-profile parser: any bytes must parse, answer
// lookups, serialise back to themselves, take a new value and serialise to text
// that reads the value back.
#include "model/PrivateProfile.h"
#include "model/TextEncoding.h"

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

// Converting to UTF-8 gives UTF-8: doing it again changes nothing but a leading mark.
void RequireUtf8(const std::string& text)
{
    std::string_view body = text;
    if (body.starts_with("\xEF\xBB\xBF"))
        body.remove_prefix(3);
    Require(profile::ToUtf8(text) == body);
}

bool IsUtf16(const std::string& file)
{
    return file.starts_with("\xFF\xFE") || file.starts_with("\xFE\xFF");
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
        RequireUtf8(*found);
    // Lines keep their bytes (a UTF-16 file is rewritten as UTF-8).
    if (!IsUtf16(file))
        Require(text.Serialise() == file);

    // Raw bytes as given, line breaks and bad encodings included: the value's
    // bytes come back with line breaks turned into blanks.
    ProfileText raw = text;
    const bool set = raw.Set(section, key, value);
    Require(set == profile::IsWritableName(section, key));
    const std::string rawOut = raw.Serialise();
    const bool namesUtf8 = profile::ToUtf8(section) == section && profile::ToUtf8(key) == key;
    if (set && namesUtf8) {
        std::string expected = value;
        for (char& c : expected)
            if (c == '\r' || c == '\n')
                c = ' ';
        const auto back = ProfileText::Parse(rawOut).FindBytes(section, key);
        Require(back == expected);
    }
    // A path without line breaks comes back as its very bytes.
    ProfileText path = text;
    if (path.SetPath(section, key, value) && namesUtf8)
        Require(ProfileText::Parse(path.Serialise()).GetPath(section, key, "") == value ||
                !IsValidUtf8(value));

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
        Require(ProfileText::Parse(out).Find(cleanSection, cleanKey) == cleanValue);
    }
    return 0;
}

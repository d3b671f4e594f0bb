// One loaded waveform: the samples of a .tdr file, its decoded header and the
// state a memory channel keeps for it on the plot.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

struct Colour
{
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const Colour&, const Colour&) = default;
};

// Layout of a .tdr file: 128 little-endian 32-bit header words, then the samples.
inline constexpr std::size_t kTdrHeaderWords = 128;
inline constexpr std::size_t kTdrHeaderBytes = kTdrHeaderWords * 4;
inline constexpr std::size_t kTdrSampleCount = 8000;
inline constexpr std::size_t kTdrFileSize = kTdrHeaderBytes + kTdrSampleCount;
// Bytes that hold the interpreted header words 0..10.
inline constexpr std::size_t kTdrDecodedHeaderBytes = 11 * 4;

// Method codes of header word 10.
inline constexpr int32_t kMethodArc = 68;   // 'D'
inline constexpr int32_t kMethodPulse = 73; // 'I'
inline constexpr int32_t kMethodWare = 75;  // 'K'

// Header words 0..10 decoded into the record's units.
struct TdrHeader
{
    double m_dPulse = 0;      // ns
    double m_dScale = 0;      // m of position
    double m_dSampleStep = 0; // m of position per sample
    double m_dColumnStep = 0; // m_dScale / 500
    int32_t m_nAverages = 0;
    int32_t m_nGain = 0;
    int32_t m_nImpedance = 0;
    double m_dFileFactor = 0; // PR of the recording
    double m_dDelay = 0;
    int32_t m_nThreshold = 0;
    int32_t m_nMethod = 0;
};

// Decodes words 0..10 from the first 44 bytes of a file. Fails (nullopt) when the
// bytes are too few, the pulse or scale index lies outside 0..11, or the averaging
// exponent gives no representable count (negative, or 31 and above).
std::optional<TdrHeader> DecodeTdrHeader(std::span<const uint8_t> bytes);

// The text of a method code: "arc", "pulse", "ware", or empty for any other code.
const char* MethodText(int32_t method);

struct WaveformRecord
{
    std::string m_strName;
    int32_t m_nValueC1 = 0;
    int32_t m_nValueC2 = 0;
    std::array<int8_t, kTdrSampleCount> m_samples{};
    double m_dMarker1 = 0;
    double m_dMarker2 = 0;
    bool m_bOn = false;
    int32_t m_nImpedance = 0;
    int32_t m_nShift = 0;
    int32_t m_nMethod = 0;
    int32_t m_nThreshold = 0;
    double m_dDelay = 0;
    double m_dColumnStep = 0;
    double m_dSampleStep = 0;
    Colour m_crColor{};
    std::array<int8_t, 500> m_displayMain{};
    std::array<int8_t, 500> m_displaySecond{};
    int32_t m_nGain = 0;
    double m_dFileFactor = 0;
    int32_t m_nAverages = 0;
    double m_dScale = 0;
    double m_dPulse = 0;
    int64_t m_ftTime = 0; // last write, local time, 100 ns units since 1601-01-01

    // Inverts m_bOn and returns the new value.
    bool ToggleOn();
};

// Fills the record from the whole content of a .tdr file. Returns false, leaving
// the record untouched, when the size is not 8512 bytes or the header does not
// decode. Does not set the name or the time; clears both markers.
bool DecodeWaveform(WaveformRecord& record, std::span<const uint8_t> file);

// Loads folder + name + ".tdr" into the record. The name is stored first, so a
// failed load leaves the new name on the previous waveform. Fails when the file
// is missing, is not 8512 bytes long, cannot be read, or its header does not decode.
bool LoadWaveform(WaveformRecord& record, const std::filesystem::path& folder, const std::string& name);

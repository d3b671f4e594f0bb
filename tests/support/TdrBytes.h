// Hand-built .tdr file contents for tests: header words and samples set one by one.
#pragma once

#include "model/WaveformRecord.h"

#include <array>
#include <cstdint>
#include <string>

class TdrBytes
{
public:
    TdrBytes()
    {
        Word(2, 4); // 1000 m
    }
    TdrBytes& Word(std::size_t index, int32_t value)
    {
        const uint32_t v = static_cast<uint32_t>(value);
        for (int b = 0; b < 4; ++b) {
            m_bytes[index * 4 + b] = static_cast<char>((v >> (8 * b)) & 0xFF);
        }
        return *this;
    }
    TdrBytes& Sample(std::size_t index, uint8_t value)
    {
        m_bytes[kTdrHeaderBytes + index] = static_cast<char>(value);
        return *this;
    }
    std::string Bytes() const { return m_bytes; }
    std::span<const uint8_t> Span() const
    {
        return {reinterpret_cast<const uint8_t*>(m_bytes.data()), m_bytes.size()};
    }

private:
    std::string m_bytes = std::string(kTdrFileSize, '\0');
};

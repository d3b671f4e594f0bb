// Fuzz target for the .tdr reader: the header decoder and the whole-file
// decoder must accept any bytes. The input is decoded once as it is, and once
// cut or zero-padded to the size of a real file so the full decode path runs;
// the event finder then reads whatever samples and header that gives.
#include "model/EventFinder.h"
#include "model/WaveformRecord.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::span<const uint8_t> bytes(data, size);
    (void)DecodeTdrHeader(bytes);

    auto record = std::make_unique<WaveformRecord>();
    (void)DecodeWaveform(*record, bytes);

    std::vector<uint8_t> file(kTdrFileSize, 0);
    std::copy_n(data, std::min(size, file.size()), file.begin());
    if (DecodeWaveform(*record, file)) {
        (void)FindEvents(*record, 0);
        (void)FindEvents(*record, 1.5);
    }
    return 0;
}

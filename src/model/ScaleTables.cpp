#include "model/ScaleTables.h"

namespace tables {

int ScaleIndex(double scale)
{
    for (int i = 0; i < kCount; ++i) {
        if (kScale[i] == scale) {
            return i;
        }
    }
    return -1;
}

int MaxZoom(double scale)
{
    const int index = ScaleIndex(scale);
    return index < 0 ? kMaxZoom[kCount - 1] : kMaxZoom[index];
}

} // namespace tables

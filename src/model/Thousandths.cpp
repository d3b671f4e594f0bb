#include "model/Thousandths.h"

#include <cmath>
#include <limits>

int32_t ToThousandths(double value)
{
    double scaled = value * 1000.0;
    if (std::isnan(scaled)) {
        return 0;
    }
    const double nearest = std::round(scaled);
    if (std::fabs(scaled - nearest) < 1e-6) {
        scaled = nearest;
    }
    scaled = std::trunc(scaled);
    if (scaled >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (scaled <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(scaled);
}

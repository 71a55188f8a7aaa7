// The 8-bit blend's reciprocal division, checked against plain division everywhere.
#include "raster/ZBlendMath.h"

#include <gtest/gtest.h>

TEST(ZRendererPaint, ReciprocalQuotientsEqualDivisionOverEveryInput) {
    // The 8-bit blend divides numerators below 2^16 by totals 1..255.
    for (uint32_t d = 1; d <= 255; ++d)
        for (uint32_t n = 0; n < 65536; ++n)
            if (ZDivideSmall(n, d) != n / d) FAIL() << n << " / " << d;
}

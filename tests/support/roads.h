#pragma once

#include "tests/support/tdstestserver.h"

#include <QtTest>

// A test of a road whose prerequisite is missing (the stand-in, the driver):
// in the README's test command (FEE_REQUIRE_ROADS=1) and under CI=true it
// fails with the reason, so that no run counts an untested road as passed;
// elsewhere it is skipped (ctest reports the skip as one). Use it in
// initTestCase() with the reason, "" when the road can be tested.
#define FEE_REQUIRE_ROAD(reason)                                                                                    \
    do {                                                                                                           \
        const QString feeMissingRoad = (reason);                                                                   \
        if (!feeMissingRoad.isEmpty()) {                                                                           \
            if (fee::testing::roadsRequired())                                                                     \
                QFAIL(qPrintable(feeMissingRoad + QStringLiteral(" (required: FEE_REQUIRE_ROADS=1 or CI=true)"))); \
            QSKIP(qPrintable(feeMissingRoad));                                                                     \
        }                                                                                                          \
    } while (false)

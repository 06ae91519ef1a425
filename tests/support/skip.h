#pragma once

#include <QTest>

// A case this machine can't run: skipped for a developer, saying what to install; failed under CI
// (TALLIX_CI=1, set by .ci/run), where every case must run.
#define TALLIX_SKIP(why)                                                                                     \
    do {                                                                                                     \
        if (qEnvironmentVariable("TALLIX_CI") == QLatin1String("1"))                                         \
            QFAIL(why ", and TALLIX_CI=1 fails a skip");                                                     \
        QSKIP(why);                                                                                          \
    } while (false)

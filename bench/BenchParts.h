#pragma once

#include <QString>

// How many parts a benchmark's generated list holds: TARDESK_BENCH_PARTS,
// or a million, so that one benchmark measures 1M and 5M alike.
inline qint64 benchParts()
{
    bool ok = false;
    const qint64 parts = qEnvironmentVariable("TARDESK_BENCH_PARTS").toLongLong(&ok);
    return ok && parts > 0 ? parts : 1000000;
}

#pragma once

#include <QtGlobal>

// Receives how far a long operation has got, so the core never calls window code.
class ProgressReporter
{
public:
    virtual ~ProgressReporter() = default;
    virtual void update(qint64 position, qint64 total) = 0;
};

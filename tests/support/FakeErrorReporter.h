#pragma once

#include "host/ErrorRecord.h"
#include "support/ScopedRegistration.h"

#include <QList>

namespace AllocFix::Testing {

// A recording fake of the host's error reporter ("FixedAssets.ErrorReporter"), registered while
// the object lives.
class FakeErrorReporter {
public:
    FakeErrorReporter();
    ~FakeErrorReporter();

    QList<ErrorRecord> reported;
    // How many extra arguments each report carried.
    QList<qsizetype> extraCounts;

private:
    ScopedRegistration m_registration;
};

} // namespace AllocFix::Testing

#pragma once

#include "host/ErrorRecord.h"
#include "support/ScopedRegistration.h"

#include <QList>

namespace AllocFix::Testing {

// A recording fake of the host's error reporter, registered while the object lives. The
// component keeps its reporter until it unloads, so the fake must outlive every report a test
// expects.
class FakeErrorReporter {
public:
    FakeErrorReporter();

    QList<ErrorRecord> reports;
    // Whether every report came with an empty list of extra arguments.
    bool extrasEmpty = true;

private:
    ScopedRegistration m_registration;
};

} // namespace AllocFix::Testing

#pragma once

#include "host/ObjectRegistry.h"

#include <QString>

namespace AllocFix::Testing {

// Registers a factory for the life of the scope, then removes it again.
class ScopedRegistration {
public:
    ScopedRegistration(const QString &progId, ObjectRegistry::Factory factory);
    ~ScopedRegistration();
    ScopedRegistration(const ScopedRegistration &) = delete;
    ScopedRegistration &operator=(const ScopedRegistration &) = delete;

private:
    QString m_progId;
};

} // namespace AllocFix::Testing

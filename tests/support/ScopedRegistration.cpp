#include "support/ScopedRegistration.h"

namespace AllocFix::Testing {

ScopedRegistration::ScopedRegistration(const QString &progId, ObjectRegistry::Factory factory)
    : m_progId(progId)
{
    ObjectRegistry::instance().registerClass(progId, std::move(factory));
}

ScopedRegistration::~ScopedRegistration()
{
    ObjectRegistry::instance().unregisterClass(m_progId);
}

} // namespace AllocFix::Testing

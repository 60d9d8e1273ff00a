#pragma once

#include "allocfix_export.h"
#include "host/ErrorRecord.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>

namespace AllocFix {

// The one process-wide registry of outside objects, keyed by ProgID (case-insensitive, as the
// host's automation names are). The host registers a factory per ProgID; the component creates a
// fresh object from it at the moment of use and owns what it created.
class ALLOCFIX_EXPORT ObjectRegistry {
public:
    using Factory = std::function<std::unique_ptr<QObject>()>;

    static ObjectRegistry &instance();

    // Replaces any factory registered under the same ProgID or class identifier.
    void registerClass(const QString &progId, Factory factory, const QUuid &classId = {});
    void unregisterClass(const QString &progId);
    bool isRegistered(const QString &progId) const;

    // Raises Failure 429 naming the ProgID when nothing is registered under it, or when the
    // factory gives no object; a factory's own Failure passes through unchanged.
    std::unique_ptr<QObject> create(const QString &progId) const;
    std::unique_ptr<QObject> create(const QUuid &classId) const;

private:
    struct Entry {
        QString progId;
        QUuid classId;
        Factory factory;
    };
    QHash<QString, Entry> m_entries;
};

// An object created by ProgID, seen through one of its typed contracts.
template<class Interface>
class ServiceObject {
public:
    ServiceObject() = default;
    explicit ServiceObject(std::unique_ptr<QObject> object);

    Interface *operator->() const { return m_interface; }
    Interface &operator*() const { return *m_interface; }
    Interface *get() const { return m_interface; }
    QObject *object() const { return m_object.get(); }
    explicit operator bool() const { return m_interface != nullptr; }

private:
    std::unique_ptr<QObject> m_object;
    Interface *m_interface = nullptr;
};

[[noreturn]] ALLOCFIX_EXPORT void raiseMissingContract(const QObject *object, const char *contract);

template<class Interface>
ServiceObject<Interface>::ServiceObject(std::unique_ptr<QObject> object)
    : m_object(std::move(object))
    , m_interface(qobject_cast<Interface *>(m_object.get()))
{
    if (m_object && !m_interface)
        raiseMissingContract(m_object.get(), qobject_interface_iid<Interface *>());
}

// Creates a fresh object by ProgID and checks that it offers the contract.
template<class Interface>
ServiceObject<Interface> createService(const QString &progId)
{
    return ServiceObject<Interface>(ObjectRegistry::instance().create(progId));
}

} // namespace AllocFix

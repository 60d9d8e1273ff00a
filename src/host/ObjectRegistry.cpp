#include "host/ObjectRegistry.h"

#include "host/MMTS.h"

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {
QString keyOf(const QString &progId)
{
    return progId.trimmed().toLower();
}
} // namespace

ObjectRegistry &ObjectRegistry::instance()
{
    static ObjectRegistry registry;
    return registry;
}

void ObjectRegistry::registerClass(const QString &progId, Factory factory, const QUuid &classId)
{
    if (!classId.isNull()) {
        for (auto it = m_entries.begin(); it != m_entries.end();) {
            if (it->classId == classId)
                it = m_entries.erase(it);
            else
                ++it;
        }
    }
    m_entries.insert(keyOf(progId), Entry{progId.trimmed(), classId, std::move(factory)});
}

void ObjectRegistry::unregisterClass(const QString &progId)
{
    m_entries.remove(keyOf(progId));
}

bool ObjectRegistry::isRegistered(const QString &progId) const
{
    return m_entries.contains(keyOf(progId));
}

std::unique_ptr<QObject> ObjectRegistry::create(const QString &progId) const
{
    const auto it = m_entries.constFind(keyOf(progId));
    if (it == m_entries.constEnd() || !it->factory) {
        throw Failure(
            ErrorNumber::CannotCreateObject,
            MMTS::LoadLangString(u"无法创建对象“%1”：此 ProgID 下没有注册的类"_s).arg(progId),
            progId);
    }
    auto object = it->factory();
    if (!object) {
        throw Failure(ErrorNumber::CannotCreateObject,
                      MMTS::LoadLangString(u"无法创建对象“%1”：它的工厂没有给出对象"_s).arg(progId),
                      progId);
    }
    return object;
}

std::unique_ptr<QObject> ObjectRegistry::create(const QUuid &classId) const
{
    for (const Entry &entry : m_entries) {
        if (!classId.isNull() && entry.classId == classId)
            return create(entry.progId);
    }
    const QString id = classId.toString(QUuid::WithBraces).toUpper();
    throw Failure(ErrorNumber::CannotCreateObject,
                  MMTS::LoadLangString(u"无法创建对象 %1：此类标识下没有注册的类"_s).arg(id), id);
}

[[noreturn]] void raiseMissingContract(const QObject *object, const char *contract)
{
    throw Failure(ErrorNumber::TypeMismatch,
                  MMTS::LoadLangString(u"对象 %1 不提供接口 %2"_s)
                      .arg(QString::fromLatin1(object->metaObject()->className()),
                           QString::fromLatin1(contract)),
                  QString::fromLatin1(object->metaObject()->className()));
}

} // namespace AllocFix

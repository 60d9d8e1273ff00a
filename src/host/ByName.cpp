#include "host/ByName.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"

#include <QMetaMethod>
#include <QMetaProperty>

#include <array>

using namespace Qt::StringLiterals;

namespace AllocFix {

QVariant missingArgument()
{
    return QVariant::fromValue(MissingArgument{});
}

bool isMissingArgument(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<MissingArgument>();
}

namespace ByName {
namespace {

constexpr int MaxArguments = 10;

QString classNameOf(const QObject *target)
{
    return QString::fromLatin1(target->metaObject()->className());
}

[[noreturn]] void raiseMemberNotFound(const QObject *target, const QString &member)
{
    throw Failure(ErrorNumber::MemberNotFound,
                  MMTS::LoadLangString(u"对象不支持该属性或方法：“%1”"_s).arg(member),
                  classNameOf(target));
}

void requireTarget(const QObject *target, const QString &member)
{
    if (!target) {
        throw Failure(ErrorNumber::ObjectNotSet,
                      MMTS::LoadLangString(u"对象变量未设置（调用“%1”）"_s).arg(member));
    }
}

bool isWritableReference(const QMetaMethod &method, int index)
{
    const QByteArray type = method.parameterTypes().at(index);
    return type.endsWith('&') && !type.startsWith("const ");
}

QMetaMethod findMethod(const QObject *target, const QString &member, qsizetype argumentCount)
{
    const QMetaObject *meta = target->metaObject();
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod method = meta->method(i);
        if (method.access() != QMetaMethod::Public || method.methodType() == QMetaMethod::Signal)
            continue;
        if (method.parameterCount() != argumentCount)
            continue;
        if (QString::fromLatin1(method.name()).compare(member, Qt::CaseInsensitive) == 0)
            return method;
    }
    return {};
}

// The parameter's type; for a reference parameter, the type it refers to.
QMetaType parameterType(const QMetaMethod &method, int index)
{
    const QMetaType type = method.parameterMetaType(index);
    if (type.isValid())
        return type;
    QByteArray name = method.parameterTypes().at(index);
    if (name.endsWith('&'))
        name.chop(1);
    return QMetaType::fromName(name);
}

// Holds each argument in the parameter's own type for the duration of the call.
QVariant argumentFor(const QMetaMethod &method, int index, const QVariant &given,
                     const QString &member)
{
    const QMetaType type = parameterType(method, index);
    if (type == QMetaType::fromType<QVariant>())
        return given;
    QVariant converted = given;
    if (isMissingArgument(given) || !converted.convert(type)) {
        throw Failure(
            ErrorNumber::TypeMismatch,
            MMTS::LoadLangString(u"“%2”的第 %1 个参数类型不匹配"_s).arg(index + 1).arg(member));
    }
    return converted;
}

QVariant invoke(QObject *target, const QString &member, QVariantList &args)
{
    requireTarget(target, member);
    if (args.size() > MaxArguments)
        raiseMemberNotFound(target, member);
    const QMetaMethod method = findMethod(target, member, args.size());
    if (!method.isValid())
        raiseMemberNotFound(target, member);

    std::array<QVariant, MaxArguments> storage;
    std::array<QGenericArgument, MaxArguments> generic;
    const QList<QByteArray> typeNames = method.parameterTypes();
    for (int i = 0; i < args.size(); ++i) {
        storage[i] = argumentFor(method, i, args[i], member);
        // A QVariant parameter takes the QVariant itself, any other type its stored value.
        void *data = parameterType(method, i) == QMetaType::fromType<QVariant>()
                         ? static_cast<void *>(&storage[i])
                         : storage[i].data();
        generic[i] = QGenericArgument(typeNames[i].constData(), data);
    }

    QVariant result;
    QGenericReturnArgument returnArgument;
    const QMetaType returnType = method.returnMetaType();
    if (returnType.id() != QMetaType::Void) {
        result = QVariant(returnType);
        void *data = returnType == QMetaType::fromType<QVariant>() ? static_cast<void *>(&result)
                                                                   : result.data();
        returnArgument = QGenericReturnArgument(method.typeName(), data);
    }

    const bool invoked = method.invoke(target, Qt::DirectConnection, returnArgument, generic[0],
                                       generic[1], generic[2], generic[3], generic[4], generic[5],
                                       generic[6], generic[7], generic[8], generic[9]);
    if (!invoked)
        raiseMemberNotFound(target, member);

    for (int i = 0; i < args.size(); ++i) {
        if (isWritableReference(method, i))
            args[i] = storage[i];
    }
    return result;
}

} // namespace

QVariant call(QObject *target, const QString &member, QVariantList &args)
{
    QVariant result = invoke(target, member, args);
    if (result.metaType().flags().testFlag(QMetaType::PointerToQObject)) {
        // An object answer belongs to the caller; a value call must not leak it.
        delete result.value<QObject *>();
        throw Failure(ErrorNumber::TypeMismatch,
                      MMTS::LoadLangString(u"“%1”应返回值，却返回了对象"_s).arg(member),
                      classNameOf(target));
    }
    return result;
}

std::unique_ptr<QObject> callForObject(QObject *target, const QString &member, QVariantList &args)
{
    const QVariant result = invoke(target, member, args);
    if (!result.isValid())
        return nullptr;
    if (!result.metaType().flags().testFlag(QMetaType::PointerToQObject)) {
        throw Failure(ErrorNumber::TypeMismatch,
                      MMTS::LoadLangString(u"“%1”应返回对象，却返回了值"_s).arg(member),
                      classNameOf(target));
    }
    return std::unique_ptr<QObject>(result.value<QObject *>());
}

QVariant property(const QObject *target, const QString &name)
{
    requireTarget(target, name);
    const QMetaObject *meta = target->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty prop = meta->property(i);
        if (QString::fromLatin1(prop.name()).compare(name, Qt::CaseInsensitive) == 0)
            return prop.read(target);
    }
    const QVariant dynamic = target->property(name.toUtf8().constData());
    if (!dynamic.isValid())
        raiseMemberNotFound(target, name);
    return dynamic;
}

QObject *objectProperty(const QObject *target, const QString &name)
{
    const QVariant value = property(target, name);
    if (!value.isValid())
        return nullptr;
    if (!value.metaType().flags().testFlag(QMetaType::PointerToQObject)) {
        throw Failure(ErrorNumber::TypeMismatch,
                      MMTS::LoadLangString(u"属性“%1”应是对象，却是值"_s).arg(name),
                      classNameOf(target));
    }
    return value.value<QObject *>();
}

} // namespace ByName
} // namespace AllocFix

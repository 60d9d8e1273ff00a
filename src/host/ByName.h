#pragma once

#include "allocfix_export.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

// Calls by name: the one place where the component reaches an outside object's members through
// Qt's meta-object system instead of a typed contract. Members are Q_INVOKABLE methods and
// Q_PROPERTY properties, found without regard to letter case. A missing member raises Failure 438,
// an argument that does not convert raises Failure 13; a Failure raised by the member itself
// passes through unchanged.
namespace AllocFix {

// Stands for an argument the caller leaves out. Members that accept one take QVariant parameters
// and test them with isMissingArgument.
struct MissingArgument {
    bool operator==(const MissingArgument &) const { return true; }
};
QVariant missingArgument();
ALLOCFIX_PRIVATE_EXPORT bool isMissingArgument(const QVariant &value);

namespace ByName {

// Arguments are converted to the member's parameter types. For a parameter declared as a
// non-const reference, the value the member leaves in it is written back into args.
QVariant call(QObject *target, const QString &member, QVariantList &args);

// For members that answer with a new object or none; the caller owns what comes back.
std::unique_ptr<QObject> callForObject(QObject *target, const QString &member, QVariantList &args);

QVariant property(const QObject *target, const QString &name);
// An object-valued property; the target keeps ownership. Null when the property holds none.
QObject *objectProperty(const QObject *target, const QString &name);

} // namespace ByName
} // namespace AllocFix

Q_DECLARE_METATYPE(AllocFix::MissingArgument)

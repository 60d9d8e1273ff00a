#pragma once

#include "allocfix_export.h"
#include "records/RecordList.h"

#include <QString>
#include <QVariant>

#include <variant>

namespace AllocFix {

// One value of a FieldRecord: empty, a 32-bit integer, a double, a text or a nested RecordList
// (held by reference). Conversions follow the host's automation rules: an empty value reads as
// 0 or empty text, a number converts to text and back, a list converts to nothing else.
class ALLOCFIX_EXPORT FieldValue {
public:
    FieldValue() = default;
    FieldValue(qint32 value)
        : m_value(value)
    {}
    FieldValue(double value)
        : m_value(value)
    {}
    FieldValue(const QString &value)
        : m_value(value)
    {}
    FieldValue(const RecordList &list)
        : m_value(list)
    {}
    FieldValue(bool) = delete;

    bool isEmpty() const { return std::holds_alternative<std::monostate>(m_value); }
    bool isInteger() const { return std::holds_alternative<qint32>(m_value); }
    bool isDouble() const { return std::holds_alternative<double>(m_value); }
    bool isText() const { return std::holds_alternative<QString>(m_value); }
    bool isList() const { return std::holds_alternative<RecordList>(m_value); }

    // Failure 13 for a list or a text that is no number, Failure 6 when out of range.
    // Doubles and numeric texts are rounded half to even.
    qint32 toInt() const;
    double toDouble() const;
    // Numbers in their default text form (see formatNumber). Failure 13 for a list.
    QString toText() const;
    // The list itself, not a copy; a null list for an empty value. Failure 13 otherwise.
    RecordList toList() const;

    QVariant toVariant() const;
    // Failure 13 for a QVariant that holds none of the value kinds.
    static FieldValue fromVariant(const QVariant &value);

    // Same kind and equal value; lists compare by identity.
    bool operator==(const FieldValue &other) const;

private:
    std::variant<std::monostate, qint32, double, QString, RecordList> m_value;
};

// The default text form of a double: at most 15 significant digits, no trailing zeros, so that
// 100 * 0.07 shows as 7 and 100 / 3 as 33.3333333333333.
ALLOCFIX_EXPORT QString formatNumber(double value);

// A text read as a number the way the host reads a tag: 0 when it is not one.
ALLOCFIX_EXPORT double numberOrZero(const QString &text);

} // namespace AllocFix

Q_DECLARE_METATYPE(AllocFix::FieldValue)

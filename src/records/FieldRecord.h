#pragma once

#include "allocfix_export.h"
#include "records/FieldValue.h"

#include <QMetaType>
#include <QStringList>

#include <memory>

namespace AllocFix {

// A record of named fields, also used as a keyed map (the wizard's collections are keyed by card
// positions). Fields keep the order in which they were first set; names are case-sensitive.
// A FieldRecord is a handle like RecordList: copies of the handle share one record, copy() makes
// a new one, and a default-constructed handle is "none" (operations raise Failure 91).
class ALLOCFIX_EXPORT FieldRecord {
public:
    FieldRecord() = default;
    static FieldRecord create();
    // A record with these fields (distinct names), in this order, each empty until set. Records
    // made from one list share it, so a service that makes many records of one shape pays for
    // the names once.
    static FieldRecord create(const QStringList &names);

    bool isNull() const { return !m_data; }
    explicit operator bool() const { return m_data != nullptr; }
    bool isSameObject(const FieldRecord &other) const { return m_data == other.m_data; }

    qsizetype count() const;
    bool contains(const QString &name) const;
    // An absent field reads as an empty value.
    FieldValue value(const QString &name) const;
    FieldValue value(const QString &name, const FieldValue &defaultValue) const;
    // Adds or replaces; a nested list is stored by reference.
    void setValue(const QString &name, const FieldValue &value);
    QStringList names() const;
    // A new record with the same fields. Nested lists are cloned too, so the copy shares no
    // record with the original.
    FieldRecord copy() const;

private:
    struct Data;
    Data &data() const;
    std::shared_ptr<Data> m_data;
};

} // namespace AllocFix

Q_DECLARE_METATYPE(AllocFix::FieldRecord)

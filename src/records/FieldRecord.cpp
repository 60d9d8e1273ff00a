#include "records/FieldRecord.h"

#include "host/ErrorRecord.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace AllocFix {

struct FieldRecord::Data {
    QStringList order;
    QHash<QString, FieldValue> values;
};

FieldRecord FieldRecord::create()
{
    FieldRecord record;
    record.m_data = std::make_shared<Data>();
    return record;
}

FieldRecord::Data &FieldRecord::data() const
{
    if (!m_data)
        throw Failure(ErrorNumber::ObjectNotSet, u"Object variable not set: the record is none"_s);
    return *m_data;
}

qsizetype FieldRecord::count() const
{
    return data().order.size();
}

bool FieldRecord::contains(const QString &name) const
{
    return data().values.contains(name);
}

FieldValue FieldRecord::value(const QString &name) const
{
    return data().values.value(name);
}

FieldValue FieldRecord::value(const QString &name, const FieldValue &defaultValue) const
{
    const Data &d = data();
    const auto it = d.values.constFind(name);
    return it == d.values.constEnd() ? defaultValue : *it;
}

void FieldRecord::setValue(const QString &name, const FieldValue &value)
{
    Data &d = data();
    auto it = d.values.find(name);
    if (it == d.values.end()) {
        d.order.append(name);
        d.values.insert(name, value);
    } else {
        *it = value;
    }
}

QStringList FieldRecord::names() const
{
    return data().order;
}

FieldRecord FieldRecord::copy() const
{
    const Data &d = data();
    FieldRecord record = create();
    record.m_data->order = d.order;
    for (const QString &name : d.order) {
        const FieldValue &value = d.values[name];
        const bool clonable = value.isList() && !value.toList().isNull();
        record.m_data->values.insert(name, clonable ? CloneRecordList(value.toList()) : value);
    }
    return record;
}

} // namespace AllocFix

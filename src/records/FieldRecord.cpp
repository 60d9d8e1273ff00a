#include "records/FieldRecord.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

// Up to this many fields a record finds a name by looking at each: most records are rows of a
// handful of fields, and a hash would cost them more memory than their fields (Qt's hash makes
// room for dozens of entries at its first insert). Keyed maps grow past it and get an index.
constexpr qsizetype IndexedFrom = 16;

} // namespace

// Names and values at the same positions, in the order first set.
struct FieldRecord::Data {
    QStringList names;
    QList<FieldValue> values;
    // Position of each name, once there are IndexedFrom names or more.
    std::unique_ptr<QHash<QString, qsizetype>> index;

    qsizetype find(const QString &name) const
    {
        if (index)
            return index->value(name, -1);
        for (qsizetype i = 0; i < names.size(); ++i) {
            if (names.at(i) == name)
                return i;
        }
        return -1;
    }
    void buildIndex()
    {
        index = std::make_unique<QHash<QString, qsizetype>>();
        index->reserve(names.size() * 2);
        for (qsizetype i = 0; i < names.size(); ++i)
            index->insert(names.at(i), i);
    }
};

FieldRecord FieldRecord::create()
{
    FieldRecord record;
    record.m_data = std::make_shared<Data>();
    return record;
}

FieldRecord FieldRecord::create(const QStringList &names)
{
    FieldRecord record = create();
    Data &d = *record.m_data;
    d.names = names;
    d.values.resize(names.size());
    if (names.size() >= IndexedFrom)
        d.buildIndex();
    Q_ASSERT(QStringList(names).removeDuplicates() == 0);
    return record;
}

FieldRecord::Data &FieldRecord::data() const
{
    if (!m_data)
        throw Failure(ErrorNumber::ObjectNotSet,
                      MMTS::LoadLangString(u"对象变量未设置：记录为空"_s));
    return *m_data;
}

qsizetype FieldRecord::count() const
{
    return data().names.size();
}

bool FieldRecord::contains(const QString &name) const
{
    return data().find(name) >= 0;
}

FieldValue FieldRecord::value(const QString &name) const
{
    const Data &d = data();
    const qsizetype i = d.find(name);
    return i < 0 ? FieldValue() : d.values.at(i);
}

FieldValue FieldRecord::value(const QString &name, const FieldValue &defaultValue) const
{
    const Data &d = data();
    const qsizetype i = d.find(name);
    return i < 0 ? defaultValue : d.values.at(i);
}

void FieldRecord::setValue(const QString &name, const FieldValue &value)
{
    Data &d = data();
    const qsizetype i = d.find(name);
    if (i >= 0) {
        d.values[i] = value;
        return;
    }
    d.names.append(name);
    d.values.append(value);
    if (d.index)
        d.index->insert(name, d.names.size() - 1);
    else if (d.names.size() >= IndexedFrom)
        d.buildIndex();
}

QStringList FieldRecord::names() const
{
    return data().names;
}

FieldRecord FieldRecord::copy() const
{
    const Data &d = data();
    FieldRecord record = create();
    Data &copied = *record.m_data;
    copied.names = d.names;
    copied.values = d.values;
    if (d.index)
        copied.index = std::make_unique<QHash<QString, qsizetype>>(*d.index);
    for (qsizetype i = 0; i < d.values.size(); ++i) {
        const FieldValue &value = d.values.at(i);
        if (value.isList() && !value.toList().isNull())
            copied.values[i] = CloneRecordList(value.toList());
    }
    return record;
}

} // namespace AllocFix

#include "support/RecordDump.h"

#include <QStringList>

namespace FixedAssets::Testing {

QString dump(const AllocFix::RecordList &list)
{
    QStringList records;
    for (qsizetype position = 1; list && position <= list.count(); ++position)
        records.append(dump(list.at(position)));
    return records.join(u'\n');
}

QString dump(const AllocFix::FieldRecord &record)
{
    QStringList fields;
    const QStringList names = record.names();
    for (const QString &name : names) {
        const AllocFix::FieldValue value = record.value(name);
        const QString text = value.isList()
                                 ? QString(u'[' + dump(value.toList()) + u']')
                                 : QString(QString::number(value.isInteger()) + value.toText());
        fields.append(name + u'=' + text);
    }
    return fields.join(u';');
}

} // namespace FixedAssets::Testing

// The in-memory record set's search criterion on any text: Find answers a record that meets it,
// stands past the end, or refuses the criterion; and any text, quoted, finds itself.
#include "contracts/MemoryRecordSet.h"
#include "host/ErrorRecord.h"
#include "records/FieldRecord.h"
#include "records/RecordList.h"

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace AllocFix;

namespace {

MemoryRecordSet recordsNamed(const QString &text)
{
    RecordList records = RecordList::create();
    const QStringList names{u"部门"_s, text, u"x"_s};
    for (qsizetype i = 0; i < names.size(); ++i) {
        FieldRecord record = FieldRecord::create();
        record.setValue(u"FItemID"_s, static_cast<qint32>(i + 1));
        record.setValue(u"FName"_s, names[i]);
        record.setValue(u"FRate"_s, 0.5 * static_cast<double>(i));
        records.append(record);
    }
    return MemoryRecordSet(records);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    MemoryRecordSet records = recordsNamed(text);
    QString quoted = text;
    records.Find(u"FName = '"_s + quoted.replace(u'\'', u"''"_s) + u'\'');
    if (records.EndOfSet() || records.Field(u"FName"_s).toText() != text)
        std::abort();

    records.MoveFirst();
    const qint32 skip = size > 0 ? static_cast<qint32>(data[0] % 5) - 1 : 0;
    try {
        records.Find(text, skip);
    } catch (const Failure &failure) {
        if (failure.number() != ErrorNumber::InvalidArgument)
            std::abort();
        return 0;
    }
    if (!records.EndOfSet())
        (void)records.Field(u"FName"_s);
    return 0;
}

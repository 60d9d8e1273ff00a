#pragma once

#include "allocfix_export.h"
#include "contracts/RecordSet.h"
#include "records/RecordList.h"

namespace AllocFix {

// A record set over records held in memory, for services that load their answer whole.
// Find accepts only "FieldName = value", where value is a whole number or a text in single
// quotes ('' for a quote inside); anything else raises Failure 5. A number matches a field whose
// value is that number, a text matches a field whose text is equal.
class ALLOCFIX_EXPORT MemoryRecordSet final : public IRecordSet {
public:
    explicit MemoryRecordSet(RecordList records);

    qint32 RecordCount() const override;
    void MoveFirst() override;
    void MoveNext() override;
    void Find(const QString &criterion, qint32 skipRecords = 0) override;
    bool EndOfSet() const override;
    FieldValue Field(const QString &name) const override;

private:
    RecordList m_records;
    qsizetype m_position = 1;
};

} // namespace AllocFix

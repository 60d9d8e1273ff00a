#pragma once

#include "allocfix_export.h"
#include "records/FieldValue.h"

#include <QString>

namespace AllocFix {

// A forward-only cursor over the records a lookup service answers.
class ALLOCFIX_EXPORT IRecordSet {
public:
    virtual ~IRecordSet() = default;
    virtual qint32 RecordCount() const = 0;
    virtual void MoveFirst() = 0;
    virtual void MoveNext() = 0;
    // From the current record (after skipping skipRecords), moves to the first record that meets
    // a criterion of the form "FieldName = value", or past the last record when none does.
    // A criterion of any other form raises Failure 5.
    virtual void Find(const QString &criterion, qint32 skipRecords = 0) = 0;
    // True when the cursor stands past the last record.
    virtual bool EndOfSet() const = 0;
    virtual FieldValue Field(const QString &name) const = 0;
};

} // namespace AllocFix

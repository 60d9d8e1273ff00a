#pragma once

#include "contracts/RecordSet.h"
#include "services/ReferenceSnapshot.h"

namespace FixedAssets {

// The record set the item service answers: the items of a snapshot. A search by "FItemID = n",
// the one every department name makes, goes through the snapshot's index of IDs; any other
// criterion goes to the component's own in-memory record set, so both search alike.
class ItemRecordSet final : public AllocFix::IRecordSet {
public:
    explicit ItemRecordSet(std::shared_ptr<const ReferenceSnapshot::ItemList> items);

    qint32 RecordCount() const override;
    void MoveFirst() override;
    void MoveNext() override;
    void Find(const QString &criterion, qint32 skipRecords = 0) override;
    bool EndOfSet() const override;
    AllocFix::FieldValue Field(const QString &name) const override;

private:
    void findGenerally(const QString &criterion, qint32 skipRecords);
    qsizetype pastTheEnd() const;

    std::shared_ptr<const ReferenceSnapshot::ItemList> m_items;
    qsizetype m_position = 1;
};

} // namespace FixedAssets

#include "support/FakeItemService.h"

#include "contracts/ItemService.h"
#include "contracts/MemoryRecordSet.h"
#include "host/ErrorRecord.h"
#include "host/ProgIds.h"
#include "records/FieldRecord.h"

using namespace Qt::StringLiterals;

namespace AllocFix::Testing {

namespace {

class FakeItemInfo final : public QObject, public IItemInfo {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IItemInfo)
public:
    FakeItemInfo(FakeItemService &service, RecordList departments)
        : m_service(service)
        , m_departments(std::move(departments))
    {
        ++m_service.created;
    }

    std::unique_ptr<IRecordSet> GetList(const QString &props, qint16 itemClassId, qint32 &,
                                        const QVariant &condition, QString &) override
    {
        m_service.calls.append({props, itemClassId, condition});
        if (m_service.fails)
            throw Failure(ErrorNumber::ServiceBase + 11, u"item service unavailable"_s);
        return std::make_unique<MemoryRecordSet>(m_departments);
    }

private:
    FakeItemService &m_service;
    RecordList m_departments;
};

} // namespace

FakeItemService::FakeItemService()
    : m_registration(ProgId::ItemInfo, [this]() -> std::unique_ptr<QObject> {
        RecordList departments = RecordList::create();
        for (const auto &[id, name] : std::as_const(m_departments)) {
            FieldRecord record = FieldRecord::create();
            record.setValue(u"FItemID"_s, id);
            record.setValue(u"FName"_s, name);
            departments.append(record);
        }
        return std::make_unique<FakeItemInfo>(*this, departments);
    })
{}

FakeItemService::~FakeItemService() = default;

void FakeItemService::addDepartment(qint32 id, const QString &name)
{
    m_departments.append({id, name});
}

} // namespace AllocFix::Testing

#include "FakeItemService.moc"

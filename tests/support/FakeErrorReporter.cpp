#include "support/FakeErrorReporter.h"

#include "entry/services/ErrorReporter.h"
#include "host/ProgIds.h"

namespace AllocFix::Testing {

namespace {

class RecordingReporter final : public QObject, public IErrorReporter {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IErrorReporter)
public:
    explicit RecordingReporter(FakeErrorReporter &fake)
        : m_fake(fake)
    {}
    void ReportError(const ErrorRecord &error, const QVariantList &extra) override
    {
        m_fake.reported.append(error);
        m_fake.extraCounts.append(extra.size());
    }

private:
    FakeErrorReporter &m_fake;
};

} // namespace

FakeErrorReporter::FakeErrorReporter()
    : m_registration(ProgId::ErrorReporter,
                     [this] { return std::make_unique<RecordingReporter>(*this); })
{}

FakeErrorReporter::~FakeErrorReporter() = default;

} // namespace AllocFix::Testing

#include "FakeErrorReporter.moc"

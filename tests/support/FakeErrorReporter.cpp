#include "support/FakeErrorReporter.h"

#include "contracts/ErrorReporter.h"
#include "host/ProgIds.h"

namespace AllocFix::Testing {

namespace {

class FakeReporter final : public QObject, public IErrorReporter {
    Q_OBJECT
    Q_INTERFACES(AllocFix::IErrorReporter)
public:
    explicit FakeReporter(FakeErrorReporter &reporter)
        : m_reporter(reporter)
    {}
    void ReportError(const ErrorRecord &error, const QVariantList &extra) override
    {
        m_reporter.reports.append(error);
        m_reporter.extrasEmpty = m_reporter.extrasEmpty && extra.isEmpty();
    }

private:
    FakeErrorReporter &m_reporter;
};

} // namespace

FakeErrorReporter::FakeErrorReporter()
    : m_registration(ProgId::ErrorReporter,
                     [this] { return std::make_unique<FakeReporter>(*this); })
{}

} // namespace AllocFix::Testing

#include "FakeErrorReporter.moc"

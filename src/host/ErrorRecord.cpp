#include "host/ErrorRecord.h"

#include "host/MMTS.h"

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {
ErrorRecord &errorState()
{
    static ErrorRecord record;
    return record;
}
} // namespace

Failure::Failure(ErrorRecord record)
    : m_record(std::move(record))
    , m_what(m_record.description.toUtf8())
{}

Failure::Failure(qint32 number, const QString &description, const QString &source)
    : Failure(ErrorRecord{number, description, source, {}, 0})
{}

ErrorRecord &currentError()
{
    return errorState();
}

void setCurrentError(const ErrorRecord &record)
{
    errorState() = record;
}

void clearCurrentError()
{
    errorState() = ErrorRecord{};
}

ErrorRecord recordCaughtException(const QString &source)
{
    ErrorRecord record{
        ErrorNumber::ServiceBase, MMTS::LoadLangString(u"未知错误"_s), source, {}, 0};
    const std::exception_ptr caught = std::current_exception();
    try {
        if (caught)
            std::rethrow_exception(caught);
    } catch (const Failure &failure) {
        record = failure.record();
    } catch (const std::exception &e) {
        record = {ErrorNumber::ServiceBase, QString::fromLocal8Bit(e.what()), source, {}, 0};
    } catch (...) {
        // Keeps the "Unknown error" record.
    }
    if (record.source.isEmpty())
        record.source = source;
    setCurrentError(record);
    return record;
}

} // namespace AllocFix

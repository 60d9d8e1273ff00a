#pragma once

#include "allocfix_export.h"

#include <QString>

#include <exception>

namespace AllocFix {

// The five fields of an error as the host sees them. Number 0 means "no error".
struct ALLOCFIX_EXPORT ErrorRecord {
    qint32 number = 0;
    QString description;
    QString source;
    QString helpFile;
    qint32 helpContext = 0;

    bool operator==(const ErrorRecord &) const = default;
};

// Error numbers raised by the component itself. They follow the numbering host developers
// know from automation errors, so a host can treat them like any other automation failure.
namespace ErrorNumber {
inline constexpr qint32 UnbalancedWait = 1;
inline constexpr qint32 Overflow = 6;
inline constexpr qint32 SubscriptOutOfRange = 9;
inline constexpr qint32 TypeMismatch = 13;
inline constexpr qint32 ObjectNotSet = 91;
inline constexpr qint32 CannotCreateObject = 429;
inline constexpr qint32 MemberNotFound = 438;
inline constexpr qint32 InvalidArgument = 5;
// Base of the numbers that outside services define for their own errors.
inline constexpr qint32 ServiceBase = -2147221504;
} // namespace ErrorNumber

// Every failure travels as this exception. UI handlers catch it at their boundary, make it the
// current error record and report it.
class ALLOCFIX_EXPORT Failure : public std::exception {
public:
    explicit Failure(ErrorRecord record);
    Failure(qint32 number, const QString &description, const QString &source = {});

    const ErrorRecord &record() const noexcept { return m_record; }
    qint32 number() const noexcept { return m_record.number; }
    const QString &description() const noexcept { return m_record.description; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    ErrorRecord m_record;
    QByteArray m_what;
};

// The current error record of the user-interface thread (module state, unguarded).
ALLOCFIX_EXPORT ErrorRecord &currentError();
ALLOCFIX_EXPORT void setCurrentError(const ErrorRecord &record);
ALLOCFIX_EXPORT void clearCurrentError();

// Turns whatever was caught into the current error record, so a handler can report it.
// Call it only inside a catch block.
ALLOCFIX_EXPORT ErrorRecord recordCaughtException(const QString &source = {});

// Restores the current error record on every path out of a scope.
class ALLOCFIX_EXPORT ErrorRecordGuard {
public:
    ErrorRecordGuard()
        : m_saved(currentError())
    {}
    ~ErrorRecordGuard() { currentError() = m_saved; }
    ErrorRecordGuard(const ErrorRecordGuard &) = delete;
    ErrorRecordGuard &operator=(const ErrorRecordGuard &) = delete;

private:
    ErrorRecord m_saved;
};

} // namespace AllocFix

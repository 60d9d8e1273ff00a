#include "app/Subcommands.h"

#include "accountset/AccountSet.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/OutsideText.h"
#include "app/ProgramSession.h"
#include "host/ErrorRecord.h"
#include "host/MMTS.h"

#include <QFileInfo>
#include <QJsonDocument>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace FixedAssets::Subcommands {

namespace {

// What the user gave cannot be used: the options, a file, the account set itself. Anything else
// that stops a subcommand (another user's lock, a full disk, a lost connection, a save the
// account set refuses) leaves the work not carried through, and may go through when tried again.
bool isBadInput(qint32 number)
{
    namespace Error = AccountSetError;
    return number == AllocFix::ErrorNumber::InvalidArgument || number == Error::BadLocation ||
           number == Error::CannotOpen || number == Error::NotAnAccountSet ||
           number == Error::TooNew || number == Error::Damaged || number == Error::ReadOnly ||
           number == Error::NotPermitted;
}

// What keeps an account set from opening is bad input, unless it goes away by itself: another
// user's lock, a full disk, a lost connection.
bool goesAwayByItself(qint32 number)
{
    namespace Error = AccountSetError;
    return number == Error::Busy || number == Error::Full || number == Error::ConnectionLost;
}

// The session has made the demo set by the time a subcommand runs; this says where.
int reportDemo(const ProgramOptions &options, const QString &props)
{
    printLine(stdout, AllocFix::MMTS::LoadLangString(u"已创建演示账套 %1，含 %2 张卡片。"_s)
                          .arg(AccountSetLocation::fromProps(props).shown())
                          .arg(options.demoCards.value_or(ProgramOptions::DefaultDemoCards)));
    return ExitSuccess;
}

int dispatch(const ProgramOptions &options, const QString &props)
{
    using Action = ProgramOptions::Action;
    switch (options.action) {
    case Action::Check:
        return check(options, props);
    case Action::Adjust:
        return adjust(options, props);
    case Action::Export:
        return exportWorksheet(options, props);
    case Action::Import:
        return importWorksheet(options, props);
    case Action::Audit:
        return options.verify ? verifyAudit(options, props) : exportAudit(options, props);
    case Action::Roles:
        return roles(options, props);
    case Action::Demo:
        return reportDemo(options, props);
    case Action::RunWizard:
    case Action::Help:
    case Action::ShowText:
    case Action::ShowManual:
    case Action::ShowCompletion:
        break;
    }
    return ExitBadInput;
}

} // namespace

void printLine(std::FILE *stream, const QString &text)
{
    // What a message quotes from outside is escaped where it is quoted; this keeps the terminal
    // safe from what a quote was missed for.
    QStringList lines = text.split(u'\n');
    for (QString &line : lines)
        line = OutsideText::shown(line);
    std::fputs(qUtf8Printable(lines.join(u'\n') + u'\n'), stream);
    std::fflush(stream);
}

void printFailure(const QString &description)
{
    printLine(stderr, u"allocfix: "_s + description);
}

void printJson(const QJsonObject &object)
{
    std::fputs(QJsonDocument(object).toJson(QJsonDocument::Indented).constData(), stdout);
    std::fflush(stdout);
}

QJsonObject writtenJson(const QString &output, qsizetype count, const QString &countName)
{
    return {{u"file"_s, output},
            {u"format"_s, QFileInfo(output).suffix().toLower()},
            {countName, count}};
}

int run(const ProgramOptions &options)
{
    QString props;
    QStringList made;
    try {
        props = openSession(options, &made);
    } catch (const AllocFix::Failure &failure) {
        printFailure(failure.description());
        AccountSet::closeAll();
        return goesAwayByItself(failure.number()) ? ExitNotCarriedThrough : ExitBadInput;
    }
    int status = ExitBadInput;
    try {
        status = dispatch(options, props);
    } catch (const AllocFix::Failure &failure) {
        printFailure(failure.description());
        status = isBadInput(failure.number()) ? ExitBadInput : ExitNotCarriedThrough;
    } catch (const std::exception &exception) {
        printFailure(QString::fromLocal8Bit(exception.what()));
        status = ExitNotCarriedThrough;
    }
    AccountSet::closeAll();
    // A command that fails creates nothing, not even the demo set of a first run.
    if (status != ExitSuccess)
        removeMade(made);
    return status;
}

} // namespace FixedAssets::Subcommands

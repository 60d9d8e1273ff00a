#include "app/ProgramOptions.h"

#include "host/ErrorRecord.h"

#include <QCommandLineParser>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace FixedAssets {

namespace {

[[noreturn]] void raiseUsage(const QString &text)
{
    throw AllocFix::Failure(AllocFix::ErrorNumber::InvalidArgument, text, u"allocfix"_s);
}

// "--demo" takes an optional count, which QCommandLineParser cannot express: "--demo 500" and
// "--demo=500" become "--demo-cards=500".
QStringList withDemoCount(const QStringList &arguments)
{
    QStringList result;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument.startsWith(u"--demo="_s)) {
            result << u"--demo"_s << u"--demo-cards="_s + argument.mid(7);
        } else if (argument == u"--demo" && i + 1 < arguments.size() &&
                   !arguments[i + 1].isEmpty() && arguments[i + 1].front().isDigit()) {
            result << argument << u"--demo-cards="_s + arguments[++i];
        } else {
            result << argument;
        }
    }
    return result;
}

} // namespace

ProgramOptions ProgramOptions::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Adjusts the card data of a fixed-asset account set: re-allocates the depreciation "
        "expense of cards used by several departments."_s);
    const QCommandLineOption help = parser.addHelpOption();
    parser.addPositionalArgument(
        u"account-set"_s,
        u"The account set: an SQLite file (path or sqlite:path) or a PostgreSQL URL "
        "(postgresql://user@host:port/database). Default: the demo account set in your data "
        "folder, created on first run."_s,
        u"[account-set]"_s);
    const QCommandLineOption language({u"l"_s, u"language"_s},
                                      u"The language code, such as CHS or ENG. Default: the "
                                      "system's."_s,
                                      u"code"_s);
    const QCommandLineOption demo(u"demo"_s, u"(Re)create the demo account set with N cards "
                                             "used by several departments (default 12): "
                                             "--demo [N]."_s);
    QCommandLineOption demoCards(u"demo-cards"_s, u"The N of --demo."_s, u"N"_s);
    demoCards.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption screenshot(
        u"screenshot"_s, u"Save a picture of the wizard to <file> and close it."_s, u"file"_s);
    parser.addOptions({language, demo, demoCards, screenshot});

    if (!parser.parse(withDemoCount(arguments)))
        raiseUsage(parser.errorText());
    ProgramOptions options;
    if (parser.isSet(help)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        options.helpShown = true;
        return options;
    }
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        raiseUsage(u"Give one account set, not %1"_s.arg(positional.size()));
    if (!positional.isEmpty())
        options.accountSet = positional.first();
    options.language = parser.value(language).trimmed().toUpper();
    if (parser.isSet(language) && options.language.isEmpty())
        raiseUsage(u"--language needs a language code, such as CHS or ENG"_s);
    if (parser.isSet(demo)) {
        options.demoCards = DefaultDemoCards;
        if (parser.isSet(demoCards)) {
            bool ok = false;
            const int count = parser.value(demoCards).toInt(&ok);
            if (!ok || count < 1 || count > MaxDemoCards) {
                raiseUsage(u"--demo takes a number of cards from 1 to %1, not \"%2\""_s.arg(
                    QString::number(MaxDemoCards), parser.value(demoCards)));
            }
            options.demoCards = count;
        }
    } else if (parser.isSet(demoCards)) {
        raiseUsage(u"Unknown option 'demo-cards'."_s);
    }
    options.screenshot = parser.value(screenshot);
    return options;
}

} // namespace FixedAssets

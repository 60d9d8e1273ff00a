#include "worksheet/WorksheetLines.h"

#include "host/MMTS.h"
#include "worksheet/TableFile.h"

#include <QRegularExpression>

#include <array>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

using Worksheet::Kind;

// The columns the import reads; the others only show the card to the user.
constexpr std::array<Kind, 5> ReadColumns{Kind::AssetNumber, Kind::Department, Kind::Account,
                                          Kind::Rate, Kind::CheckCode};

} // namespace

WorksheetLines::WorksheetLines(const std::optional<CsvRecord> &header,
                               const ReferenceData &reference, WorksheetFaults &faults)
{
    if (!header)
        faults.add(0, LoadLangString(u"工作表是空的"_s));
    else
        readHeader(*header, reference, faults);
}

void WorksheetLines::readHeader(const CsvRecord &header, const ReferenceData &reference,
                                WorksheetFaults &faults)
{
    QHash<QString, Kind> known;
    for (const Kind kind : ReadColumns) {
        const QStringList headers = Worksheet::knownHeaders(kind);
        for (const QString &text : headers)
            known.insert(text, kind);
    }
    QList<QRegularExpression> itemHeaders;
    const QStringList itemTemplates = Worksheet::knownHeaders(Kind::Item);
    for (const QString &text : itemTemplates) {
        const qsizetype name = text.indexOf(u"%1"_s);
        itemHeaders.append(
            QRegularExpression(u'^' + QRegularExpression::escape(text.left(name)) + u"(.+)"_s +
                               QRegularExpression::escape(text.mid(name + 2)) + u'$'));
    }

    const auto place = [&](qint64 columnKey, qsizetype column, const QString &text) {
        if (m_columns.contains(columnKey)) {
            faults.add(header.line,
                       LoadLangString(u"列“%1”出现了两次"_s).arg(WorksheetFaults::shown(text)));
            return;
        }
        m_columns.insert(columnKey, {column, text});
    };
    for (qsizetype c = 0; c < header.fields.size(); ++c) {
        const QString text = header.fields[c].trimmed();
        if (const auto kind = known.constFind(text); kind != known.cend()) {
            place(key(*kind, 0), c, text);
            continue;
        }
        for (const QRegularExpression &itemHeader : std::as_const(itemHeaders)) {
            const QRegularExpressionMatch match = itemHeader.match(text);
            if (!match.hasMatch())
                continue;
            const QString className = match.captured(1);
            const auto &classes = reference.itemClasses();
            const auto itemClass =
                std::find_if(classes.cbegin(), classes.cend(),
                             [&className](const auto &c) { return c.name == className; });
            if (itemClass == classes.cend()) {
                faults.add(header.line, LoadLangString(u"列“%1”不是任何科目使用的核算类别"_s)
                                            .arg(WorksheetFaults::shown(text)));
            } else {
                place(key(Kind::Item, itemClass->id), c, text);
            }
            break;
        }
    }
    // Named as the reader's own export heads them, in one language with its own joining words.
    QStringList missing;
    for (const Kind kind : ReadColumns) {
        if (!hasColumn(kind))
            missing.append(AllocFix::MMTS::LoadLangString2(Worksheet::knownHeaders(kind).first()));
    }
    if (missing.size() == 1) {
        faults.add(header.line,
                   LoadLangString(u"工作表没有列“%1”；请填写 allocfix export 写出的工作表"_s)
                       .arg(missing.first()));
    } else if (!missing.isEmpty()) {
        QString list =
            LoadLangString(u"“%1”和“%2”"_s).arg(missing.at(missing.size() - 2), missing.last());
        for (qsizetype i = missing.size() - 3; i >= 0; --i)
            list = LoadLangString(u"“%1”、%2"_s).arg(missing.at(i), list);
        faults.add(header.line,
                   LoadLangString(u"工作表没有这些列：%1；请填写 allocfix export 写出的工作表"_s)
                       .arg(list));
    }
}

bool WorksheetLines::isFilled(const CsvRecord &line) const
{
    for (auto found = m_columns.cbegin(); found != m_columns.cend(); ++found) {
        const auto kind = static_cast<Kind>(found.key() >> 32);
        if (Worksheet::isToFill(kind) && found->column < line.fields.size() &&
            !line.fields[found->column].trimmed().isEmpty())
            return true;
    }
    return false;
}

QString WorksheetLines::cell(const CsvRecord &line, Kind kind, qint32 itemClass) const
{
    const qsizetype column = m_columns.value(key(kind, itemClass)).column;
    if (column < 0 || column >= line.fields.size())
        return {};
    return TableFile::plainText(line.fields[column].trimmed());
}

bool WorksheetLines::hasColumn(Kind kind, qint32 itemClass) const
{
    return m_columns.contains(key(kind, itemClass));
}

qsizetype WorksheetLines::column(Kind kind, qint32 itemClass) const
{
    return m_columns.value(key(kind, itemClass)).column + 1;
}

QString WorksheetLines::header(Kind kind, qint32 itemClass) const
{
    return u'"' + m_columns.value(key(kind, itemClass)).header + u'"';
}

} // namespace FixedAssets

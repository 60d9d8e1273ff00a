#include "app/WorksheetFaults.h"

#include "app/Subcommands.h"
#include "host/MMTS.h"

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

void WorksheetFaults::add(qsizetype line, const QString &reason)
{
    ++m_count;
    m_faults.append({line, reason});
    if (m_faults.size() >= 2 * Shown)
        keepFirst();
}

void WorksheetFaults::keepFirst()
{
    const auto order = [](const WorksheetFault &fault) {
        return fault.line == 0 ? PTRDIFF_MAX : fault.line;
    };
    std::stable_sort(
        m_faults.begin(), m_faults.end(),
        [&order](const WorksheetFault &a, const WorksheetFault &b) { return order(a) < order(b); });
    if (m_faults.size() > Shown)
        m_faults.resize(Shown);
}

void WorksheetFaults::print(const QString &file)
{
    keepFirst();
    for (const WorksheetFault &fault : std::as_const(m_faults)) {
        const QString where = fault.line > 0 ? u"%1:%2"_s.arg(file).arg(fault.line) : file;
        Subcommands::printLine(stderr, where + u": "_s + fault.reason);
    }
    if (m_count > m_faults.size()) {
        Subcommands::printLine(stderr,
                               LoadLangString(u"还有 %1 个错误"_s).arg(m_count - m_faults.size()));
    }
    Subcommands::printFailure(
        m_count == 1
            ? LoadLangString(u"%1 中有 1 处错误；没有保存任何内容"_s).arg(file)
            : LoadLangString(u"%2 中有 %1 处错误；没有保存任何内容"_s).arg(m_count).arg(file));
}

QString WorksheetFaults::shown(const QString &cell)
{
    constexpr qsizetype MaxShown = 60;
    QString text;
    for (qsizetype i = 0; i < cell.size(); ++i) {
        const QChar c = cell[i];
        QString piece(c);
        if (c.isHighSurrogate() && i + 1 < cell.size())
            piece += cell[++i]; // never cut in half
        else if (c == u'\0')
            piece = u"\\0"_s;
        else if (c == u'\n')
            piece = u"\\n"_s;
        else if (c == u'\r')
            piece = u"\\r"_s;
        else if (c == u'\t')
            piece = u"\\t"_s;
        else if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
                 c.category() == QChar::Separator_Line ||
                 c.category() == QChar::Separator_Paragraph)
            piece = u"\\u{%1}"_s.arg(static_cast<uint>(c.unicode()), 4, 16, QChar(u'0'));
        if (text.size() + piece.size() > MaxShown)
            return text + u'…';
        text += piece;
    }
    return text;
}

} // namespace FixedAssets

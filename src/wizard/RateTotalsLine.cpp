#include "wizard/RateTotalsLine.h"

#include "allocation/Rate.h"
#include "host/MMTS.h"
#include "widgets/SplitBars.h"

#include <QLabel>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace AllocFix {

namespace {

// A sum of rates in percent: 9999 units show as 99.99%, 10000 as 100%.
QString percentText(qint64 units)
{
    return Rate::unitsText(units) + u'%';
}

// " 60%（还差 40%）": the share, and what it lacks or has too much (unless shareOnly).
QString figuresOf(const DepartmentTotal &total, bool shareOnly = false)
{
    QString text = u' ' + percentText(total.allocated);
    if (!total.whole() && !shareOnly) {
        const qint64 rest = WholeRateUnits - total.allocated;
        text += MMTS::LoadLangString(rest > 0 ? u"（还差 "_s : u"（超出 "_s) +
                percentText(std::abs(rest)) + MMTS::LoadLangString(u"）"_s);
    }
    return text;
}

QString joined(const QString &start, const QStringList &names, const QStringList &figures,
               const QString &separator)
{
    QStringList departments;
    for (qsizetype index = 0; index < names.size(); ++index)
        departments.append(names[index] + figures[index]);
    return start + departments.join(separator);
}

// Each department's texts and state, then the rows of no department of the card.
struct TotalsParts {
    QStringList names;
    QStringList figures;
    QStringList shares; // the figures without what is lacking, for a line too narrow for both
    QList<qint64> allocated;
    QList<SplitBars::State> states;
    QString start;
    QString separator;

    explicit TotalsParts(const CardTotals &cardTotals)
        : start(MMTS::LoadLangString(u"分配合计："_s))
        , separator(MMTS::LoadLangString(u"；"_s))
    {
        for (const DepartmentTotal &total : cardTotals.departments) {
            names.append(total.name);
            figures.append(figuresOf(total));
            shares.append(figuresOf(total, true));
            allocated.append(total.allocated);
            states.append(total.accepted ? SplitBars::State::Accepted : SplitBars::State::Faulty);
        }
        if (cardTotals.outsideRows > 0) {
            names.append(MMTS::LoadLangString(u"未指定部门"_s));
            figures.append(u' ' + percentText(cardTotals.outside));
            shares.append(figures.last());
            allocated.append(cardTotals.outside);
            states.append(SplitBars::State::Unassigned);
        }
    }

    QString whole() const { return joined(start, names, figures, separator); }
};

} // namespace

void fillSplitBars(SplitBars *bars, const CardTotals &cardTotals)
{
    const TotalsParts parts(cardTotals);
    QList<SplitBars::Bar> shown;
    for (qsizetype index = 0; index < parts.names.size(); ++index) {
        shown.append({parts.names[index],
                      static_cast<double>(parts.allocated[index]) / WholeRateUnits,
                      parts.figures[index].trimmed(), parts.states[index]});
    }
    bars->setBars(shown, shown.isEmpty() ? QString() : parts.whole());
    bars->setAccessibleName(parts.start);
}

void fillRateTotalsLine(QLabel *line, const CardTotals &cardTotals)
{
    TotalsParts parts(cardTotals);
    const QString fullStart = parts.start;
    const QString separator = parts.separator;
    QStringList names = parts.names;
    QStringList figures = parts.figures;
    const QStringList shares = parts.shares;
    const bool none = names.isEmpty();
    const QString whole = parts.whole();
    line->setToolTip(none ? QString() : whole);
    line->setAccessibleName(none ? fullStart : whole);
    if (none) {
        line->clear();
        return;
    }

    const QFontMetrics metrics = line->fontMetrics();
    const int room = line->contentsRect().width();
    const auto fits = [&](const QString &start) {
        return metrics.horizontalAdvance(joined(start, names, figures, separator)) <= room;
    };
    // The figures matter most: the names share what they leave.
    const QString start = fits(fullStart) ? fullStart : QString();
    if (!fits(start)) {
        const QStringList none(names.size(), QString());
        const auto roomPerName = [&] {
            const int left =
                room - metrics.horizontalAdvance(joined(start, none, figures, separator));
            return std::max(0, left / static_cast<int>(names.size()));
        };
        // A share without its name tells nothing: rather than cut the names to nothing, the line
        // leaves out what each department lacks (the red says it, the tooltip tells it).
        if (roomPerName() < metrics.horizontalAdvance(u"…"_s) * 3)
            figures = shares;
        if (!fits(start)) {
            const int each = roomPerName();
            for (QString &name : names)
                name = metrics.elidedText(name, Qt::ElideRight, each);
        }
    }

    QStringList shown;
    for (qsizetype index = 0; index < names.size(); ++index) {
        const QString text = QString(names[index] + figures[index]).toHtmlEscaped();
        shown.append(parts.states[index] == SplitBars::State::Accepted
                         ? text
                         : u"<span style=\"color:#b00000\">%1</span>"_s.arg(text));
    }
    line->setText(start.toHtmlEscaped() + shown.join(separator.toHtmlEscaped()));
}

} // namespace AllocFix

#include "accountset/OutsideText.h"

using namespace Qt::StringLiterals;

namespace FixedAssets::OutsideText {

namespace {

bool actedOn(QChar c)
{
    switch (c.category()) {
    case QChar::Other_Control:
    case QChar::Other_Format:
    case QChar::Other_Surrogate:
    case QChar::Separator_Line:
    case QChar::Separator_Paragraph:
        return true;
    default:
        return false;
    }
}

} // namespace

QString shown(const QString &text, qsizetype maxShown)
{
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        QString piece(c);
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            piece += text[++i]; // never cut in half
        else if (c == u'\0')
            piece = u"\\0"_s;
        else if (c == u'\n')
            piece = u"\\n"_s;
        else if (c == u'\r')
            piece = u"\\r"_s;
        else if (c == u'\t')
            piece = u"\\t"_s;
        else if (actedOn(c))
            piece = u"\\u{%1}"_s.arg(static_cast<uint>(c.unicode()), 4, 16, QChar(u'0'));
        if (maxShown >= 0 && result.size() + piece.size() > maxShown)
            return result + u'…';
        result += piece;
    }
    return result;
}

} // namespace FixedAssets::OutsideText

// The account set location parser on any text: it answers a location or BadLocation, its
// canonical form parses to itself, travels in the property string, and holds no password; and
// no secret of the text ever shows in what the user reads about it.
#include "accountset/AccountSetErrors.h"
#include "accountset/AccountSetLocation.h"

#include <QRegularExpression>

#include <cstdint>
#include <cstdlib>
#include <utility>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

using Span = std::pair<qsizetype, qsizetype>; // start, end

// The secrets of the text: whatever follows "password=" (any case, so "sslpassword=" too) up to
// the next "&", and the password of the user part of a URL, as the parser reads it.
QList<Span> secretsOf(const QString &text)
{
    QList<Span> spans;
    for (qsizetype at = text.indexOf(u"password="_s, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(u"password="_s, at + 1, Qt::CaseInsensitive)) {
        const qsizetype start = at + 9;
        const qsizetype amp = text.indexOf(u'&', start);
        spans.append({start, amp < 0 ? text.size() : amp});
    }
    // A URL's scheme, but not sqlite:, whose "//..." is a file path.
    static const QRegularExpression url(u"^\\s*(?!sqlite:)[A-Za-z][A-Za-z0-9+.-]+://"_s,
                                        QRegularExpression::CaseInsensitiveOption);
    if (url.match(text).hasMatch()) {
        const qsizetype scheme = text.indexOf(u"://"_s);
        const qsizetype start = scheme + 3;
        const qsizetype question = text.indexOf(u'?', start);
        const qsizetype end = question < 0 ? text.size() : question;
        const qsizetype at = end > start ? text.lastIndexOf(u'@', end - 1) : -1;
        const qsizetype colon = at >= start ? text.indexOf(u':', start) : -1;
        if (colon >= 0 && colon < at)
            spans.append({colon + 1, at});
    }
    return spans;
}

// All the parser lets the user read about the text: its refusal, or the location as messages and
// the property string show it.
QString shownOf(const QString &text)
{
    QString shown = AccountSetLocation::redacted(text) + u'\n';
    try {
        const AccountSetLocation location = AccountSetLocation::parse(text);
        return shown + location.shown() + u'\n' + location.url();
    } catch (const AllocFix::Failure &failure) {
        return shown + failure.description();
    }
}

// Whether a secret shows. A secret may show by chance, as part of the message's own words or of
// what else the text holds, so a secret counts only if the text with its secrets blanked out
// does not show it as well. A secret the text also holds in the open (a parameter that repeats
// it) is the user's own to show: blanking may even change where the URL's parts end.
bool secretShows(const QString &text)
{
    const QList<Span> spans = secretsOf(text);
    if (spans.isEmpty())
        return false;
    QString blanked = text;
    for (const auto &[start, end] : spans) {
        for (qsizetype i = start; i < end; ++i)
            blanked[i] = u'*';
    }
    const QString shown = shownOf(text);
    const QString shownBlanked = shownOf(blanked);
    for (const auto &[start, end] : spans) {
        const QString secret = text.mid(start, end - start);
        if (secret.size() >= 4 && !blanked.contains(secret) && shown.contains(secret) &&
            !shownBlanked.contains(secret))
            return true;
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (secretShows(text))
        std::abort();
    AccountSetLocation location;
    try {
        location = AccountSetLocation::parse(text);
    } catch (const AllocFix::Failure &failure) {
        if (failure.number() != AccountSetError::BadLocation)
            std::abort();
        return 0;
    }
    const QString url = location.url();
    if (url.contains(u';'))
        std::abort();
    const AccountSetLocation again = AccountSetLocation::parse(url);
    if (again.url() != url || !again.password.isEmpty() || again.kind != location.kind)
        std::abort();
    const QString props = u"Language=CHS;AcctSet="_s + url + u';';
    if (AccountSetLocation::fromProps(props).url() != url)
        std::abort();
    if (!location.password.isEmpty() && !location.shown().contains(u":***@"_s))
        std::abort();
    return 0;
}

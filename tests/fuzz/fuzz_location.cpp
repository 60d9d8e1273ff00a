// The account set location parser on any text: it answers a location or BadLocation, its
// canonical form parses to itself and travels in the property string; and what the user reads
// about the text holds none of its secrets and nothing a terminal would act on.
//
// The secrets are found here byte by byte from the rule, not from the parser: whatever follows
// ":" in the user-info of a URL, and whatever follows "=" in a parameter, unless the parameter is
// one whose value a message may show.
#include "TerminalText.h"
#include "accountset/AccountSetErrors.h"
#include "accountset/AccountSetLocation.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

namespace {

using Span = std::pair<qsizetype, qsizetype>; // start, end in the UTF-8 bytes

bool isAlpha(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (isDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

QByteArray percentDecoded(const QByteArray &bytes)
{
    QByteArray decoded;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '%' && i + 2 < bytes.size() && hexValue(bytes[i + 1]) >= 0 &&
            hexValue(bytes[i + 2]) >= 0) {
            decoded += static_cast<char>(hexValue(bytes[i + 1]) * 16 + hexValue(bytes[i + 2]));
            i += 2;
        } else {
            decoded += bytes[i];
        }
    }
    return decoded;
}

// A parameter whose value a message may show.
bool isHarmless(const QByteArray &name)
{
    static const QList<QByteArray> harmless{
        "host", "port", "dbname", "user", "sslmode", "application_name", "connect_timeout"};
    return harmless.contains(percentDecoded(name));
}

// Where a URL's scheme ends ("://"), or -1: a letter, then at least one more letter, digit, "+",
// "-" or ".", after any leading white space. A single letter is a drive, so "C://…" names a file
// path, as "sqlite:" does whatever follows.
qsizetype urlStart(const QByteArray &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    const qsizetype start = i;
    if (i >= text.size() || !isAlpha(text[i]))
        return -1;
    while (i < text.size() && (isAlpha(text[i]) || isDigit(text[i]) || text[i] == '+' ||
                               text[i] == '-' || text[i] == '.'))
        ++i;
    if (i - start < 2 || text.mid(start, i - start).toLower() == "sqlite" ||
        !text.mid(i).startsWith("://"))
        return -1;
    return i + 3;
}

QList<Span> secretsOf(const QByteArray &text)
{
    QList<Span> spans;
    const qsizetype start = urlStart(text);
    if (start < 0) {
        // Not a URL: libpq's key/value form, or a path; each value after "=" up to white space.
        for (qsizetype i = text.indexOf('='); i >= 0; i = text.indexOf('=', i + 1)) {
            qsizetype from = i + 1;
            while (from < text.size() && text[from] == ' ')
                ++from;
            qsizetype end = from;
            while (end < text.size() && text[end] != ' ')
                ++end;
            spans.append({from, end});
        }
        return spans;
    }
    const qsizetype question = text.indexOf('?', start);
    const qsizetype authorityEnd = question < 0 ? text.size() : question;
    const qsizetype at = text.lastIndexOf('@', authorityEnd - 1);
    if (at >= start) {
        const qsizetype colon = text.indexOf(':', start);
        if (colon >= 0 && colon < at)
            spans.append({colon + 1, at});
    }
    if (question < 0)
        return spans;
    // Each "&"-piece of the query; a piece without "=" may be the rest of the secret before it.
    for (qsizetype from = question + 1; from <= text.size();) {
        qsizetype end = text.indexOf('&', from);
        end = end < 0 ? text.size() : end;
        const QByteArray piece = text.mid(from, end - from);
        const qsizetype equals = piece.indexOf('=');
        if (equals < 0)
            spans.append({from, end});
        else if (!isHarmless(piece.left(equals)))
            spans.append({from + equals + 1, end});
        from = end + 1;
    }
    return spans;
}

// The same text with each secret's letters and digits changed, and its structure (separators,
// %-escapes) kept, so that it parses the same way.
QByteArray blanked(QByteArray text, const QList<Span> &spans)
{
    for (const auto &[start, end] : spans) {
        for (qsizetype i = start; i < end; ++i) {
            if (text[i] == '%') {
                i += 2;
            } else if (isDigit(text[i])) {
                text[i] = static_cast<char>('0' + (text[i] - '0' + 1) % 10);
            } else if (isAlpha(text[i])) {
                const char base = text[i] >= 'a' ? 'a' : 'A';
                text[i] = static_cast<char>(base + (text[i] - base + 13) % 26);
            }
        }
    }
    return text;
}

// All the user reads about the text: its refusal, or the location as messages show it.
QByteArray messageOf(const QByteArray &text)
{
    try {
        return AccountSetLocation::parse(QString::fromUtf8(text)).shown().toUtf8();
    } catch (const AllocFix::Failure &failure) {
        return failure.description().toUtf8();
    }
}

// The pieces of a secret to look for: each four bytes in a row of it, as typed and decoded,
// that hold nothing a message would have escaped.
QList<QByteArray> piecesOf(const QByteArray &secret)
{
    QList<QByteArray> pieces;
    for (const QByteArray &form : {secret, percentDecoded(secret)}) {
        for (qsizetype i = 0; i + 4 <= form.size(); ++i) {
            const QByteArray piece = form.mid(i, 4);
            if (std::none_of(piece.cbegin(), piece.cend(), [](char c) {
                    return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
                }))
                pieces.append(piece);
        }
    }
    return pieces;
}

// Whether a secret shows. A piece of it may show by chance, in the message's own words or in
// what else the text holds in the open, so it counts only if the message about the same text
// with its secrets changed does not show it as well.
bool secretShows(const QByteArray &text, const QByteArray &message)
{
    const QList<Span> spans = secretsOf(text);
    if (spans.isEmpty())
        return false;
    const QByteArray other = messageOf(blanked(text, spans));
    for (const auto &[start, end] : spans) {
        const QList<QByteArray> pieces = piecesOf(text.mid(start, end - start));
        for (const QByteArray &piece : pieces) {
            if (message.contains(piece) && !other.contains(piece))
                return true;
        }
    }
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // As the program gets it: text, with what is not UTF-8 replaced.
    const QByteArray text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size))
            .toUtf8();
    const QByteArray message = messageOf(text);
    if (terminalActsOn(message) || secretShows(text, message))
        std::abort();
    AccountSetLocation location;
    try {
        location = AccountSetLocation::parse(QString::fromUtf8(text));
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
    return 0;
}

#include "worksheet/TextDecoder.h"

#include "host/ErrorRecord.h"
#include "host/MMTS.h"
#include "worksheet/WorksheetFaults.h"

#include <cerrno>
#include <iconv.h>

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

namespace {

iconv_t handle(void *value)
{
    return static_cast<iconv_t>(value);
}

} // namespace

TextDecoder::TextDecoder(const QString &file, const QString &encoding)
{
    const iconv_t opened = iconv_open("UTF-8", encoding.toLatin1().constData());
    if (opened == reinterpret_cast<iconv_t>(-1)) {
        throw AllocFix::Failure(
            AllocFix::ErrorNumber::InvalidArgument,
            WorksheetFault{0, LoadLangString(u"不认识编码“%1”；可用的编码名见 iconv --list"_s)
                                  .arg(WorksheetFaults::shown(encoding))}
                .in(file),
            u"allocfix"_s);
    }
    m_iconv = opened;
}

TextDecoder::~TextDecoder()
{
    iconv_close(handle(m_iconv));
}

bool TextDecoder::isUtf8(const QString &encoding)
{
    QString name = encoding.toUpper();
    name.remove(u'-');
    name.remove(u'_');
    return name == u"UTF8"_s;
}

bool TextDecoder::decode(QByteArrayView piece, bool last, QByteArray &out)
{
    QByteArray input = m_pending + piece.toByteArray();
    m_pending.clear();
    char *in = input.data();
    size_t inLeft = static_cast<size_t>(input.size());
    while (inLeft > 0) {
        // Four bytes of UTF-8 at most for each input byte.
        const qsizetype start = out.size();
        out.resize(start + static_cast<qsizetype>(inLeft) * 4 + 16);
        char *to = out.data() + start;
        size_t toLeft = static_cast<size_t>(out.size() - start);
        const size_t result = iconv(handle(m_iconv), &in, &inLeft, &to, &toLeft);
        out.resize(out.size() - static_cast<qsizetype>(toLeft));
        if (result != static_cast<size_t>(-1))
            break;
        if (errno == EINVAL) { // cut at the end of the piece
            if (last)
                return false;
            m_pending = QByteArray(in, static_cast<qsizetype>(inLeft));
            return true;
        }
        if (errno != E2BIG)
            return false;
    }
    return true;
}

} // namespace FixedAssets

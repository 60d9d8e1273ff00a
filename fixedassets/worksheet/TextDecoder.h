#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace FixedAssets {

// Turns text of another encoding into UTF-8 a piece at a time, through iconv, so that memory
// stays that of one piece: a character cut between two pieces is finished with the next.
class TextDecoder {
public:
    // Raises InvalidArgument, "file: reason", when iconv does not know the encoding.
    TextDecoder(const QString &file, const QString &encoding);
    ~TextDecoder();
    TextDecoder(const TextDecoder &) = delete;
    TextDecoder &operator=(const TextDecoder &) = delete;

    // Appends the UTF-8 of the piece to out; last says no piece follows. False when a byte
    // sequence is no character of the encoding: out then holds the text before it.
    bool decode(QByteArrayView piece, bool last, QByteArray &out);

    // Whether an encoding name means UTF-8 itself, which needs no decoder.
    static bool isUtf8(const QString &encoding);

private:
    void *m_iconv = nullptr;
    QByteArray m_pending; // the start of a character cut at the end of the last piece
};

} // namespace FixedAssets

#pragma once

#include <QByteArray>

// Whether a terminal would act on something in a message rather than show it: a control
// character (a line break too: a message is one line), or a bidi override or isolate
// (U+202A-U+202E, U+2066-U+2069), looked for in the UTF-8 bytes.
inline bool terminalActsOn(const QByteArray &message)
{
    for (qsizetype i = 0; i < message.size(); ++i) {
        const auto byte = static_cast<unsigned char>(message[i]);
        if (byte < 0x20 || byte == 0x7f)
            return true;
        if (byte == 0xe2 && i + 2 < message.size()) {
            const auto second = static_cast<unsigned char>(message[i + 1]);
            const auto third = static_cast<unsigned char>(message[i + 2]);
            if ((second == 0x80 && third >= 0xaa && third <= 0xae) ||
                (second == 0x81 && third >= 0xa6 && third <= 0xa9))
                return true;
        }
    }
    return false;
}

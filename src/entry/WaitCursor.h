#pragma once

#include "forms/Hourglass.h"

#include <QObject>
#include <QUuid>

namespace AllocFix {

// The hourglass is on from the creation of the first of any number of nested instances until
// the destruction of the last. Creatable as "AllocFix.WaitCursor".
class WaitCursor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("ClassID", "{14CF190D-E3E0-11D5-9FA2-00E04C54B3B6}")
    Q_CLASSINFO("InterfaceID", "{14CF190C-E3E0-11D5-9FA2-00E04C54B3B6}")
public:
    static constexpr QUuid ClassId{0x14CF190D, 0xE3E0, 0x11D5, 0x9F, 0xA2, 0x00,
                                   0xE0,       0x4C,   0x54,   0xB3, 0xB6};
    static constexpr QUuid InterfaceId{0x14CF190C, 0xE3E0, 0x11D5, 0x9F, 0xA2, 0x00,
                                       0xE0,       0x4C,   0x54,   0xB3, 0xB6};

    Q_INVOKABLE explicit WaitCursor(QObject *parent = nullptr);
    ~WaitCursor() override;

private:
    Hourglass m_hourglass;
};

} // namespace AllocFix

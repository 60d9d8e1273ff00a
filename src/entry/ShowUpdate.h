#pragma once

#include "allocfix_export.h"

#include <QObject>
#include <QUuid>

namespace AllocFix {

inline constexpr QUuid TypeLibraryId{0x14CF190B, 0xE3E0, 0x11D5, 0x9F, 0xA2, 0x00,
                                     0xE0,       0x4C,   0x54,   0xB3, 0xB6};
inline constexpr int TypeLibraryMajorVersion = 1;
inline constexpr int TypeLibraryMinorVersion = 0;

// The host's entry to the card data adjustment. Creatable as "AllocFix.ShowUpdate".
//
//     auto update = ObjectRegistry::instance().create(ProgId::ShowUpdate);
//     QMetaObject::invokeMethod(update.get(), "ShowExportFrm");
//     const int result = update->property("UpdateResult").toInt();   // -1 carried through, 0 not
class ALLOCFIX_EXPORT ShowUpdate : public QObject {
    Q_OBJECT
    Q_CLASSINFO("ClassID", "{14CF190F-E3E0-11D5-9FA2-00E04C54B3B6}")
    Q_CLASSINFO("InterfaceID", "{14CF190E-E3E0-11D5-9FA2-00E04C54B3B6}")
    Q_PROPERTY(qint32 UpdateResult READ UpdateResult)
    Q_PROPERTY(bool UseWizard READ UseWizard WRITE setUseWizard)
public:
    static constexpr QUuid ClassId{0x14CF190F, 0xE3E0, 0x11D5, 0x9F, 0xA2, 0x00,
                                   0xE0,       0x4C,   0x54,   0xB3, 0xB6};
    static constexpr QUuid InterfaceId{0x14CF190E, 0xE3E0, 0x11D5, 0x9F, 0xA2, 0x00,
                                       0xE0,       0x4C,   0x54,   0xB3, 0xB6};

    Q_INVOKABLE explicit ShowUpdate(QObject *parent = nullptr);

    // -1 when the last adjustment of the component's life was carried through, else 0. Every
    // instance reports the same.
    qint32 UpdateResult() const;
    // Shows the wizard modally; returns when it has closed. A failure to create or load the
    // wizard reaches the caller.
    Q_INVOKABLE void ShowExportFrm();

    bool UseWizard() const { return m_useWizard; }
    void setUseWizard(bool useWizard) { m_useWizard = useWizard; }

private:
    bool m_useWizard = true;
};

} // namespace AllocFix

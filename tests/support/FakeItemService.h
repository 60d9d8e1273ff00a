#pragma once

#include "support/ScopedRegistration.h"

#include <QList>
#include <QString>
#include <QVariant>

namespace AllocFix::Testing {

// A recording fake of "OrvGLItem.ItemInfo", registered while the object lives. It answers the
// departments it holds as a record set with "FItemID" and "FName".
class FakeItemService {
public:
    struct Call {
        QString props;
        qint16 itemClassId;
        QVariant condition;
    };

    FakeItemService();
    ~FakeItemService();

    void addDepartment(qint32 id, const QString &name);

    bool fails = false;
    int created = 0;
    QList<Call> calls;

private:
    QList<QPair<qint32, QString>> m_departments;
    ScopedRegistration m_registration;
};

} // namespace AllocFix::Testing

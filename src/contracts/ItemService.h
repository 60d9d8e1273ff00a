#pragma once

#include "allocfix_export.h"
#include "contracts/RecordSet.h"

#include <QObject>
#include <QString>
#include <QVariant>

#include <memory>

namespace AllocFix {

inline constexpr qint16 DepartmentItemClass = 2;

// "OrvGLItem.ItemInfo", created anew for each call.
class ALLOCFIX_EXPORT IItemInfo {
public:
    virtual ~IItemInfo() = default;
    // All items of the class, with the fields "FItemID" and "FName". The service reports through
    // resultCode and resultText; condition may be a MissingArgument.
    virtual std::unique_ptr<IRecordSet> GetList(const QString &props, qint16 itemClassId,
                                                qint32 &resultCode, const QVariant &condition,
                                                QString &resultText) = 0;
};

} // namespace AllocFix

Q_DECLARE_INTERFACE(AllocFix::IItemInfo, "AllocFix.IItemInfo/1.0")

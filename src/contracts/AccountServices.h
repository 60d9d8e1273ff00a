#pragma once

#include "allocfix_export.h"
#include "contracts/RecordSet.h"

#include <QObject>

#include <memory>

// The account lookup objects, held by sysObjecs for the life of the component.
//
// "TamGLView.GLData" offers, by name:
//   Q_INVOKABLE QObject *GetAccount(const QVariant &key)
//       key: an account number (text) or ID (number). Answers a new account object, owned by the
//       caller, or nullptr. The account object's properties, read by name: "detail" (bool: a
//       detail-level account), "name", "number", "AccountID".
// and, typed, the IAccountData contract below.
//
// "TamGLView.GLView" offers, by name:
//   Q_INVOKABLE QObject *AccountLookup(const QVariant &key)
//       key: the typed text, or the current account ID (0 for none). Opens the account lookup.
//   Q_INVOKABLE QObject *ItemLookup(qint32 &itemClassId, qint32 &itemId)
//       Opens the item lookup for one item class.
//   Both answer a new lookup-result object, owned by the caller, with the properties
//   "ReturnOK" (bool: the user confirmed a choice), "ReturnValue" (the chosen ID) and
//   "ReturnObject" (the chosen account or item object, owned by the result; an item object has
//   "detail" and "name").
namespace AllocFix {

class ALLOCFIX_EXPORT IAccountData {
public:
    virtual ~IAccountData() = default;
    // One record per accounting item class of the account, in the account's order, with the
    // fields "FItemClassID" and "FItemClassName".
    virtual std::unique_ptr<IRecordSet> GetAccountItem(qint32 accountId) = 0;
};

} // namespace AllocFix

Q_DECLARE_INTERFACE(AllocFix::IAccountData, "AllocFix.IAccountData/1.0")

#pragma once

#include <QObject>
#include <QVariant>

namespace FixedAssets {

// "TamGLView.GLView": the account and item lookup dialogs, modal over the active window. Each
// answers a new LookupResult, owned by the caller.
class LookupService final : public QObject {
    Q_OBJECT
public:
    // Lists the detail accounts. key: the typed text (the list starts at the first account whose
    // number begins with it) or the current account ID (0 for none).
    Q_INVOKABLE QObject *AccountLookup(const QVariant &key);
    // Lists every item of the class, non-detail items marked; starts at itemId.
    Q_INVOKABLE QObject *ItemLookup(int &itemClassId, int &itemId);
};

} // namespace FixedAssets

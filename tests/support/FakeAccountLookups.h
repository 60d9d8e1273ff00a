#pragma once

#include "support/ScopedRegistration.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <vector>

namespace AllocFix::Testing {

// Recording fakes of the account lookup objects "TamGLView.GLData" and "TamGLView.GLView",
// registered while the object lives. GLData knows the accounts added here; the lookup dialogs of
// GLView answer as scripted.
class FakeAccountLookups {
public:
    struct ItemClass {
        qint32 id;
        QString name;
    };
    struct Account {
        qint32 id;
        QString number;
        QString name;
        bool detail = true;
        QList<ItemClass> classes;
    };
    // What a lookup dialog answers; none stands for a dialog that gives no answer object.
    struct LookupAnswer {
        bool ok = false;
        qint32 value = 0;
        QString name;
        QString number;
        bool detail = true;
    };

    FakeAccountLookups();
    ~FakeAccountLookups();

    void addAccount(const Account &account);
    const Account *account(qint32 id) const;
    const Account *accountByNumber(const QString &number) const;

    // GLData
    bool getAccountFails = false;
    QVariantList getAccountKeys;
    QList<qint32> accountItemRequests;

    // GLView
    std::optional<LookupAnswer> accountLookupAnswer;
    QVariantList accountLookupKeys;
    std::optional<LookupAnswer> itemLookupAnswer;
    bool itemLookupFails = false;
    QList<QPair<qint32, qint32>> itemLookupRequests;

private:
    QMap<qint32, Account> m_accounts;
    std::vector<std::unique_ptr<ScopedRegistration>> m_registrations;
};

} // namespace AllocFix::Testing

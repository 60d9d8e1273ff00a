#include "dialogs/LookupService.h"

#include "accountset/AccountSet.h"
#include "dialogs/HostDialog.h"
#include "dialogs/LookupDialog.h"
#include "host/MMTS.h"
#include "services/AccountDataService.h"

using namespace Qt::StringLiterals;
using AllocFix::MMTS::LoadLangString;

namespace FixedAssets {

QObject *LookupService::AccountLookup(const QVariant &key)
{
    LookupDialog dialog(LoadLangString(u"选择科目"_s), detailAccounts(hostAccountSet()), false,
                        HostDialog::owner());
    if (key.metaType().id() == QMetaType::QString)
        dialog.startAt(0, key.toString().trimmed());
    else
        dialog.startAt(key.toInt());
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen())
        return new LookupResult;
    const CodedEntry &chosen = *dialog.chosen();
    return new LookupResult(chosen.id, std::make_unique<AccountObject>(chosen));
}

QObject *LookupService::ItemLookup(int &itemClassId, int &itemId)
{
    const AccountSet set = hostAccountSet();
    const QString title =
        LoadLangString(u"选择核算项目"_s) + u" - "_s + itemClassName(set, itemClassId);
    LookupDialog dialog(title, itemsOfClass(set, itemClassId), true, HostDialog::owner());
    dialog.startAt(itemId);
    if (dialog.exec() != QDialog::Accepted || !dialog.chosen())
        return new LookupResult;
    const CodedEntry &chosen = *dialog.chosen();
    return new LookupResult(chosen.id, std::make_unique<ItemObject>(chosen));
}

} // namespace FixedAssets

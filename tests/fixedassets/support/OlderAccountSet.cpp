#include "support/OlderAccountSet.h"

#include "accountset/AccountSet.h"
#include "accountset/DemoData.h"
#include "accountset/Schema.h"

namespace FixedAssets::Testing {

void createOlderAccountSet(const QString &location, int version, int cardCount,
                           const std::function<void(const AccountSet &)> &addMore)
{
    {
        const AccountSet set = AccountSet::open(createDemoAccountSet(location, 0));
        WriteTransaction transaction(set);
        Schema::drop(set);
        Schema::create(set, version);
        addReferenceData(set);
        addDemoCards(set, cardCount);
        if (addMore)
            addMore(set);
        transaction.commit();
    }
    AccountSet::closeAll();
}

} // namespace FixedAssets::Testing

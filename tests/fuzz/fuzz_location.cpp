// The account set location parser on any text: it answers a location or BadLocation, its
// canonical form parses to itself, travels in the property string, and holds no password.
#include "accountset/AccountSetErrors.h"
#include "accountset/AccountSetLocation.h"

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;
using namespace FixedAssets;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    AccountSetLocation location;
    try {
        location = AccountSetLocation::parse(text);
    } catch (const AllocFix::Failure &failure) {
        if (failure.number() != AccountSetError::BadLocation)
            std::abort();
        return 0;
    }
    const QString url = location.url();
    if (url.contains(u';'))
        std::abort();
    const AccountSetLocation again = AccountSetLocation::parse(url);
    if (again.url() != url || !again.password.isEmpty() || again.kind != location.kind)
        std::abort();
    const QString props = u"Language=CHS;AcctSet="_s + url + u';';
    if (AccountSetLocation::fromProps(props).url() != url)
        std::abort();
    if (!location.password.isEmpty() && !location.shown().contains(u":***@"_s))
        std::abort();
    (void)AccountSetLocation::redacted(text);
    return 0;
}

#include "reports/shared/selectionlists.h"

#include "core/failure.h"
#include "db/sqlquote.h"

namespace fee {

QString feeItemList(const QStringList& codes) { return sqlQuoteList(codes); }

QString paymentMethodList(const QStringList& methods, const QString& chosen)
{
    if (!chosen.isEmpty() && chosen != QString::fromUtf8(kChooseAll))
        return sqlQuote(chosen);
    if (methods.isEmpty())
        throw Failure(kErrInvalidArgument, QStringLiteral("Invalid procedure call or argument"));
    return sqlQuoteList(methods);
}

} // namespace fee

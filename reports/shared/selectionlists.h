#pragma once

#include <QString>
#include <QStringList>

namespace fee {

// The first entry of the payment-method and payee lists, standing for all.
inline const char* const kChooseAll = "选择全部";

// The fee items of a run inside the statements' In lists: every code quoted,
// joined by "," without blanks ('01','03'). Empty for no code.
QString feeItemList(const QStringList& codes);

// The payment methods of a run inside the statements' In lists. `chosen` is
// the shown entry of the method list; "选择全部" (or an empty text) stands for
// every method of the list, in list order. Throws Failure 5 when that list is
// empty: an empty In list is no statement.
QString paymentMethodList(const QStringList& methods, const QString& chosen);

} // namespace fee

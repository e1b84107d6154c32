#include "reports/daily/dailyresultreader.h"

#include "db/dbconnection.h"
#include "reports/daily/compactperiodlist.h"
#include "reports/daily/dailycellvalues.h"
#include "reports/daily/dailygrid.h"

namespace fee {

namespace {

    // What the ledger fragments select as 票据编号: receipts without an invoice.
    const QString& ledgerNumber()
    {
        static const QString number = QStringLiteral("不记录票据信息");
        return number;
    }

    const QString& preIssuedSuffix()
    {
        static const QString suffix = QStringLiteral("(预开收款)");
        return suffix;
    }

    int digits(const QChar* p, int n)
    {
        int v = 0;
        for (int i = 0; i < n; ++i) {
            const char16_t c = p[i].unicode();
            if (c < u'0' || c > u'9')
                return -1;
            v = v * 10 + (c - u'0');
        }
        return v;
    }

    // The embedded database's date texts "YYYY-MM-DD" and "YYYY-MM-DD
    // HH:MM:SS" read directly (the general reader parses through a format
    // and costs more than the rest of a row); anything else, and the native
    // values of SQL Server, through the general reader.
    DayAndTime readDateTime(const DbResult& result, int field)
    {
        const QVariant v = result.value(field);
        if (v.metaType().id() == QMetaType::QString) {
            const QString s = v.toString();
            const QChar* p = s.constData();
            const bool dayOnly = s.size() == 10;
            if ((dayOnly || s.size() == 19) && p[4] == u'-' && p[7] == u'-'
                && (dayOnly || (p[10] == u' ' && p[13] == u':' && p[16] == u':'))) {
                const QDate day(digits(p, 4), digits(p + 5, 2), digits(p + 8, 2));
                const QTime time
                    = dayOnly ? QTime(0, 0) : QTime(digits(p + 11, 2), digits(p + 14, 2), digits(p + 17, 2));
                if (day.isValid() && time.isValid())
                    return { day, time };
            }
        }
        const QDateTime value = result.dateTime(field);
        return value.isValid() ? DayAndTime { value.date(), value.time() } : DayAndTime {};
    }

} // namespace

DailyResultReader::DailyResultReader(const DbResult& result)
    : m_result(result)
    , m_book(result.indexOf(QStringLiteral("入库单编号")))
    , m_number(result.indexOf(QStringLiteral("票据编号")))
    , m_payer(result.indexOf(QStringLiteral("付款人")))
    , m_address(result.indexOf(QStringLiteral("地址")))
    , m_item(result.indexOf(QStringLiteral("项目")))
    , m_summary(result.indexOf(QStringLiteral("摘要")))
    , m_amount(result.indexOf(QStringLiteral("金额")))
    , m_invoiceDate(result.indexOf(QStringLiteral("开票日期")))
    , m_issuer(result.indexOf(QStringLiteral("开票人")))
    , m_receiptDate(result.indexOf(QStringLiteral("收款日期")))
    , m_payee(result.indexOf(QStringLiteral("收款人")))
    , m_tax(result.indexOf(QStringLiteral("税额")))
    , m_method(result.indexOf(QStringLiteral("收款方式")))
    , m_remark(result.indexOf(QStringLiteral("备注")))
    , m_exchangeNumber(result.indexOf(QStringLiteral("内换票据编号")))
    , m_exchangeDate(result.indexOf(QStringLiteral("内换日期")))
{
}

CellValue DailyResultReader::invoiceDate() const
{
    // The parking fragments select '' for the invoice date: an empty text here,
    // SQL Server's zero date there. Both show empty, like the households' NULL.
    const QVariant raw = m_result.value(m_invoiceDate);
    if (!raw.isValid() || (raw.metaType().id() == QMetaType::QString && raw.toString().trimmed().isEmpty()))
        return {};
    const DayAndTime value = readDateTime(m_result, m_invoiceDate);
    return isZeroDate(value) ? CellValue() : dailyDate(value);
}

CellValue DailyResultReader::text(int field) const { return CellValue::fromText(m_result.textOrEmpty(field)); }

DailyRow DailyResultReader::row(int serial, const QString& officeCode) const
{
    const std::optional<Amount> amount = Amount::fromDouble(m_result.numberOrNull(m_amount));
    const std::optional<Amount> tax = Amount::fromDouble(m_result.numberOrNull(m_tax));
    const QString number = invoiceNumber();
    DailyRow row;
    row.amountCents = dailyCents(amount);
    row.taxCents = dailyCents(tax);
    row.key.office = officeCode;
    if (number != ledgerNumber())
        row.key.invoice = ownNumber(number);

    QVector<CellValue>& v = row.values;
    v.resize(DailyGrid::ColumnCount);
    v[DailyGrid::Serial] = CellValue::fromCount(serial);
    v[DailyGrid::Book] = text(m_book);
    v[DailyGrid::Number] = CellValue::fromText(number);
    v[DailyGrid::Payer] = text(m_payer);
    v[DailyGrid::Address] = text(m_address);
    v[DailyGrid::FeeItem] = text(m_item);
    v[DailyGrid::Summary] = CellValue::fromText(compactPeriodList(m_result.textOrEmpty(m_summary)));
    v[DailyGrid::Amount] = dailyMoney(amount);
    v[DailyGrid::Tax] = dailyMoney(tax);
    v[DailyGrid::Income] = CellValue::fromMoney(row.incomeCents());
    v[DailyGrid::InvoiceDate] = invoiceDate();
    v[DailyGrid::Issuer] = text(m_issuer);
    v[DailyGrid::ReceiptDate] = dailyDate(readDateTime(m_result, m_receiptDate));
    v[DailyGrid::Payee] = text(m_payee);
    v[DailyGrid::Method] = text(m_method);
    v[DailyGrid::Remark] = text(m_remark);
    v[DailyGrid::ExchangeDate] = dailyDateTime(readDateTime(m_result, m_exchangeDate));
    v[DailyGrid::ExchangeNumbers] = text(m_exchangeNumber);
    return row;
}

bool DailyResultReader::needsExchangeMarking() const
{
    return !m_result.isNull(m_exchangeDate) && m_result.isNull(m_exchangeNumber);
}

QString DailyResultReader::invoiceNumber() const { return m_result.textOrEmpty(m_number); }

QString DailyResultReader::replacedInvoiceNumber() const { return ownNumber(invoiceNumber()); }

QString DailyResultReader::ownNumber(QString shownNumber)
{
    if (shownNumber.endsWith(preIssuedSuffix()))
        shownNumber.chop(preIssuedSuffix().size());
    return shownNumber;
}

} // namespace fee

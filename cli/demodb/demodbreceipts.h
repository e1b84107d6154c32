#pragma once

#include "cli/demodb/demodbmodel.h"

#include <string>
#include <vector>

namespace fee::demo {

class DemoDbWriter;
class DemoRandom;

// What one collection put on a receipt: one line per fee item.
struct ReceiptLine {
    std::string item;
    std::vector<Period> periods;
    long long cents = 0;
    long long incomeCents = 0;
};

struct ReceiptRequest {
    std::size_t office = 0;
    std::string payer;
    std::string address;
    Day day = 0;
    int seconds = 0;
    std::string cashier;
    std::string method;
    Day refunded = 0; // 0: not refunded
    std::vector<ReceiptLine> lines;
};

struct ReceiptNumber {
    std::string book;
    std::string number;
};

// Issues the receipts: routine ones for ledger collections and the
// non-routine ones (deposits, sundry fees) that have no ledger rows.
class DemoReceipts {
public:
    DemoReceipts(DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world);

    // Writes a routine receipt for a collection and returns the numbers the
    // ledger rows carry.
    ReceiptNumber issueRoutine(const ReceiptRequest& request);
    void writeNonRoutine();

private:
    // The header columns that vary between kinds of receipt.
    struct HeaderExtras {
        Day issued = 0;
        bool withOffice = true;
        Day voided = 0;
        std::string remark;
        Day exchanged = 0;
        ReceiptNumber exchangedInto; // empty number: recorded on the replacement only
        std::string replaces;
    };
    ReceiptNumber nextNumber(std::size_t office);
    long long writeHeader(const ReceiptRequest& request, const ReceiptNumber& number, const HeaderExtras& extras);
    void writeLine(long long receiptId, const ReceiptLine& line, bool taxKnown, bool nonRoutine);

    DemoDbWriter& m_writer;
    DemoRandom& m_random;
    const DemoWorld& m_world;
    std::vector<int> m_counters;
    long long m_receiptId = 0;
    long long m_lineId = 0;
};

} // namespace fee::demo

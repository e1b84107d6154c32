#pragma once

#include "cli/demodb/demodbmodel.h"

#include <string>
#include <vector>

namespace fee::demo {

class DemoDbWriter;
class DemoRandom;

// How an account pays its charges.
enum class PayerHabit { Prompt, Annual, Late, Defaulter, Prepaid, Developer };

struct MonthlyCharge {
    std::string item;
    long long cents = 0;
};

// One ledger account: a household (ZH_ID) or a parking registration (DJ_ID
// with its space CW_ID), with the charges it is billed every month.
struct DemoAccount {
    std::size_t office = 0;
    long long householdId = 0;
    long long registrationId = 0;
    long long spaceId = 0;
    std::string payer;
    std::string address;
    PayerHabit habit = PayerHabit::Prompt;
    Period firstPeriod = kFirstPeriod;
    Period lastPeriod = kLastRegularPeriod;
    std::vector<MonthlyCharge> charges;
};

// Buildings, rooms, owners, garages, registrations and spaces of every office;
// returns the accounts that the ledger bills.
std::vector<DemoAccount> writeProperty(
    DemoDbWriter& writer, DemoRandom& random, const DemoWorld& world, int roomsPerOffice);

} // namespace fee::demo

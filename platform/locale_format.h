// Numbers formatted the way the user's locale writes them.
#pragma once

#include <string>

// value with exactly `decimals` decimals, the locale's decimal separator and,
// when grouped, its thousands grouping ("#0.00" versus "###,##0.00").
std::string FormatLocaleNumber(double value, int decimals, bool grouped);

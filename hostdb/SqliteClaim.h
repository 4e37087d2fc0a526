#pragma once

#include "hostdb/TransferClaim.h"

// TransferClaim::claim in the statements of Sqlite.
namespace SqliteClaim {

bool claim(const HostDb& db, const std::vector<TransferClaim::Invoice>& invoices,
           const TransferClaim::Request& request, QList<TransferClaim::HeaderBefore>* before, int* lost,
           QString* error);

} // namespace SqliteClaim

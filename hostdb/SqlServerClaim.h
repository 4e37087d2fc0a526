#pragma once

#include "hostdb/TransferClaim.h"

// TransferClaim::claim in the statements of SqlServer.
namespace SqlServerClaim {

bool claim(const HostDb& db, const std::vector<TransferClaim::Invoice>& invoices,
           const TransferClaim::Request& request, QList<TransferClaim::HeaderBefore>* before, int* lost,
           QString* error);

} // namespace SqlServerClaim

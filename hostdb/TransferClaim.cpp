#include "hostdb/TransferClaim.h"

#include "hostdb/HostDb.h"
#include "hostdb/SqlServerClaim.h"
#include "hostdb/SqliteClaim.h"

namespace TransferClaim {

bool claim(const HostDb& db, const std::vector<Invoice>& invoices, const Request& request,
           QList<HeaderBefore>* before, int* lost, QString* error) {
    before->clear();
    *lost = 0;
    return db.isSqlServer() ? SqlServerClaim::claim(db, invoices, request, before, lost, error)
                            : SqliteClaim::claim(db, invoices, request, before, lost, error);
}

} // namespace TransferClaim

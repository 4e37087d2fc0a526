#include "export/Posting.h"

#include "hostdb/CommStatements.h"
#include "hostdb/HeaderStatements.h"
#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"
#include "selection/NodeKey.h"

#include <QSqlError>
#include <QSqlQuery>

namespace {

bool prepare(const HostDb& db, QSqlQuery& q, const QString& sql, QString* error) {
    q = db.newQuery();
    if (q.prepare(sql))
        return true;
    *error = q.lastError().text();
    return false;
}

bool InsertCOMM(const HostDb& db, const BookingList& bookings, int kind, const QDate& today, QString* error) {
    QSqlQuery q;
    if (!prepare(db, q, CommStatements::insertTransferMark(), error))
        return false;
    const QVariant date1 = HostValues::bindable(db, QDateTime(today, QTime(0, 0)));
    for (const Buchung& b : bookings) {
        q.bindValue(0, b.Rechnung);
        q.bindValue(1, kind);
        q.bindValue(2, date1);
        if (!q.exec()) {
            *error = QStringLiteral("Überleitungsmarke für %1: %2").arg(b.Rechnung, q.lastError().text());
            return false;
        }
    }
    return true;
}

bool UpdateHEADERRECH(const HostDb& db, const BookingList& bookings, const QString& documentType,
                      QString* error) {
    QSqlQuery q;
    if (!prepare(db, q, HeaderStatements::markTransferred(), error))
        return false;
    // One transaction, one moment: the time of the posting, to the second.
    const QDateTime now = QDateTime::currentDateTime();
    const QVariant paidAt = HostValues::bindable(
        db, QDateTime(now.date(), QTime(now.time().hour(), now.time().minute(), now.time().second())));
    for (const Buchung& b : bookings) {
        q.bindValue(0, double(b.Betrag) / 100.0);
        q.bindValue(1, paidAt);
        q.bindValue(2, b.Rechnung);
        q.bindValue(3, documentType);
        if (!q.exec()) {
            *error = QStringLiteral("Rechnungskopf %1: %2").arg(b.Rechnung, q.lastError().text());
            return false;
        }
    }
    return true;
}

} // namespace

namespace Posting {

bool post(HostDb& db, const BookingList& bookings, const QString& strVer_Type, const QDate& today,
          QString* error) {
    if (!db.transaction()) {
        *error = QStringLiteral("Die Buchung in der Datenbank konnte nicht begonnen werden.");
        return false;
    }
    const int kind = NodeKey::transferKind(strVer_Type);
    const QString documentType = NodeKey::documentType(strVer_Type);
    QString failure;
    if (InsertCOMM(db, bookings, kind, today, &failure) &&
        UpdateHEADERRECH(db, bookings, documentType, &failure) && db.commit())
        return true;
    if (failure.isEmpty())
        failure = db.database().lastError().text();
    db.rollback();
    *error = failure;
    return false;
}

} // namespace Posting

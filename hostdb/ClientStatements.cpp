#include "hostdb/ClientStatements.h"

#include "hostdb/HostDb.h"
#include "hostdb/HostValues.h"

#include <QSqlQuery>

namespace ClientStatements {

bool LoadMandantenListe(const HostDb& db, QStringList* names, QString* error) {
    const QString sql =
        db.isSqlServer()
            ? QStringLiteral(
                  "select kurzbezeichnung from personal where mandanten = 1 and isnull(disable,1) = 0 "
                  "order by nummer ")
            : QStringLiteral(
                  "select kurzbezeichnung from personal where mandanten = 1 and ifnull(disable,1) = 0 "
                  "order by nummer ");
    QSqlQuery q = db.newQuery();
    if (!db.run(q, sql, {}, error))
        return false;
    names->clear();
    while (q.next())
        names->append(HostValues::text(q.value(0)));
    return HostDb::rowsEnded(q, error);
}

bool LoadMandantAdresse(const HostDb& db, const QString& shortName, std::optional<ClientAddress>* address,
                        QString* error) {
    const QString isnull = db.isSqlServer() ? QStringLiteral("isnull") : QStringLiteral("ifnull");
    const QString sql =
        QStringLiteral(
            "select vorname, name, strasse, plz, ort, telefon, telefax, "
            "case when %1(use_bank2,0) = 0 then BLZ else BLZ2 end as BLZ, "
            "case when %1(use_bank2,0) = 0 then BANK else bank2 end as BANK, "
            "case when %1(use_bank2,0) = 0 then KONTO else KONTO2 end as KONTO, POSTFACH, "
            "case when %1(use_bank2,0) = 0 then IBAN else IBAN2 end as IBAN, "
            "case when %1(use_bank2,0) = 0 then BIC else BIC2 end as BIC, GLAUBIGERID from personal "
            "where kurzbezeichnung like ? and %1(disable,1) = 0 "
            "order by case when %1(mandanten,0) = 1 then 0 else 1 end, nummer")
            .arg(isnull);
    QSqlQuery q = db.newQuery();
    if (!db.run(q, sql, {shortName}, error))
        return false;
    address->reset();
    if (!q.next())
        return HostDb::rowsEnded(q, error);
    auto text = [&q](const char* column) { return HostValues::text(q.value(QLatin1String(column))); };
    *address = ClientAddress{text("vorname"), text("name"),    text("strasse"),    text("plz"),
                             text("ort"),     text("telefon"), text("telefax"),    text("BANK"),
                             text("BIC"),     text("IBAN"),    text("GLAUBIGERID")};
    return true;
}

} // namespace ClientStatements

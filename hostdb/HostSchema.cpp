#include "hostdb/HostSchema.h"

#include "hostdb/HostDb.h"

#include <QStringList>

namespace HostSchema {

bool createTables(const HostDb& db, QString* error) {
    const QStringList statements = {
        QStringLiteral(
            "CREATE TABLE PERSONAL (ID_PERSONAL INTEGER PRIMARY KEY, NUMMER INTEGER, "
            "KURZBEZEICHNUNG VARCHAR(50), ANREDE VARCHAR(30), NAME VARCHAR(50), VORNAME VARCHAR(50), "
            "BEZEICHNUNG VARCHAR(80), STRASSE VARCHAR(60), PLZ VARCHAR(10), ORT VARCHAR(50), "
            "NATION VARCHAR(30), POSTFACH VARCHAR(20), telefon VARCHAR(30), telefax VARCHAR(30), "
            "BANK VARCHAR(60), BLZ VARCHAR(15), KONTO VARCHAR(20), IBAN VARCHAR(40), BIC VARCHAR(15), "
            "bank2 VARCHAR(60), BLZ2 VARCHAR(15), KONTO2 VARCHAR(20), IBAN2 VARCHAR(40), "
            "BIC2 VARCHAR(15), use_bank2 INTEGER, MANDATSNUMMER VARCHAR(35), GLAUBIGERID VARCHAR(35), "
            "KUNDE INTEGER, mandanten INTEGER, disable INTEGER)"),
        QStringLiteral("CREATE TABLE PERSONAL_FREE (ID_PERSONAL INTEGER PRIMARY KEY, %1 INTEGER, %2 INTEGER, "
                       "ABRECH1 INTEGER, ABRECH2 INTEGER, ABRECH3 INTEGER, ABRECH4 INTEGER, ABRECH5 INTEGER, "
                       "ABRECH6 INTEGER, ABRECH7 INTEGER, ABRECH8 INTEGER)")
            .arg(QLatin1String(kFlagLastschrift), QLatin1String(kFlagGutschrift)),
        QStringLiteral(
            "CREATE TABLE RECHNUNGSJOURNAL (R_NAME VARCHAR(30) NOT NULL, VER_TYPE VARCHAR(5) NOT NULL, "
            "INVDATE DATETIME, KUNDE INTEGER, NETTOPREIS REAL, ARTIKELPREIS REAL)"),
        QStringLiteral("CREATE TABLE HEADERRECH (R_NAME VARCHAR(30) NOT NULL, VER_TYPE VARCHAR(5) NOT NULL, "
                       "KUNDE_ID INTEGER, INVDATE DATETIME, ZAHLDATUM DATETIME, GESPERRT INTEGER, "
                       "ZAHL_BETRAG REAL, KOPF1 REAL, KOPF2 REAL, %1 DATETIME, %2 VARCHAR(40))")
            .arg(QLatin1String(kDueDateColumn), QLatin1String(kExternalNumberColumn)),
        QStringLiteral("CREATE TABLE COMM (ID_COMM INTEGER PRIMARY KEY, ID INTEGER, SUBTEXT VARCHAR(30), "
                       "SUBNUM INTEGER, Date1 DATETIME)"),
        QStringLiteral(
            "CREATE TABLE FORMS_CONFIG (FORM_ID VARCHAR(40), PROPERTY_ID VARCHAR(40), NUMBER_VALUE INTEGER)"),
        QStringLiteral("CREATE TABLE STRINGS (ID_STRING INTEGER PRIMARY KEY, GERMAN VARCHAR(200), "
                       "CUSTOM_GERMAN VARCHAR(200))"),
    };
    for (const QString& sql : statements) {
        if (!db.execute(sql, {}, error))
            return false;
    }
    return true;
}

bool createIndexes(const HostDb& db, QString* error) {
    const QStringList statements = {
        QStringLiteral("CREATE INDEX RJ_NAME_TYPE ON RECHNUNGSJOURNAL (R_NAME, VER_TYPE)"),
        QStringLiteral("CREATE INDEX RJ_TYPE_DATE ON RECHNUNGSJOURNAL (VER_TYPE, INVDATE)"),
        QStringLiteral("CREATE INDEX RJ_KUNDE ON RECHNUNGSJOURNAL (KUNDE)"),
        QStringLiteral("CREATE INDEX HR_NAME_TYPE ON HEADERRECH (R_NAME, VER_TYPE)"),
        QStringLiteral("CREATE INDEX HR_KUNDE ON HEADERRECH (KUNDE_ID)"),
        QStringLiteral("CREATE INDEX PERSONAL_NUMMER ON PERSONAL (NUMMER)"),
        QStringLiteral("CREATE INDEX PERSONAL_KURZ ON PERSONAL (KURZBEZEICHNUNG)"),
        QStringLiteral("CREATE INDEX COMM_MARK ON COMM (ID, SUBNUM, SUBTEXT)"),
        QStringLiteral("CREATE INDEX COMM_TEXT ON COMM (SUBTEXT)"),
        QStringLiteral("CREATE INDEX FORMS_CONFIG_KEY ON FORMS_CONFIG (FORM_ID, PROPERTY_ID)"),
        // Statistics as a real host keeps them: without them SQLite joins the
        // headers of 100,000 invoices by customer instead of by name.
        QStringLiteral("ANALYZE"),
    };
    for (const QString& sql : statements) {
        if (!db.execute(sql, {}, error))
            return false;
    }
    return true;
}

} // namespace HostSchema

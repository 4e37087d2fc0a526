#include "TestHostDb.h"

#include "hostdb/HostSchema.h"

#include <QFile>
#include <QSqlQuery>

#include <gtest/gtest.h>

TestHostDb::TestHostDb(const QString& driver) : m_file(m_folder.file("host.db")), m_driver(driver) {
    QFile(m_file).open(QIODevice::WriteOnly);
    QString error;
    m_db = HostDb::open("Provider=SQLite;Data Source=" + m_file, &error);
    if (!m_db || !HostSchema::createTables(*m_db, &error) || !HostSchema::createIndexes(*m_db, &error)) {
        ADD_FAILURE() << error.toStdString();
        return;
    }
    if (m_driver != "QSQLITE") {
        m_db.reset();
        m_db = HostDb::open(connectionString(), &error);
        if (!m_db)
            ADD_FAILURE() << error.toStdString();
    }
}

QString TestHostDb::connectionString() const {
    return (m_driver == "QODBC" ? "DRIVER={SQLite3};Database=" : "Provider=SQLite;Data Source=") + m_file;
}

void TestHostDb::exec(const QString& sql, const QVariantList& values) {
    QString error;
    if (!m_db->execute(sql, values, &error))
        ADD_FAILURE() << sql.toStdString() << ": " << error.toStdString();
}

QVariant TestHostDb::scalar(const QString& sql, const QVariantList& values) {
    QSqlQuery q = m_db->newQuery();
    QString error;
    if (!m_db->run(q, sql, values, &error)) {
        ADD_FAILURE() << sql.toStdString() << ": " << error.toStdString();
        return {};
    }
    return q.next() ? q.value(0) : QVariant();
}

void TestHostDb::addCustomer(int id, const QString& name, const QString& iban, const QString& bic) {
    exec("INSERT INTO PERSONAL (ID_PERSONAL, NUMMER, KURZBEZEICHNUNG, ANREDE, NAME, VORNAME, STRASSE, PLZ, "
         "ORT, "
         "NATION, BANK, IBAN, BIC, use_bank2, MANDATSNUMMER, KUNDE, mandanten, disable) "
         "VALUES (?, ?, ?, 'Herr', ?, 'Hans', 'Hauptstraße 1', '50667', 'Köln', 'DE', 'Testbank', ?, ?, 0, "
         "?, 1, 0, 0)",
         {id, 1000 + id, name.toUpper(), name, iban, bic, QStringLiteral("MR-%1").arg(id)});
    exec("INSERT INTO PERSONAL_FREE VALUES (?, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1)", {id});
}

void TestHostDb::addInvoice(const QString& name, const QString& type, const QString& date, int customer,
                            const QVariant& price) {
    const QString stamp = date + " 00:00:00";
    exec("INSERT INTO RECHNUNGSJOURNAL (R_NAME, VER_TYPE, INVDATE, KUNDE, NETTOPREIS) VALUES (?, ?, ?, ?, ?)",
         {name, type, stamp, customer, price});
    exec("INSERT INTO HEADERRECH (R_NAME, VER_TYPE, KUNDE_ID, INVDATE, KOPF1, KOPF2) VALUES (?, ?, ?, ?, 0, "
         "0)",
         {name, type, customer, stamp});
}

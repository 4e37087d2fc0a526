#pragma once

#include "TempFolder.h"
#include "hostdb/HostDb.h"

#include <QString>
#include <QVariantList>

#include <memory>

// An empty host database in a temp folder, with every table the program uses
// and the demo's column names for the configurable columns. Tests insert the
// rows they need with exec(). The file is reached through QSQLITE, or through
// QODBC with unixODBC's SQLite3 driver.
class TestHostDb {
public:
    explicit TestHostDb(const QString& driver = QStringLiteral("QSQLITE"));

    HostDb& db() { return *m_db; }
    QString connectionString() const;
    QString file() const { return m_file; }

    // Runs a statement; fails the test when the database refuses it.
    void exec(const QString& sql, const QVariantList& values = {});
    // First column of the first row, or an invalid variant.
    QVariant scalar(const QString& sql, const QVariantList& values = {});

    // A customer (KUNDE = 1) with a PERSONAL_FREE row whose flags are all 1.
    void addCustomer(int id, const QString& name,
                     const QString& iban = QStringLiteral("DE89370400440532013000"),
                     const QString& bic = QStringLiteral("COBADEFFXXX"));
    // A journal row with its header (same customer), dated yyyy-MM-dd.
    void addInvoice(const QString& name, const QString& type, const QString& date, int customer,
                    const QVariant& price);

private:
    TempFolder m_folder;
    QString m_file;
    QString m_driver;
    std::unique_ptr<HostDb> m_db;
};

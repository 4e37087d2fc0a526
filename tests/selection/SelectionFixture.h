#pragma once

#include "RecordingPrompter.h"
#include "TestHostDb.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"

#include <QStringList>

#include <gtest/gtest.h>

// A host database with two customers (100 Müller, 101 Schäfer) and the
// window's list inputs for March 2026, reached through the driver of the
// parameter: QSQLITE, or QODBC with unixODBC's SQLite3 driver as the window
// reaches the host.
class SelectionTest : public ::testing::TestWithParam<const char*> {
protected:
    SelectionTest() : host(QString::fromLatin1(GetParam())) {
        input.dtpVon = QDate(2026, 3, 1);
        input.dtpBis = QDate(2026, 3, 31);
        host.addCustomer(100, "Müller");
        host.addCustomer(101, "Schäfer");
    }

    // Loads the open-invoice list or the overview for a node key.
    bool load(const QString& key = "A3") {
        nodeKey = key;
        return GetData(host.db(), nodeKey, input, list, prompter);
    }
    bool loadOverview(const QString& key = "A3") {
        nodeKey = key;
        return GetDataUebersicht(host.db(), nodeKey, input, overview, prompter);
    }
    // An invoice of March 2026 (or the day given) of customer 100.
    void invoice(const QString& name, const QString& type = "A3", const QVariant& price = 10.0,
                 const QString& day = "2026-03-05") {
        host.addInvoice(name, type, day, 100, price);
    }
    // The same, but its header names customer 101: printed wrongly.
    void otherCustomerHeader(const QString& name, const QString& type = "A3",
                             const QString& day = "2026-03-05") {
        invoice(name, type, 10.0, day);
        host.exec("UPDATE HEADERRECH SET KUNDE_ID = 101 WHERE R_NAME = ?", {name});
    }
    // Customer 102, who has no PERSONAL_FREE row.
    void addCustomerWithoutFreeRow() {
        host.addCustomer(102, "Ohnefrei");
        host.exec("DELETE FROM PERSONAL_FREE WHERE ID_PERSONAL = 102");
    }

    static QStringList names(const InvoiceListModel& m) {
        QStringList result;
        for (int row = 0; row < m.rowCount(); ++row)
            result << m.invoiceName(row);
        return result;
    }
    static QStringList texts(const InvoiceListModel& m, int row) {
        QStringList result;
        for (int column = 0; column < m.columnCount(); ++column)
            result << m.text(row, column);
        return result;
    }
    // Each column as "caption width", with " >" when right-aligned.
    static QStringList columns(const InvoiceListModel& m) {
        QStringList result;
        for (int c = 0; c < m.columnCount(); ++c)
            result << QStringLiteral("%1 %2%3")
                          .arg(m.column(c).caption)
                          .arg(m.column(c).widthTwips)
                          .arg(m.column(c).alignment == Qt::AlignRight ? " >" : "");
        return result;
    }

    void setDueDate(const QString& name, const QVariant& due) {
        host.exec("UPDATE HEADERRECH SET FAELLIGKEITSDATUM = ? WHERE R_NAME = ?", {due, name});
    }
    void addMark(const QString& name, const QVariant& kind, const QString& date = "2026-03-20") {
        host.exec("INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (7, ?, ?, ?)",
                  {name, kind, date + " 00:00:00"});
    }
    // NULL in SUBTEXT would make every NOT IN unknown.
    void addMarkWithoutName() { host.exec("INSERT INTO COMM (ID, SUBTEXT, SUBNUM) VALUES (7, NULL, 0)"); }
    // A transferred invoice as the posting leaves it: paid header and a mark.
    void addTransferred(const QString& name, const QString& type, int customer, double paid, int kind) {
        host.addInvoice(name, type, "2026-03-10", customer, paid);
        host.exec("UPDATE HEADERRECH SET ZAHL_BETRAG = ?, ZAHLDATUM = '2026-03-20 09:30:00', GESPERRT = 1 "
                  "WHERE R_NAME = ?",
                  {paid, name});
        addMark(name, kind);
    }

    TestHostDb host;
    RecordingPrompter prompter;
    InvoiceListModel list;
    InvoiceListModel overview;
    ListInput input;
    QString nodeKey;
};

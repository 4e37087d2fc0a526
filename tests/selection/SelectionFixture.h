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
        host.addCustomer(100, QStringLiteral("Müller"));
        host.addCustomer(101, QStringLiteral("Schäfer"));
    }

    // Loads the open-invoice list for a node key.
    bool load(const QString& key = QStringLiteral("A3")) {
        nodeKey = key;
        return GetData(host.db(), nodeKey, input, list, prompter);
    }
    bool loadOverview(const QString& key = QStringLiteral("A3")) {
        nodeKey = key;
        return GetDataUebersicht(host.db(), nodeKey, input, overview, prompter);
    }
    // An invoice of March 2026 (or the day given) of customer 100.
    void invoice(const QString& name, const QString& type = QStringLiteral("A3"),
                 const QVariant& price = 10.0, const QString& day = QStringLiteral("2026-03-05")) {
        host.addInvoice(name, type, day, 100, price);
    }

    // f(0) to f(n - 1) in a list.
    template <typename F> static auto each(int n, F f) {
        QList<decltype(f(0))> result;
        for (int i = 0; i < n; ++i)
            result << f(i);
        return result;
    }
    static QStringList names(const InvoiceListModel& m) {
        return each(m.rowCount(), [&](int row) { return m.invoiceName(row); });
    }
    static QStringList texts(const InvoiceListModel& m, int row) {
        return each(m.columnCount(), [&](int column) { return m.text(row, column); });
    }
    static QStringList captions(const InvoiceListModel& m) {
        return each(m.columnCount(), [&](int column) { return m.column(column).caption; });
    }
    static QList<int> widths(const InvoiceListModel& m) {
        return each(m.columnCount(), [&](int column) { return m.column(column).widthTwips; });
    }

    void setDueDate(const QString& name, const QVariant& due) {
        host.exec(QStringLiteral("UPDATE HEADERRECH SET FAELLIGKEITSDATUM = ? WHERE R_NAME = ?"),
                  {due, name});
    }
    void addMark(const QString& name, const QVariant& kind,
                 const QString& date = QStringLiteral("2026-03-20")) {
        host.exec(QStringLiteral("INSERT INTO COMM (ID, SUBTEXT, SUBNUM, Date1) VALUES (7, ?, ?, ?)"),
                  {name, kind, date + QStringLiteral(" 00:00:00")});
    }
    // A transferred invoice as the posting leaves it: paid header and a mark.
    void addTransferred(const QString& name, const QString& type, int customer, double paid, int kind) {
        host.addInvoice(name, type, QStringLiteral("2026-03-10"), customer, paid);
        host.exec(QStringLiteral("UPDATE HEADERRECH SET ZAHL_BETRAG = ?, ZAHLDATUM = '2026-03-20 09:30:00', "
                                 "GESPERRT = 1 WHERE R_NAME = ?"),
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

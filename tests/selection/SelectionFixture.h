#pragma once

#include "RecordingPrompter.h"
#include "TestHostDb.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"

#include <QStringList>

#include <gtest/gtest.h>

// A host database with the window's list inputs for March 2026, reached
// through the driver given.
class SelectionTest : public ::testing::Test {
protected:
    explicit SelectionTest(const QString& driver = QStringLiteral("QSQLITE")) : host(driver) {
        input.dtpVon = QDate(2026, 3, 1);
        input.dtpBis = QDate(2026, 3, 31);
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

    static QStringList names(const InvoiceListModel& model) {
        QStringList result;
        for (int row = 0; row < model.rowCount(); ++row)
            result << model.invoiceName(row);
        return result;
    }
    static QStringList texts(const InvoiceListModel& model, int row) {
        QStringList result;
        for (int column = 0; column < model.columnCount(); ++column)
            result << model.text(row, column);
        return result;
    }
    static QStringList captions(const InvoiceListModel& model) {
        QStringList result;
        for (int column = 0; column < model.columnCount(); ++column)
            result << model.column(column).caption;
        return result;
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

#pragma once

#include "SepaSamples.h"
#include "TestHostDb.h"
#include "WriterFixture.h"
#include "export/ExportRun.h"
#include "export/ExportSettings.h"
#include "output/Windows1252.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"
#include "selection/NodeKey.h"

#include <QDir>
#include <QMap>
#include <QSqlQuery>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

// A host database with two customers (100 Müller, 101 Schäfer), an export
// folder, an error log and the settings of a window standing on node A3,
// ready to run ExportSEPA end to end.
class ExportRunTest : public ::testing::Test {
protected:
    ExportRunTest() {
        host.addCustomer(100, QStringLiteral("Müller"));
        host.addCustomer(101, QStringLiteral("Schäfer"), QStringLiteral("DE02120300000000202051"),
                         QStringLiteral("BYLADEM1001"));
        settings.strConnectionString = host.connectionString();
        settings.strVer_Type = QStringLiteral("A3");
        settings.strExportPfad = files.exportFolder();
        settings.firma = SepaSamples::firma();
        settings.strCSV = QStringLiteral("0");
        settings.strBezeichnungStattNameVorname = QStringLiteral("0");
        settings.strSkontoRechnungsKopf = QStringLiteral("0");
        settings.strSEPAVersion = QStringLiteral("2009"); // the run tests read the 2009 layout
        settings.logFile = files.logPath();
        settings.now = QDateTime::currentDateTime();
        settings.now.setTime(
            QTime(settings.now.time().hour(), settings.now.time().minute(), settings.now.time().second()));
    }

    // A settlement of March 2026 for the node key (document type "R" for "R0").
    void addInvoice(const QString& name, const QString& key, int customer, double price,
                    const QString& date = QStringLiteral("2026-03-05")) {
        host.addInvoice(name, NodeKey::documentType(key), date, customer, price);
    }
    // Runs the export on the named invoices as the window would.
    ExportOutcome run(const QStringList& names) {
        return ExportSEPA(settings, names, prompter, [this] { ++reloads; });
    }

    // Nothing in the export folder, nothing printed or posted, the arrow back
    // and the open-invoice list as before the run.
    void expectNothingLeft(const QStringList& openBefore) {
        EXPECT_EQ(files.exportEntries(), QStringList());
        EXPECT_EQ(markCount(), 0);
        EXPECT_EQ(lockedHeaders(), QStringList());
        EXPECT_EQ(column(QStringLiteral("SELECT R_NAME FROM HEADERRECH WHERE ZAHL_BETRAG IS NOT NULL OR "
                                        "ZAHLDATUM IS NOT NULL")),
                  QStringList());
        EXPECT_TRUE(prompter.reports.isEmpty());
        EXPECT_FALSE(prompter.busy);
        EXPECT_EQ(openInvoices(), openBefore);
    }

    // The one file of the export folder that matches; a test failure and
    // empty bytes when there is not exactly one.
    QByteArray onlyFile(const QStringList& patterns) const {
        const QStringList found = QDir(files.exportFolder()).entryList(patterns, QDir::Files, QDir::Name);
        if (found.size() == 1)
            return TempFolder::read(files.exportFolder() + found.first());
        ADD_FAILURE() << patterns.join(QLatin1Char(' ')).toStdString() << ": "
                      << found.join(QLatin1Char(' ')).toStdString();
        return {};
    }
    // The one payment file (UW_ or LS_).
    QByteArray paymentFile() const {
        return onlyFile({QStringLiteral("UW_*.xml"), QStringLiteral("LS_*.xml")});
    }
    // The rows of the one Bank_ CSV file, each column by its header name.
    QList<QMap<QString, QString>> csvRows() const {
        QStringList lines = Windows1252::decode(onlyFile({QStringLiteral("Bank_*.csv")})).split("\r\n");
        EXPECT_TRUE(lines.size() >= 2 && lines.last().isEmpty()) << "every line ends with CR LF";
        lines.removeLast();
        const QStringList header = lines.value(0).split(QLatin1Char(';'));
        QList<QMap<QString, QString>> rows;
        for (const QString& line : lines.mid(1)) {
            const QStringList values = line.split(QLatin1Char(';'));
            EXPECT_EQ(values.size(), header.size()) << line.toStdString();
            QMap<QString, QString>& row = rows.emplace_back();
            for (qsizetype i = 0; i < header.size() && i < values.size(); ++i)
                row.insert(header[i], values[i]);
        }
        return rows;
    }
    // The first column of every row the statement gives, in its order.
    QStringList column(const QString& sql, const QVariantList& values = {}) {
        QSqlQuery q = host.db().newQuery();
        QString error;
        EXPECT_TRUE(host.db().run(q, sql, values, &error)) << error.toStdString();
        QStringList result;
        while (q.next())
            result << q.value(0).toString();
        return result;
    }
    // Invoice names with a transfer mark of the kind, by name.
    QStringList marked(int kind) {
        return column(QStringLiteral("SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? ORDER BY SUBTEXT"),
                      {kind});
    }
    int markCount() { return host.scalar(QStringLiteral("SELECT COUNT(*) FROM COMM")).toInt(); }
    // Names of locked invoice headers, by name.
    QStringList lockedHeaders() {
        return column(QStringLiteral("SELECT R_NAME FROM HEADERRECH WHERE GESPERRT = 1 ORDER BY R_NAME"));
    }
    // The open-invoice list of the node for March 2026, as the window shows it, by name.
    QStringList openInvoices(const QString& key = QStringLiteral("A3")) {
        ListInput input;
        input.dtpVon = QDate(2026, 3, 1);
        input.dtpBis = QDate(2026, 3, 31);
        QString strVer_Type = key;
        InvoiceListModel list;
        RecordingPrompter quiet;
        GetData(host.db(), strVer_Type, input, list, quiet);
        QStringList names;
        for (int row = 0; row < list.rowCount(); ++row)
            names << list.invoiceName(row);
        names.sort();
        return names;
    }
    // The text of every element with this name, in document order.
    static QStringList elements(const QByteArray& xml, const QString& name) {
        QStringList texts;
        QXmlStreamReader reader(xml);
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name)
                texts << reader.readElementText();
        }
        EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
        return texts;
    }

    TestHostDb host;
    WriterFixture files;
    RecordingPrompter& prompter = files.prompter;
    ExportSettings settings;
    int reloads = 0;
};

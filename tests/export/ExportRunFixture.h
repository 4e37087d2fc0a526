#pragma once

#include "SepaSamples.h"
#include "TestHostDb.h"
#include "WriterFixture.h"
#include "base/ExportSettings.h"
#include "base/NodeKey.h"
#include "base/Windows1252.h"
#include "export/ExportRun.h"
#include "selection/InvoiceListModel.h"
#include "selection/InvoiceLists.h"

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
        host.addCustomer(100, "Müller");
        host.addCustomer(101, "Schäfer", "DE02120300000000202051", "BYLADEM1001");
    }

    // A settlement of March 2026 for the node key (document type "R" for "R0").
    void addInvoice(const QString& name, const QString& key, int customer, double price,
                    const QString& date = "2026-03-05") {
        host.addInvoice(name, NodeKey::documentType(key), date, customer, price);
    }
    // Runs the export on the named invoices as the window would.
    ExportOutcome run(const QStringList& names) {
        return ExportSEPA(settings, names, prompter, [this] { ++reloads; });
    }

    // The one file of the export folder that matches; a test failure and
    // empty bytes when there is not exactly one.
    QByteArray onlyFile(const QStringList& patterns) const {
        const QStringList found = QDir(files.exportFolder()).entryList(patterns, QDir::Files, QDir::Name);
        if (found.size() == 1)
            return TempFolder::read(files.exportFolder() + found.first());
        ADD_FAILURE() << patterns.join(' ').toStdString() << ": " << found.join(' ').toStdString();
        return {};
    }
    // The one payment file (UW_ or LS_).
    QByteArray paymentFile() const { return onlyFile({"UW_*.xml", "LS_*.xml"}); }
    // The rows of the one Bank_ CSV file, each column by its header name.
    QList<QMap<QString, QString>> csvRows() const {
        QStringList lines = Windows1252::decode(onlyFile({"Bank_*.csv"})).split("\r\n");
        EXPECT_TRUE(lines.size() >= 2 && lines.takeLast().isEmpty()) << "every line ends with CR LF";
        const QStringList header = lines.value(0).split(';');
        QList<QMap<QString, QString>> rows;
        for (const QString& line : lines.mid(1)) {
            const QStringList values = line.split(';');
            EXPECT_EQ(values.size(), header.size()) << line.toStdString();
            for (qsizetype i = 0; i < header.size() && i < values.size(); ++i)
                (i ? rows.last() : rows.emplace_back()).insert(header[i], values[i]);
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
        return column("SELECT SUBTEXT FROM COMM WHERE ID = 7 AND SUBNUM = ? ORDER BY SUBTEXT", {kind});
    }
    int markCount() { return host.scalar("SELECT COUNT(*) FROM COMM").toInt(); }
    // Names of locked invoice headers, by name.
    QStringList lockedHeaders() {
        return column("SELECT R_NAME FROM HEADERRECH WHERE GESPERRT = 1 ORDER BY R_NAME");
    }
    // The open-invoice list of the node for March 2026, as the window shows it, by name.
    QStringList openInvoices(QString key = "A3") {
        InvoiceListModel list;
        RecordingPrompter quiet;
        GetData(host.db(), key, {{}, {}, false, QDate(2026, 3, 1), QDate(2026, 3, 31), {}}, list, quiet);
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
        while (!reader.atEnd())
            if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == name)
                texts << reader.readElementText();
        EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
        return texts;
    }

    TestHostDb host;
    WriterFixture files;
    RecordingPrompter& prompter = files.prompter;
    // The run tests read the 2009 layout; the run's time is whole seconds.
    ExportSettings settings{.strConnectionString = host.connectionString(),
                            .strVer_Type = "A3",
                            .strCheckBox = {},
                            .strExportPfad = files.exportFolder(),
                            .firma = SepaSamples::firma(),
                            .strCSV = "0",
                            .strBezeichnungStattNameVorname = "0",
                            .strSkontoRechnungsKopf = "0",
                            .strSEPAVersion = "2009",
                            .strEchtzeit = {},
                            .strEmpfaengerpruefung = {},
                            .strSperrzeit = {},
                            .logFile = files.logPath(),
                            .now = QDateTime::fromSecsSinceEpoch(QDateTime::currentSecsSinceEpoch()),
                            .confirmFirst = false,
                            .nodeText = "Honorar",
                            .listedSumCents = 0};
    int reloads = 0;
};

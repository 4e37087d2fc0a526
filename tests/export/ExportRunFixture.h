#pragma once

#include "TestHostDb.h"
#include "WriterFixture.h"
#include "export/ExportRun.h"
#include "export/ExportSettings.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// A host database with two customers (100 Müller, 101 Schäfer), an export
// folder, an error log and the settings of a window standing on node A3,
// ready to run ExportSEPA end to end.
class ExportRunTest : public ::testing::Test {
protected:
    ExportRunTest();

    // A settlement of March 2026 for the node key (document type "R" for "R0").
    void addInvoice(const QString& name, const QString& key, int customer, double price,
                    const QString& date = QStringLiteral("2026-03-05"));
    // Runs the export on the named invoices as the window would.
    ExportOutcome run(const QStringList& names);

    // Nothing in the export folder, nothing printed or posted, the arrow back
    // and the open-invoice list as before the run.
    void expectNothingLeft(const QStringList& openBefore);

    // The one payment file (UW_ or LS_) in the export folder; a test failure
    // and empty bytes when there is not exactly one.
    QByteArray paymentFile() const;
    // The rows of the one Bank_ CSV file, each column by its header name.
    QList<QMap<QString, QString>> csvRows() const;
    // The first column of every row the statement gives, in its order.
    QStringList column(const QString& sql, const QVariantList& values = {});
    // Invoice names with a transfer mark of the kind, by name.
    QStringList marked(int kind);
    int markCount() { return host.scalar(QStringLiteral("SELECT COUNT(*) FROM COMM")).toInt(); }
    // Names of locked invoice headers, by name.
    QStringList lockedHeaders();
    // The open-invoice list of the node for March 2026, as the window shows it, by name.
    QStringList openInvoices(const QString& key = QStringLiteral("A3"));
    // The text of every element with this name, in document order.
    static QStringList elements(const QByteArray& xml, const QString& name);

    TestHostDb host;
    WriterFixture files;
    RecordingPrompter& prompter = files.prompter;
    ExportSettings settings;
    int reloads = 0;
};

#pragma once

#include <QList>
#include <QMap>
#include <QSqlDriver>
#include <QSqlRecord>
#include <QString>
#include <QVariantList>

#include <functional>

// A driver that runs nothing: it keeps the text and values of every
// statement it is given and answers with the rows of answer (none without
// one). It stands for SQL Server, which does not run here: the statements of
// that dialect are reviewed, counted and fed with rows through it. With
// failFetch set, reading a row fails as a lost connection would; with
// lockTimeout set every statement gives up waiting for a lock (error 1222).
class RecordingDriver : public QSqlDriver {
public:
    struct Sent {
        QString sql;
        QVariantList values;
    };
    using Answer = std::function<QList<QVariantList>(const QString& sql, const QVariantList& values)>;

    RecordingDriver(QList<Sent>* sent, QMap<QString, QSqlRecord> tables = {})
        : m_sent(sent), m_tables(std::move(tables)) {}

    bool hasFeature(DriverFeature f) const override {
        return f == Transactions || f == PreparedQueries || f == PositionalPlaceholders;
    }
    bool open(const QString&, const QString&, const QString&, const QString&, int, const QString&) override {
        return setOpen(true), true;
    }
    void close() override { setOpen(false); }
    QSqlResult* createResult() const override;
    bool beginTransaction() override { return true; }
    bool commitTransaction() override { return ++commits, true; }
    bool rollbackTransaction() override { return ++rollbacks, true; }
    QSqlRecord record(const QString& table) const override { return m_tables.value(table.toUpper()); }
    // SQL Server's identifier quote through ODBC.
    QString escapeIdentifier(const QString& name, IdentifierType) const override {
        return QLatin1Char('"') + name + QLatin1Char('"');
    }

    QList<Sent>* m_sent;
    QMap<QString, QSqlRecord> m_tables;
    Answer answer;
    bool failFetch = false;
    bool lockTimeout = false;
    int commits = 0;
    int rollbacks = 0;
};

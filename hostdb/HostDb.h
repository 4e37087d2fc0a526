#pragma once

#include "hostdb/LockWait.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantList>

#include <memory>

// One connection to the host database: the window's SQLConn, or a short-lived
// connection of the export run. Statements are prepared and their values bound;
// nothing from a user or a setting is ever pasted into statement text except
// column names that checkedColumn() has verified.
class HostDb {
public:
    enum class Dialect { SqlServer, Sqlite };

    // Opens a connection for a connection text; every statement on it waits
    // up to lockWaitSeconds for a lock another program holds. Returns null and
    // a German message naming the failure when the text is unusable, the
    // driver is missing or the database cannot be reached.
    static std::unique_ptr<HostDb> open(const QString& connectionString, QString* error,
                                        int lockWaitSeconds = LockWait::kDefaultSeconds);
    // A connection over a driver of the caller's, which it takes over (tests
    // record the statement texts of a dialect with it). Null when it does not open.
    static std::unique_ptr<HostDb> attach(QSqlDriver* driver, Dialect dialect,
                                          int lockWaitSeconds = LockWait::kDefaultSeconds);
    ~HostDb();
    HostDb(const HostDb&) = delete;
    HostDb& operator=(const HostDb&) = delete;

    Dialect dialect() const { return m_dialect; }
    bool isSqlServer() const { return m_dialect == Dialect::SqlServer; }
    // "SQL Server" or "SQLite", for the database check's report.
    QString dialectName() const;
    QSqlDatabase database() const;

    // Runs a statement on a forward-only query, prepared with its values bound
    // (directly when it has none).
    // On failure returns false and sets error to the database's description.
    bool run(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error) const;
    // Whether a statement that reads many rows had better take its texts as
    // blobs: Qt's SQLite driver fetches every text as UTF-16, so SQLite
    // converts each value into a buffer of its own before Qt copies it again;
    // a blob comes out as stored and HostValues::text decodes it once.
    bool readsTextAsBlob() const;
    // A query object on this connection.
    QSqlQuery newQuery() const;
    // Runs a statement without rows.
    bool execute(const QString& sql, const QVariantList& values, QString* error) const;
    // Whether the rows ended where next() gave false, rather than broke off (a
    // failed conversion, a lost connection): a broken read must not pass for
    // the last row or for no row. On false sets error to the database's
    // description.
    static bool rowsEnded(const QSqlQuery& query, QString* error);

    // The description of a failed statement for a message: the database's
    // own text, or, when the statement gave up waiting for another program's
    // lock, LockWait::lockedMessage (and lockTimedOut() is true from then on).
    QString describe(const QSqlError& error) const;
    // Whether a statement on this connection gave up waiting for a lock.
    bool lockTimedOut() const { return m_lockTimedOut; }

    // The real spelling of a column of a table, matched without regard to case
    // as SQL Server does, quoted as an identifier of the dialect. Empty when the
    // table has no such column.
    QString checkedColumn(const QString& table, const QString& column) const;

    // A column a setting names, for a statement: an empty setting gives an
    // empty text; a column the table lacks gives false and a German message
    // that names the setting, the column and the table.
    bool settingColumn(const QString& table, const QString& column, const QString& setting, QString* quoted,
                       QString* error) const;

    // A writing transaction (on SQLite it holds the write lock from the
    // start). On failure returns false and sets error as describe() does.
    bool transaction(QString* error) const;
    // Commits, or in a trial run rolls back and reports whether that worked;
    // error as with transaction(). A failed commit leaves the transaction
    // open: the caller rolls back.
    bool commit(QString* error) const;
    void rollback() const;

    // The database check runs the program's own writing procedures on a trial
    // connection: every commit becomes a rollback, so nothing is left behind.
    void setTrialRun(bool on) { m_trialRun = on; }

private:
    HostDb(const QString& connectionName, Dialect dialect, int lockWaitSeconds);
    // Sets how long the connection's statements wait for a lock.
    bool waitForLocks(QString* error);
    bool nativeSqlite() const;
    // Sets error to the failure's description; always false.
    bool failedWith(const QSqlError& failure, QString* error) const;

    QString m_connectionName;
    Dialect m_dialect;
    int m_lockWaitSeconds;
    bool m_trialRun = false;
    mutable bool m_lockTimedOut = false;
};

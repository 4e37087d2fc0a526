#include "hostdb/HostDb.h"

#include "hostdb/ConnectionString.h"

#include <QAtomicInteger>
#include <QFileInfo>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlRecord>

namespace {

QString nextConnectionName() {
    static QAtomicInteger<int> counter;
    return QStringLiteral("brv32-host-%1").arg(counter.fetchAndAddRelaxed(1));
}

QString databaseText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    const QString driverText = error.driverText().trimmed();
    if (text.isEmpty())
        text = driverText;
    else if (!driverText.isEmpty() && !text.contains(driverText))
        text = driverText + QStringLiteral(": ") + text;
    return text.isEmpty() ? QStringLiteral("unbekannter Fehler") : text;
}

// SQLite's busy result (its low byte; the extended codes add the reason) and
// SQL Server's lock time-out, among the native codes a driver joins with ";".
bool gaveUpWaitingForLock(const QSqlError& error, HostDb::Dialect dialect) {
    constexpr int kSqliteBusy = 5, kSqlServerLockTimeout = 1222;
    for (const QString& part : error.nativeErrorCode().split(QLatin1Char(';'))) {
        bool ok = false;
        const int code = part.trimmed().toInt(&ok);
        if (ok && (dialect == HostDb::Dialect::SqlServer ? code == kSqlServerLockTimeout
                                                         : (code & 0xff) == kSqliteBusy))
            return true;
    }
    return false;
}

} // namespace

std::unique_ptr<HostDb> HostDb::open(const QString& connectionString, QString* error, int lockWaitSeconds) {
    ConnectionString::Target target;
    if (!ConnectionString::translate(connectionString, &target, error))
        return nullptr;

    const bool sqlite = target.kind == ConnectionString::Target::Kind::Sqlite;
    const QString driverName = sqlite ? QStringLiteral("QSQLITE") : QStringLiteral("QODBC");
    if (!QSqlDatabase::isDriverAvailable(driverName)) {
        *error = QStringLiteral("Der Datenbanktreiber „%1“ ist nicht installiert.").arg(driverName);
        return nullptr;
    }
    if (sqlite && !QFileInfo(target.sqliteFile).isFile()) {
        // SQLite would create an empty file; a missing host database is an error.
        *error = QStringLiteral("Die Datenbank „%1“ wurde nicht gefunden.").arg(target.sqliteFile);
        return nullptr;
    }

    const QString name = nextConnectionName();
    std::unique_ptr<HostDb> db(new HostDb(
        name, sqlite || !target.sqlServerDialect ? Dialect::Sqlite : Dialect::SqlServer, lockWaitSeconds));
    QSqlDatabase connection = QSqlDatabase::addDatabase(driverName, name);
    if (sqlite) {
        connection.setDatabaseName(target.sqliteFile);
    } else {
        connection.setDatabaseName(target.odbcConnectString);
        if (target.loginTimeoutSeconds > 0)
            connection.setConnectOptions(
                QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(target.loginTimeoutSeconds));
    }
    if (!connection.open()) {
        *error = QStringLiteral("Die Verbindung zur Datenbank konnte nicht hergestellt werden: %1")
                     .arg(databaseText(connection.lastError()));
        return nullptr;
    }
    if (!sqlite) {
        // A DSN may lead to another kind of database; SQLite answers this.
        QSqlQuery probe(connection);
        if (probe.exec(QStringLiteral("select sqlite_version()")))
            db->m_dialect = Dialect::Sqlite;
    }
    if (!db->waitForLocks(error))
        return nullptr;
    return db;
}

std::unique_ptr<HostDb> HostDb::attach(QSqlDriver* driver, Dialect dialect, int lockWaitSeconds) {
    const QString name = nextConnectionName();
    std::unique_ptr<HostDb> db(new HostDb(name, dialect, lockWaitSeconds));
    QString error;
    if (!QSqlDatabase::addDatabase(driver, name).open() || !db->waitForLocks(&error))
        return nullptr;
    return db;
}

HostDb::HostDb(const QString& connectionName, Dialect dialect, int lockWaitSeconds)
    : m_connectionName(connectionName), m_dialect(dialect), m_lockWaitSeconds(lockWaitSeconds) {}

bool HostDb::waitForLocks(QString* error) {
    // The wait goes into the text as a number: a session setting made by a
    // prepared statement would end with the scope SQL Server's ODBC drivers
    // give it. The number is the checked setting's, never text from outside.
    const QString milliseconds = QString::number(qint64(m_lockWaitSeconds) * 1000);
    const QString sql = isSqlServer() ? QStringLiteral("SET LOCK_TIMEOUT ") + milliseconds
                                      : QStringLiteral("PRAGMA busy_timeout = ") + milliseconds;
    QSqlQuery query(database());
    if (query.exec(sql))
        return true;
    *error = QStringLiteral("Die Wartezeit auf Sperren (Einstellung „Sperrzeit“) ließ sich nicht setzen: %1")
                 .arg(databaseText(query.lastError()));
    return false;
}

HostDb::~HostDb() {
    {
        QSqlDatabase connection = QSqlDatabase::database(m_connectionName, false);
        if (connection.isOpen())
            connection.close();
    }
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase HostDb::database() const {
    return QSqlDatabase::database(m_connectionName, false);
}

QString HostDb::dialectName() const {
    return isSqlServer() ? QStringLiteral("SQL Server") : QStringLiteral("SQLite");
}

bool HostDb::readsTextAsBlob() const {
    return nativeSqlite();
}

QSqlQuery HostDb::newQuery() const {
    QSqlQuery query(database());
    query.setForwardOnly(true);
    return query;
}

bool HostDb::run(QSqlQuery& query, const QString& sql, const QVariantList& values, QString* error) const {
    query.setForwardOnly(true);
    // Without values the statement runs directly: SQL Server's ODBC drivers run
    // prepared statements in a scope of their own, which drops a temporary
    // table right after creating it.
    if (values.isEmpty()) {
        if (query.exec(sql))
            return true;
        if (error)
            *error = describe(query.lastError());
        return false;
    }
    if (!query.prepare(sql)) {
        if (error)
            *error = describe(query.lastError());
        return false;
    }
    for (const QVariant& value : values)
        query.addBindValue(value);
    if (!query.exec()) {
        if (error)
            *error = describe(query.lastError());
        return false;
    }
    return true;
}

bool HostDb::execute(const QString& sql, const QVariantList& values, QString* error) const {
    QSqlQuery query = newQuery();
    return run(query, sql, values, error);
}

bool HostDb::rowsEnded(const QSqlQuery& query, QString* error) {
    if (!query.lastError().isValid())
        return true;
    if (error)
        *error = databaseText(query.lastError());
    return false;
}

QString HostDb::describe(const QSqlError& error) const {
    if (!gaveUpWaitingForLock(error, m_dialect))
        return databaseText(error);
    m_lockTimedOut = true;
    return LockWait::lockedMessage(m_lockWaitSeconds);
}

QString HostDb::checkedColumn(const QString& table, const QString& column) const {
    const QString wanted = column.trimmed();
    if (wanted.isEmpty())
        return {};
    const QSqlRecord record = database().record(table);
    for (int i = 0; i < record.count(); ++i) {
        if (record.fieldName(i).compare(wanted, Qt::CaseInsensitive) == 0)
            return database().driver()->escapeIdentifier(record.fieldName(i), QSqlDriver::FieldName);
    }
    return {};
}

bool HostDb::settingColumn(const QString& table, const QString& column, const QString& setting,
                           QString* quoted, QString* error) const {
    quoted->clear();
    if (column.trimmed().isEmpty())
        return true;
    *quoted = checkedColumn(table, column);
    if (!quoted->isEmpty())
        return true;
    *error =
        QStringLiteral("Die Einstellung „%1“ nennt die Spalte „%2“, die es in der Tabelle %3 nicht gibt.")
            .arg(setting, column.trimmed(), table);
    return false;
}

bool HostDb::transaction(QString* error) const {
    // A deferred SQLite transaction that reads first cannot wait for another
    // writer when it comes to write; taking the write lock at the start makes
    // two runs wait for each other within the lock wait instead. Only the
    // native driver: through ODBC the driver manager must switch autocommit
    // off itself, or its commit would leave the statement's transaction open.
    if (!nativeSqlite())
        return database().transaction() || failedWith(database().lastError(), error);
    QSqlQuery begin(database());
    return begin.exec(QStringLiteral("BEGIN IMMEDIATE")) || failedWith(begin.lastError(), error);
}

bool HostDb::commit(QString* error) const {
    if (m_trialRun)
        return database().rollback() || failedWith(database().lastError(), error);
    if (!nativeSqlite())
        return database().commit() || failedWith(database().lastError(), error);
    // Qt's SQLite driver keeps only the text of a failed commit; its own
    // statement keeps the code that tells a busy database.
    QSqlQuery end(database());
    return end.exec(QStringLiteral("COMMIT")) || failedWith(end.lastError(), error);
}

void HostDb::rollback() const {
    database().rollback();
}

bool HostDb::nativeSqlite() const {
    return database().driverName() == QLatin1String("QSQLITE");
}

bool HostDb::failedWith(const QSqlError& failure, QString* error) const {
    if (error)
        *error = describe(failure);
    return false;
}

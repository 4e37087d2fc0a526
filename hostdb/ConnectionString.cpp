#include "hostdb/ConnectionString.h"

#include <QMap>
#include <QStringList>

namespace {

QString odbcValue(const QString& value) {
    // Braces keep ";" and "=" inside a value; a closing brace is doubled.
    if (value.contains(QLatin1Char(';')) || value.contains(QLatin1Char('{')) ||
        value.contains(QLatin1Char('}')))
        return QLatin1Char('{') + QString(value).replace(QLatin1String("}"), QLatin1String("}}")) +
               QLatin1Char('}');
    return value;
}

bool isSqlServerProvider(const QString& provider) {
    const QString p = provider.toUpper();
    return p.startsWith(QLatin1String("SQLOLEDB")) || p.startsWith(QLatin1String("SQLNCLI")) ||
           p.startsWith(QLatin1String("MSOLEDBSQL"));
}

// Keys upper-cased and trimmed, values trimmed; later duplicates are ignored.
QMap<QString, QString> parse(const QString& text) {
    QMap<QString, QString> pairs;
    for (const QString& part : text.split(QLatin1Char(';'))) {
        const qsizetype eq = part.indexOf(QLatin1Char('='));
        if (eq < 0)
            continue;
        const QString key = part.left(eq).trimmed().toUpper();
        if (!key.isEmpty() && !pairs.contains(key))
            pairs.insert(key, part.mid(eq + 1).trimmed());
    }
    return pairs;
}

} // namespace

namespace ConnectionString {

QString compose(const QString& serverName, const QString& databaseName) {
    return QStringLiteral("Provider=SQLOLEDB.1;") + QStringLiteral("Integrated Security=SSPI;") +
           QStringLiteral("Persist Security Info=False;") + QStringLiteral("ConnectionTimout = 40;") +
           QStringLiteral("Initial Catalog=") + databaseName + QStringLiteral(";") +
           QStringLiteral("Data Source=") + serverName;
}

QString defaultOdbcDriver() {
    const QString configured = qEnvironmentVariable("BRV32_ODBC_DRIVER");
    if (!configured.isEmpty())
        return configured;
#ifdef Q_OS_WIN
    return QStringLiteral("ODBC Driver 18 for SQL Server");
#else
    return QStringLiteral("FreeTDS");
#endif
}

bool translate(const QString& text, Target* target, QString* error) {
    const QMap<QString, QString> pairs = parse(text);
    *target = Target{};
    bool timeoutOk = false;
    const int timeout =
        pairs.value(QStringLiteral("CONNECTIONTIMOUT"), pairs.value(QStringLiteral("CONNECT TIMEOUT")))
            .toInt(&timeoutOk);
    target->loginTimeoutSeconds = timeoutOk ? timeout : 0;

    const QString provider = pairs.value(QStringLiteral("PROVIDER"));
    if (provider.isEmpty()) {
        if (pairs.contains(QStringLiteral("DSN")) || pairs.contains(QStringLiteral("DRIVER"))) {
            target->kind = Target::Kind::Odbc;
            target->odbcConnectString = text.trimmed();
            return true;
        }
        *error = QStringLiteral("Die Verbindungszeichenfolge „%1“ nennt weder einen Provider noch eine "
                                "ODBC-Datenquelle (DSN).")
                     .arg(text);
        return false;
    }

    if (provider.compare(QLatin1String("SQLite"), Qt::CaseInsensitive) == 0) {
        const QString file = pairs.value(QStringLiteral("DATA SOURCE"));
        if (file.isEmpty()) {
            *error = QStringLiteral("Die Verbindungszeichenfolge nennt keine SQLite-Datei (Data Source).");
            return false;
        }
        target->kind = Target::Kind::Sqlite;
        target->sqliteFile = file;
        target->sqlServerDialect = false;
        return true;
    }

    if (!isSqlServerProvider(provider)) {
        *error = QStringLiteral("Unbekannter Datenbank-Provider „%1“ in der Verbindungszeichenfolge.")
                     .arg(provider);
        return false;
    }

    const QString driver = pairs.value(QStringLiteral("DRIVER"), defaultOdbcDriver());
    QString server = pairs.value(QStringLiteral("DATA SOURCE"), pairs.value(QStringLiteral("SERVER")));
    QStringList parts;
    parts << QStringLiteral("DRIVER={%1}").arg(driver);
    // FreeTDS takes the port on its own; "server,port" is the SQL Server form.
    const qsizetype comma = server.indexOf(QLatin1Char(','));
    if (comma > 0 && driver.contains(QLatin1String("FreeTDS"), Qt::CaseInsensitive)) {
        parts << QStringLiteral("SERVER=") + odbcValue(server.left(comma).trimmed());
        parts << QStringLiteral("PORT=") + server.mid(comma + 1).trimmed();
    } else {
        parts << QStringLiteral("SERVER=") + odbcValue(server);
    }
    parts << QStringLiteral("DATABASE=") + odbcValue(pairs.value(QStringLiteral("INITIAL CATALOG")));
    const QString user = pairs.value(QStringLiteral("USER ID"));
    if (!user.isEmpty()) {
        parts << QStringLiteral("UID=") + odbcValue(user);
        parts << QStringLiteral("PWD=") + odbcValue(pairs.value(QStringLiteral("PASSWORD")));
    } else if (pairs.value(QStringLiteral("INTEGRATED SECURITY"))
                       .compare(QLatin1String("SSPI"), Qt::CaseInsensitive) == 0 ||
               pairs.value(QStringLiteral("INTEGRATED SECURITY"))
                       .compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) {
        parts << QStringLiteral("Trusted_Connection=Yes");
    }
    target->kind = Target::Kind::Odbc;
    target->odbcConnectString = parts.join(QLatin1Char(';'));
    return true;
}

} // namespace ConnectionString

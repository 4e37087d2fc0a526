#pragma once

#include <QString>

// The host database connection text: composed from the host INI file or given
// on the command line, in the OLE DB form the host ERP uses, and turned into a
// QtSql connection here.
namespace ConnectionString {

// The text start-up composes from the host INI values.
QString compose(const QString& serverName, const QString& databaseName);

// What a connection text asks for.
struct Target {
    enum class Kind { Odbc, Sqlite };
    Kind kind = Kind::Odbc;
    QString odbcConnectString; // for Kind::Odbc
    QString sqliteFile;        // for Kind::Sqlite
    int loginTimeoutSeconds = 0;
    bool sqlServerDialect = true; // false for an ODBC source of another kind
};

// The ODBC driver for SQL Server: $BRV32_ODBC_DRIVER, else FreeTDS on Linux
// and "ODBC Driver 18 for SQL Server" on Windows.
QString defaultOdbcDriver();

// Translates a connection text. On failure returns false and a German
// message that names what is wrong.
bool translate(const QString& text, Target* target, QString* error);

} // namespace ConnectionString

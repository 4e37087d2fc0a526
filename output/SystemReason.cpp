#include "output/SystemReason.h"

#include <QHash>

#include <cerrno>
#include <cstring>

namespace {

struct Reason {
    int code;
    const char* german;
};

const Reason kReasons[] = {
    {ENOSPC, "Kein Speicherplatz auf dem Gerät"},
#ifdef EDQUOT
    {EDQUOT, "Der zugeteilte Speicherplatz (Quota) ist aufgebraucht"},
#endif
    {EFBIG, "Die Datei ist zu groß"},
    {EACCES, "Keine Berechtigung"},
    {EPERM, "Die Operation ist nicht erlaubt"},
    {EROFS, "Das Dateisystem ist nur lesbar"},
    {EIO, "Ein- oder Ausgabefehler"},
    {ENOENT, "Datei oder Verzeichnis nicht gefunden"},
    {ENOTDIR, "Ist kein Verzeichnis"},
    {EISDIR, "Ist ein Verzeichnis"},
    {ENAMETOOLONG, "Der Dateiname ist zu lang"},
    {EMFILE, "Zu viele offene Dateien"},
    {EBUSY, "Das Gerät oder die Ressource ist belegt"},
};

// Both wordings of each reason: the C library's in the current locale (also
// std::error_code's) and Qt's.
QHash<QString, QString> germanByText() {
    QHash<QString, QString> table;
    for (const Reason& r : kReasons) {
        const QString german = QString::fromUtf8(r.german);
        table.insert(QString::fromLocal8Bit(std::strerror(r.code)), german);
        table.insert(qt_error_string(r.code), german);
    }
    return table;
}

} // namespace

QString germanReason(const QString& systemText) {
    static const QHash<QString, QString> table = germanByText();
    return table.value(systemText.trimmed(), systemText);
}

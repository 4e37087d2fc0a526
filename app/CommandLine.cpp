#include "app/CommandLine.h"

namespace {

// The host program may pass its argument unquoted; every composed
// connection string and many paths hold blanks, so the shell splits them
// into words. Joined with one blank they are the one argument again.
QString joinedArgument(const QStringList& words) {
    return words.join(QLatin1Char(' '));
}

} // namespace

bool CommandLine::parse(const QStringList& args, CommandLine* out, QString* error) {
    CommandLine cl;
    QStringList words;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        auto value = [&](QString* target) {
            if (i + 1 >= args.size()) {
                *error = QStringLiteral("Zur Option %1 fehlt der Wert.").arg(a);
                return false;
            }
            *target = args[++i];
            return true;
        };
        auto date = [&](QDate* target) {
            QString text;
            if (!value(&text))
                return false;
            *target = QDate::fromString(text, QStringLiteral("yyyy-MM-dd"));
            if (!target->isValid()) {
                *error = QStringLiteral("Ungültiges Datum „%1“ bei %2 (erwartet: JJJJ-MM-TT).").arg(text, a);
                return false;
            }
            return true;
        };
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            cl.mode = Mode::Help;
        } else if (a == QLatin1String("--version")) {
            cl.mode = Mode::Version;
        } else if (a == QLatin1String("--program-dir")) {
            if (!value(&cl.programDir))
                return false;
        } else if (a == QLatin1String("--make-demo-db")) {
            cl.mode = Mode::MakeDemoDb;
            if (!value(&cl.demoFile))
                return false;
        } else if (a == QLatin1String("--invoices")) {
            QString text;
            if (!value(&text))
                return false;
            bool ok = false;
            cl.invoices = text.toInt(&ok);
            if (!ok || cl.invoices < 0) {
                *error = QStringLiteral("Ungültige Anzahl „%1“ bei --invoices.").arg(text);
                return false;
            }
        } else if (a == QLatin1String("--export")) {
            cl.mode = Mode::Export;
            if (!value(&cl.exportKey))
                return false;
        } else if (a == QLatin1String("--check-db")) {
            cl.mode = Mode::CheckDb;
        } else if (a == QLatin1String("--from")) {
            if (!date(&cl.from))
                return false;
        } else if (a == QLatin1String("--to")) {
            if (!date(&cl.to))
                return false;
        } else if (a == QLatin1String("--due-date")) {
            cl.dueDate = true;
        } else if (a == QLatin1String("--sort")) {
            QString text;
            if (!value(&text))
                return false;
            if (text != QLatin1String("name") && text != QLatin1String("customer")) {
                *error = QStringLiteral("--sort erwartet „name“ oder „customer“, nicht „%1“.").arg(text);
                return false;
            }
            cl.sortByCustomer = text == QLatin1String("customer");
        } else if (a == QLatin1String("--yes")) {
            cl.yes = true;
        } else if (a.startsWith(QLatin1String("--"))) {
            *error = QStringLiteral("Unbekannte Option „%1“.").arg(a);
            return false;
        } else {
            words << a;
        }
    }
    cl.argument = joinedArgument(words);
    *out = cl;
    return true;
}

QString CommandLine::usage() {
    return QStringLiteral(
        "Aufruf:\n"
        "  brv32-sepa [--program-dir ORDNER] [VERBINDUNG|INI-PFAD]\n"
        "  brv32-sepa --make-demo-db DATEI [--invoices N]\n"
        "  brv32-sepa --export SCHLUESSEL [--from JJJJ-MM-TT] [--to JJJJ-MM-TT] [--due-date]\n"
        "             [--sort name|customer] [--yes] [--program-dir ORDNER] [VERBINDUNG|INI-PFAD]\n"
        "  brv32-sepa --check-db [--from JJJJ-MM-TT] [--to JJJJ-MM-TT] [--program-dir ORDNER]\n"
        "             [VERBINDUNG|INI-PFAD]\n"
        "  brv32-sepa --help | --version\n"
        "\n"
        "  VERBINDUNG|INI-PFAD  Verbindungszeichenfolge und Pfad der brevanta.Ini, beide optional\n"
        "  --program-dir        Ordner der eigenen INI-Datei und des Fehlerprotokolls\n"
        "  --make-demo-db       schreibt eine SQLite-Demo-Datenbank mit N offenen Belegen je Art\n"
        "  --export             exportiert ohne Fenster alle offenen Belege der Belegart\n"
        "                       (R0, A1 bis A8) im Zeitraum; Fragen nur mit --yes bejaht\n"
        "  --check-db           prüft alle Anweisungen des Programms an der Datenbank, ändert nichts\n"
        "  --version            zeigt die Version\n"
        "\n"
        "Rückgabewert von --export:\n"
        "  0  exportiert und gebucht\n"
        "  1  keine Zahlungsdatei (nichts zu exportieren, eine Prüfung hat angehalten, eine Frage\n"
        "     wurde verneint, die Datenbank war gesperrt, ein anderer Fehler); nichts gebucht\n"
        "  2  Aufruf, Einstellungen oder Datenbank unbrauchbar\n"
        "  3  exportiert und gebucht, aber ein Bericht (oder das Fehlerprotokoll, die CSV Datei)\n"
        "     fehlt; die Meldung nennt ihn und seinen Ordner\n");
}

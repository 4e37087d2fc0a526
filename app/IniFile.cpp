#include "app/IniFile.h"

#include "app/FileReplace.h"
#include "base/Windows1252.h"
#include "hostdb/LockWait.h"
#include "output/ExportPath.h"
#include "output/SepaOptions.h"

#include <QFile>

namespace {

// Blanks only: tabs belong to the key or value.
QString trimBlanks(const QString& s) {
    qsizetype begin = 0;
    qsizetype end = s.size();
    while (begin < end && s.at(begin) == QLatin1Char(' '))
        ++begin;
    while (end > begin && s.at(end - 1) == QLatin1Char(' '))
        --end;
    return s.mid(begin, end - begin);
}

QString cutTo(const QString& text, int limit) {
    return limit > 0 ? text.left(limit) : text;
}

} // namespace

namespace IniFile {

QString ReadFile(const QString& Filename, const QString& IniCode) {
    QFile file(Filename);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString wanted = trimBlanks(IniCode).toUpper();
    while (!file.atEnd()) {
        QByteArray raw = file.readLine();
        while (raw.endsWith('\n') || raw.endsWith('\r'))
            raw.chop(1);
        const QString line = Windows1252::decode(raw);
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq < 1)
            continue;
        if (trimBlanks(line.left(eq)).toUpper() == wanted)
            return trimBlanks(line.mid(eq + 1));
    }
    return {};
}

} // namespace IniFile

namespace CreditorLimits {

Firmendaten cut(Firmendaten f) {
    f.FirmenName = cutTo(f.FirmenName, FirmenName);
    f.PLZ = cutTo(f.PLZ, PLZ);
    f.Ort = cutTo(f.Ort, Ort);
    f.Bankleitzahl = cutTo(f.Bankleitzahl, Bankleitzahl);
    f.Kontonummer = cutTo(f.Kontonummer, Kontonummer);
    f.GlaubigerID = cutTo(f.GlaubigerID, GlaubigerID);
    f.Verwendungszweck = cutTo(f.Verwendungszweck, Verwendungszweck);
    f.Referenznummer = cutTo(f.Referenznummer, Referenznummer);
    return f;
}

} // namespace CreditorLimits

QString normalizedExportFolder(const QString& value) {
    return value.isEmpty() ? QStringLiteral("A:\\") : GetExportPath(value);
}

OwnSettings OwnSettings::load(const QString& file) {
    auto read = [&file](const char* key) { return IniFile::ReadFile(file, QLatin1String(key)); };
    auto orZero = [](const QString& v) { return v.isEmpty() ? QStringLiteral("0") : v; };
    OwnSettings s;
    s.ExportPfad = normalizedExportFolder(read("ExportPfad"));
    Firmendaten& f = s.firma;
    f.FirmenName = read("FirmenName");
    f.Adresse = read("Adresse");
    f.PLZ = read("PLZ");
    f.Ort = read("Ort");
    f.Telefon = read("Telefon");
    f.Telefax = read("Telefax");
    f.Bank = read("Bank");
    f.Bankleitzahl = read("Bankleitzahl");
    f.GlaubigerID = read("GlaubigerID");
    f.Kontonummer = read("Kontonummer");
    f.Verwendungszweck = read("Verwendungszweck");
    f.DatumFaelligkeit = read("DatumFaelligkeit");
    f.Referenznummer = read("Referenznummer");
    f.ExterneBelegnummer = read("ExterneBelegnummer").toUpper();
    f = CreditorLimits::cut(f);
    s.CheckBoxGutschrift = read("CheckBoxGutschrift");
    s.CheckBoxLastschrift = read("CheckBoxLastschrift");
    s.EDIFACT = read("EDIFACT");
    s.CSV = orZero(read("CSV"));
    s.KEINEARTIKELRECHNUNG = orZero(read("KEINEARTIKELRECHNUNG"));
    s.BezeichnungStattNameVorname = orZero(read("BezeichnungStattNameVorname"));
    s.SKONTO_RECHNUNGS_KOPF = read("SKONTO_RECHNUNGS_KOPF");
    s.SEPAVersion = read("SEPAVersion");
    s.Echtzeit = orZero(read("Echtzeit"));
    s.Empfaengerpruefung = read("Empfaengerpruefung");
    s.Sperrzeit = read("Sperrzeit");
    return s;
}

QByteArray OwnSettings::toFileContent(bool* lossy) const {
    const QList<QPair<const char*, QString>> lines = {
        {"ExportPfad", ExportPfad},
        {"FirmenName", firma.FirmenName},
        {"Adresse", firma.Adresse},
        {"PLZ", firma.PLZ},
        {"Ort", firma.Ort},
        {"Telefon", firma.Telefon},
        {"Telefax", firma.Telefax},
        {"Bank", firma.Bank},
        {"Bankleitzahl", firma.Bankleitzahl},
        {"GlaubigerID", firma.GlaubigerID},
        {"Kontonummer", firma.Kontonummer},
        {"Verwendungszweck", firma.Verwendungszweck},
        {"DatumFaelligkeit", firma.DatumFaelligkeit},
        {"Referenznummer", firma.Referenznummer},
        {"ExterneBelegnummer", firma.ExterneBelegnummer},
        {"EDIFACT", EDIFACT},
        {"CSV", CSV},
        {"KEINEARTIKELRECHNUNG", KEINEARTIKELRECHNUNG},
        {"SKONTO_RECHNUNGS_KOPF", SKONTO_RECHNUNGS_KOPF},
        {"CheckBoxGutschrift", CheckBoxGutschrift},
        {"CheckBoxLastschrift", CheckBoxLastschrift},
        {"BezeichnungStattNameVorname", BezeichnungStattNameVorname},
        {"SEPAVersion", SEPAVersion.isEmpty() ? QStringLiteral("2019") : SEPAVersion},
        {"Echtzeit", Echtzeit},
        {"Empfaengerpruefung", spelledVerificationOfPayee(Empfaengerpruefung)},
        {"Sperrzeit", Sperrzeit.isEmpty() ? QString::number(LockWait::kDefaultSeconds) : Sperrzeit},
    };
    QString text;
    for (const auto& [key, value] : lines)
        text += QLatin1String(key) + QLatin1Char('=') + value + QStringLiteral("\r\n");
    return Windows1252::encode(text, lossy);
}

bool OwnSettings::save(const QString& file, QString* error, bool* lossy) const {
    QString reason;
    if (replaceFileContent(file, toFileContent(lossy), &reason))
        return true;
    *error =
        QStringLiteral("Die Einstellungen konnten nicht in „%1“ gespeichert werden: %2").arg(file, reason);
    return false;
}

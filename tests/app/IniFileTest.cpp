#include "app/IniFile.h"
#include "output/Windows1252.h"

#include "FileSizeLimit.h"
#include "TempFolder.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QString writeIni(const QByteArray& content) {
        const QString path = folder.file("test.ini");
        TempFolder::write(path, content);
        return path;
    }
    TempFolder folder;
};

TEST_F(IniFileTest, MatchesKeysAsTheHostProgramDoes) {
    const QString ini = writeIni(Windows1252::encode("[Firma]\r\n"
                                                     "=Anfang\r\n"
                                                     "Kommentar ohne Gleichheitszeichen\r\n"
                                                     "  firmenname  =  Müller & Söhne  \r\n"
                                                     "FirmenName=Zweiter Eintrag\r\n"
                                                     "Formel=a=b=c\r\n"
                                                     "Tab\t=mit Tabulator\r\n"
                                                     "Leer=\r\n"
                                                     "Nur LF=Unix-Zeile\n"
                                                     "Werttab=\twert\t\r\n"));
    EXPECT_EQ(IniFile::ReadFile(ini, "FirmenName"), "Müller & Söhne");
    EXPECT_EQ(IniFile::ReadFile(ini, " FIRMENNAME "), "Müller & Söhne");
    EXPECT_EQ(IniFile::ReadFile(ini, "Formel"), "a=b=c");
    EXPECT_EQ(IniFile::ReadFile(ini, "Tab"), "");
    EXPECT_EQ(IniFile::ReadFile(ini, "Tab\t"), "mit Tabulator");
    EXPECT_EQ(IniFile::ReadFile(ini, "Leer"), "");
    EXPECT_EQ(IniFile::ReadFile(ini, "Nur LF"), "Unix-Zeile");
    EXPECT_EQ(IniFile::ReadFile(ini, "Werttab"), "\twert\t");
    EXPECT_EQ(IniFile::ReadFile(ini, "Anfang"), "");
    EXPECT_EQ(IniFile::ReadFile(ini, "[Firma]"), "");
    EXPECT_EQ(IniFile::ReadFile(folder.file("fehlt.ini"), "FirmenName"), "");
}

TEST_F(IniFileTest, DefaultsWithoutOwnFile) {
    const OwnSettings s = OwnSettings::load(folder.file("fehlt.ini"));
    EXPECT_EQ(s.ExportPfad, "A:\\");
    EXPECT_EQ(s.CSV, "0");
    EXPECT_EQ(s.KEINEARTIKELRECHNUNG, "0");
    EXPECT_EQ(s.BezeichnungStattNameVorname, "0");
    EXPECT_EQ(s.SKONTO_RECHNUNGS_KOPF, "");
    EXPECT_EQ(s.firma.FirmenName, "");
}

TEST_F(IniFileTest, LoadCutsBoxesAndNormalisesTheExportFolder) {
    const QString ini =
        writeIni(Windows1252::encode("FirmenName=Ein sehr langer Firmenname, der nicht in die Box passt\r\n"
                                     "PLZ=D-50667\r\n"
                                     "Verwendungszweck=Abrechnung Dezember 2026 Provisionen\r\n"
                                     "ExterneBelegnummer=ext_belegnr\r\n"
                                     "ExportPfad=D:\\SEPA\r\n"));
    const OwnSettings s = OwnSettings::load(ini);
    EXPECT_EQ(s.firma.FirmenName, "Ein sehr langer Firmenname, der nic");
    EXPECT_EQ(s.firma.FirmenName.size(), 35);
    EXPECT_EQ(s.firma.PLZ, "D-506");
    EXPECT_EQ(s.firma.Verwendungszweck.size(), 27);
    EXPECT_EQ(s.firma.ExterneBelegnummer, "EXT_BELEGNR");
    EXPECT_EQ(s.ExportPfad, "D:\\SEPA\\");
}

TEST(ExportFolder, EndsWithTheSeparatorTheValueUses) {
    EXPECT_EQ(normalizedExportFolder(""), "A:\\");
    EXPECT_EQ(normalizedExportFolder("D:\\SEPA"), "D:\\SEPA\\");
    EXPECT_EQ(normalizedExportFolder("D:\\SEPA\\"), "D:\\SEPA\\");
    EXPECT_EQ(normalizedExportFolder("/srv/sepa"), "/srv/sepa/");
    EXPECT_EQ(normalizedExportFolder("/srv/sepa/"), "/srv/sepa/");
    EXPECT_EQ(normalizedExportFolder("a:"), "a:/");
}

TEST_F(IniFileTest, SaveWritesTheTwentyTwoKeysAndTheSepaVersionInWindows1252AndRoundTrips) {
    OwnSettings s = OwnSettings::load(folder.file("fehlt.ini"));
    s.firma.FirmenName = "Bäckerei Größe";
    s.firma.Ort = "Düsseldorf";
    s.firma.GlaubigerID = "DE98ZZZ09999999999";
    s.CheckBoxGutschrift = "SEPA_GUTSCHRIFT";
    const QString ini = folder.file("own.ini");
    QString error;
    ASSERT_TRUE(s.save(ini, &error)) << error.toStdString();

    const QByteArray bytes = TempFolder::read(ini);
    EXPECT_TRUE(bytes.startsWith("ExportPfad=A:\\\r\nFirmenName=B\xe4"
                                 "ckerei Gr\xf6\xdf"
                                 "e\r\n"));
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 24); // 23 lines, each ended by CR LF
    EXPECT_EQ(lines[15], "EDIFACT=\r");
    EXPECT_EQ(lines[16], "CSV=0\r");
    EXPECT_EQ(lines[21], "BezeichnungStattNameVorname=0\r");
    EXPECT_EQ(lines[22], "SEPAVersion=2019\r") << "a file without the key gets the default";

    const OwnSettings back = OwnSettings::load(ini);
    EXPECT_EQ(back.firma.FirmenName, "Bäckerei Größe");
    EXPECT_EQ(back.firma.Ort, "Düsseldorf");
    EXPECT_EQ(back.toFileContent(), bytes);

    // A value the run refuses is kept as it was read.
    TempFolder::write(ini, "SEPAVersion=2020\r\n");
    EXPECT_TRUE(OwnSettings::load(ini).toFileContent().endsWith("\r\nSEPAVersion=2020\r\n"));
}

TEST_F(IniFileTest, FailedSaveKeepsTheOldFile) {
    const QString ini = folder.file("own.ini");
    TempFolder::write(ini, "FirmenName=Alt\r\n");
    OwnSettings s;
    s.firma.FirmenName = "Neu";
    QString error;
    bool saved = true;
    {
        // A disk that fills up mid-write; works for root too, unlike permissions.
        FileSizeLimit limit(16);
        saved = s.save(ini, &error);
    }
    EXPECT_FALSE(saved);
    EXPECT_TRUE(error.contains("bleibt unverändert")) << error.toStdString();
    EXPECT_EQ(TempFolder::read(ini), "FirmenName=Alt\r\n");
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"own.ini"}));
}

} // namespace

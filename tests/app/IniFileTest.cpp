#include "app/IniFile.h"
#include "base/Windows1252.h"

#include "FileSizeLimit.h"
#include "TempFolder.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <optional>

#include <sys/fsuid.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Each line of the file, a key asked for and what it reads.
TEST_F(IniFileTest, MatchesKeysAsTheHostProgramDoes) {
    const struct {
        const char *line, *key, *value;
    } rows[] = {
        {"[Firma]\r\n", "[Firma]", ""},
        {"=Anfang\r\n", "Anfang", ""},
        {"Kommentar ohne Gleichheitszeichen\r\n", "Tab", ""},
        {"  firmenname  =  Müller & Söhne  \r\n", "FirmenName", "Müller & Söhne"},
        {"FirmenName=Zweiter Eintrag\r\n", " FIRMENNAME ", "Müller & Söhne"},
        {"Formel=a=b=c\r\n", "Formel", "a=b=c"},
        {"Tab\t=mit Tabulator\r\n", "Tab\t", "mit Tabulator"},
        {"Leer=\r\n", "Leer", ""},
        {"Nur LF=Unix-Zeile\n", "Nur LF", "Unix-Zeile"},
        {"Werttab=\twert\t\r\n", "Werttab", "\twert\t"},
    };
    QString text;
    for (const auto& row : rows)
        text += QString::fromUtf8(row.line);
    const QString ini = writeIni(Windows1252::encode(text));
    for (const auto& row : rows)
        EXPECT_EQ(IniFile::ReadFile(ini, row.key), QString::fromUtf8(row.value)) << row.key;
    EXPECT_EQ(IniFile::ReadFile(folder.file("fehlt.ini"), "FirmenName"), "");
}

TEST_F(IniFileTest, LoadCutsBoxesAndNormalisesTheExportFolder) {
    const QString ini =
        writeIni(Windows1252::encode("FirmenName=Ein sehr langer Firmenname, der nicht in die Box passt\r\n"
                                     "PLZ=D-50667\r\n"
                                     "Verwendungszweck=Abrechnung Dezember 2026 Provisionen\r\n"
                                     "ExterneBelegnummer=ext_belegnr\r\n"
                                     "ExportPfad=D:\\SEPA\r\n"));
    const OwnSettings s = OwnSettings::load(ini);
    EXPECT_EQ(QStringList({s.firma.FirmenName, s.firma.PLZ, s.firma.Verwendungszweck,
                           s.firma.ExterneBelegnummer, s.ExportPfad}),
              QStringList({"Ein sehr langer Firmenname, der nic", "D-506", "Abrechnung Dezember 2026 Pr",
                           "EXT_BELEGNR", "D:\\SEPA\\"})); // cut to 35, 5 and 27 characters
    EXPECT_EQ(OwnSettings::load(writeIni("ExportPfad=a:\r\n")).ExportPfad, "a:\\"); // still the diskette
}

// Without an own file every value is empty but for the defaults; saving
// writes the 22 keys in their order, the SEPA options and the lock wait, in
// Windows-1252.
TEST_F(IniFileTest, SaveWritesTheTwentyTwoKeysAndTheSepaOptionsInWindows1252AndRoundTrips) {
    OwnSettings s = OwnSettings::load(folder.file("fehlt.ini"));
    EXPECT_EQ(s.SKONTO_RECHNUNGS_KOPF, "");
    s.firma.FirmenName = "Bäckerei Größe";
    s.firma.Ort = "Düsseldorf";
    s.firma.GlaubigerID = "DE98ZZZ09999999999";
    s.CheckBoxGutschrift = "SEPA_GUTSCHRIFT";
    const QString ini = folder.file("own.ini");
    QString error;
    ASSERT_TRUE(s.save(ini, &error)) << error.toStdString();

    const QByteArray bytes = TempFolder::read(ini);
    EXPECT_EQ(bytes,
              "ExportPfad=A:\\\r\nFirmenName=B\xe4"
              "ckerei Gr\xf6\xdf"
              "e\r\nAdresse=\r\nPLZ=\r\nOrt=D\xfc"
              "sseldorf\r\nTelefon=\r\nTelefax=\r\nBank=\r\nBankleitzahl=\r\n"
              "GlaubigerID=DE98ZZZ09999999999\r\nKontonummer=\r\nVerwendungszweck=\r\nDatumFaelligkeit=\r\n"
              "Referenznummer=\r\nExterneBelegnummer=\r\nEDIFACT=\r\nCSV=0\r\nKEINEARTIKELRECHNUNG=0\r\n"
              "SKONTO_RECHNUNGS_KOPF=\r\nCheckBoxGutschrift=SEPA_GUTSCHRIFT\r\nCheckBoxLastschrift=\r\n"
              "BezeichnungStattNameVorname=0\r\nSEPAVersion=2019\r\nEchtzeit=0\r\nEmpfaengerpruefung=\r\n"
              "Sperrzeit=30\r\n");
    EXPECT_EQ(OwnSettings::load(ini).toFileContent(), bytes);

    // A known code is written in its own spelling; a value the run refuses is
    // kept as it was read.
    const struct {
        const char* file;
        const char* tail;
    } rows[] = {
        {"SEPAVersion=2009\r\nEchtzeit=1\r\nEmpfaengerpruefung= vopoptout \r\nSperrzeit= 5 \r\n",
         "\r\nSEPAVersion=2009\r\nEchtzeit=1\r\nEmpfaengerpruefung=VoPOptOut\r\nSperrzeit=5\r\n"},
        {"empfaengerpruefung=VOPOPTIN\r\nsperrzeit=600\r\n",
         "\r\nSEPAVersion=2019\r\nEchtzeit=0\r\nEmpfaengerpruefung=VoPOptIn\r\nSperrzeit=600\r\n"},
        {"SEPAVersion=2020\r\nEchtzeit=ja\r\nEmpfaengerpruefung=Ja\r\nSperrzeit=lang\r\n",
         "\r\nSEPAVersion=2020\r\nEchtzeit=ja\r\nEmpfaengerpruefung=Ja\r\nSperrzeit=lang\r\n"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        TempFolder::write(ini, row.file);
        const QByteArray saved = OwnSettings::load(ini).toFileContent();
        EXPECT_TRUE(saved.endsWith(row.tail)) << saved.toStdString();
        TempFolder::write(ini, saved);
        EXPECT_EQ(OwnSettings::load(ini).toFileContent(), saved);
    }
}

// File access as an ordinary user meets it: root passes every permission
// check, so it takes the identity of "nobody" for file access meanwhile.
constexpr uid_t kNobody = 65534;
struct AsOrdinaryUser {
    AsOrdinaryUser() {
        if (geteuid() == 0)
            setfsgid(kNobody), setfsuid(kNobody);
    }
    ~AsOrdinaryUser() {
        if (geteuid() == 0)
            setfsuid(0), setfsgid(0);
    }
};

struct SaveSetup {
    const char* name;
    bool folderTakesNewFiles; // otherwise only the file itself is writable
    bool diskFull;
    bool fileWritable = true; // otherwise neither folder nor file takes anything
};

class SavingTheOwnFile : public IniFileTest, public ::testing::WithParamInterface<SaveSetup> {};

TEST_P(SavingTheOwnFile, KeepsOwnerAndPermissionsAndNeverLeavesAHalfFile) {
    const SaveSetup& setup = GetParam();
    const QString dir = folder.file("prog");
    const QString ini = dir + "/own.ini";
    QDir().mkdir(dir);
    const QByteArray old = "FirmenName=Alt\r\n";
    TempFolder::write(ini, old);
    const mode_t mode = !setup.fileWritable ? 0444 : setup.folderTakesNewFiles ? 0640 : 0646;
    ASSERT_EQ(chmod(QFile::encodeName(folder.path()).constData(), 0755), 0);
    ASSERT_EQ(chmod(QFile::encodeName(ini).constData(), mode), 0);
    // Root hands the file to another owner, whom a new file would not have.
    const uid_t owner = geteuid() == 0 && setup.folderTakesNewFiles ? kNobody : geteuid();
    ASSERT_EQ(chown(QFile::encodeName(ini).constData(), owner, gid_t(-1)), 0);
    ASSERT_EQ(chmod(QFile::encodeName(dir).constData(), setup.folderTakesNewFiles ? 0755 : 0555), 0);

    OwnSettings s;
    s.firma.FirmenName = "Neu";
    QString error;
    bool saved = false;
    {
        std::optional<AsOrdinaryUser> user;
        if (!setup.folderTakesNewFiles)
            user.emplace();
        std::optional<FileSizeLimit> limit; // a disk that fills up mid-write
        if (setup.diskFull)
            limit.emplace(old.size());
        saved = s.save(ini, &error);
    }
    chmod(QFile::encodeName(dir).constData(), 0755);

    const bool refused = setup.diskFull || !setup.fileWritable;
    EXPECT_EQ(saved, !refused) << error.toStdString();
    EXPECT_EQ(TempFolder::read(ini), refused ? old : s.toFileContent());
    // What is said is what is true: the old file stands, and nothing needs putting back.
    if (refused) {
        EXPECT_TRUE(error.contains(
                        "Die bisherige Datei bleibt unverändert; es muss nichts wiederhergestellt werden.") &&
                    !error.contains("ließ sich nicht"))
            << error.toStdString();
    }
    struct stat after {};
    ASSERT_EQ(stat(QFile::encodeName(ini).constData(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, mode);
    EXPECT_EQ(after.st_uid, owner);
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), QStringList({"own.ini"}));
    EXPECT_EQ(QDir(QDir::tempPath()).entryList({".own.ini.*"}, QDir::Files | QDir::Hidden), QStringList());
}

INSTANTIATE_TEST_SUITE_P(Folders, SavingTheOwnFile,
                         ::testing::Values(SaveSetup{"FolderTakesNewFiles", true, false},
                                           SaveSetup{"OnlyTheFileIsWritable", false, false},
                                           SaveSetup{"FolderTakesNewFilesDiskFull", true, true},
                                           SaveSetup{"OnlyTheFileIsWritableDiskFull", false, true},
                                           SaveSetup{"NothingIsWritable", false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace

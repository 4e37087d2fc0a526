#include "export/RunRecord.h"

#include "hostdb/BoundList.h"
#include "output/ExportPath.h"
#include "output/PendingFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSet>

namespace {

const QString kPrefix = QStringLiteral(".brv32-lauf-");
const QString kStampForm = QStringLiteral("yyyy_MM_dd_HH_mm_ss"); // the CSV file's form
const QString kPaymentStampForm = QStringLiteral("ddMMyyyy'T'HHmmss");

// Whether any name in the folder carries the second, in either form.
bool taken(const QStringList& entries, const QDateTime& t) {
    const QString a = t.toString(kStampForm);
    const QString b = t.toString(kPaymentStampForm);
    for (const QString& name : entries) {
        if (name.contains(a) || name.contains(b))
            return true;
    }
    return false;
}

std::unique_ptr<QLockFile> lockFor(const QString& lockPath) {
    auto lock = std::make_unique<QLockFile>(lockPath);
    // Only a lock whose process has ended is stale, however long a run takes.
    lock->setStaleLockTime(0);
    return lock;
}

// A header value as the JSON reader gives it back: null, a number or a
// text; numbers in the shortest form that reads back to the same double.
void appendJsonValue(QString& json, const QVariant& v) {
    if (v.isNull()) {
        json += QStringLiteral("null");
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
        json += QString::number(v.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        // a value that is not a number goes as null, as the JSON classes write it
        json += qIsFinite(v.toDouble()) ? QString::number(v.toDouble(), 'g', QLocale::FloatingPointShortest)
                                        : QStringLiteral("null");
        return;
    case QMetaType::QString:
        BoundList::appendJsonString(json, v.toString());
        return;
    default: // whatever else a driver hands out, as the JSON classes write it
        json += QString::fromUtf8(QJsonDocument(QJsonArray{QJsonValue::fromVariant(v)})
                                      .toJson(QJsonDocument::Compact)
                                      .chopped(1)
                                      .sliced(1));
    }
}

QVariant variant(const QJsonValue& v) {
    return v.isNull() || v.isUndefined() ? QVariant() : v.toVariant();
}

} // namespace

std::unique_ptr<RunRecord> RunRecord::reserve(const QString& exportFolder, const QDateTime& wanted,
                                              QString* error) {
    const QString folder = localFilePath(exportFolder);
    // Whole seconds of the same moment: built anew from date and time, a time
    // of the hour that repeats when the clocks go back would fall into its
    // second pass and carry the wrong offset from UTC.
    QDateTime t = wanted.addMSecs(-wanted.time().msec());
    const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    for (int attempt = 0; attempt < 86400; ++attempt, t = t.addSecs(1)) {
        const QStringList entries = QDir(folder).entryList(all);
        if (taken(entries, t))
            continue;
        std::unique_ptr<QLockFile> lock = lockFor(folder + kPrefix + t.toString(kStampForm) + ".lock");
        if (lock->tryLock(0))
            return std::unique_ptr<RunRecord>(new RunRecord(folder, t, std::move(lock)));
        if (lock->error() != QLockFile::LockFailedError) {
            *error = QStringLiteral("Im Exportordner %1 kann nicht geschrieben werden.").arg(exportFolder);
            return nullptr;
        }
    }
    *error = QStringLiteral("Im Exportordner %1 ist kein Dateiname mehr frei.").arg(exportFolder);
    return nullptr;
}

QStringList RunRecord::recordsIn(const QString& exportFolder) {
    return QDir(localFilePath(exportFolder))
        .entryList({kPrefix + QStringLiteral("*.json"), kPrefix + QStringLiteral("*.lock")},
                   QDir::Files | QDir::Hidden, QDir::Name);
}

std::unique_ptr<RunRecord> RunRecord::takeOver(const QString& exportFolder, const QString& recordName) {
    const QString folder = localFilePath(exportFolder);
    const QString stampText = recordName.mid(kPrefix.size()).section(QLatin1Char('.'), 0, 0);
    const QDateTime stamp = QDateTime::fromString(stampText, kStampForm);
    if (!stamp.isValid())
        return nullptr;
    std::unique_ptr<QLockFile> lock = lockFor(folder + kPrefix + stampText + ".lock");
    if (!lock->tryLock(0))
        return nullptr; // its run is still going on (or the folder refuses)
    std::unique_ptr<RunRecord> record(new RunRecord(folder, stamp, std::move(lock)));
    QFile file(record->path(".json"));
    if (!file.exists())
        return record; // the run ended before it staged anything
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    if (o.isEmpty())
        return nullptr;
    record->state = o.value(QStringLiteral("published")).toBool() ? State::Published : State::Posted;
    record->paymentFile = folder + o.value(QStringLiteral("paymentFile")).toString();
    record->claim.kind = o.value(QStringLiteral("kind")).toInt();
    record->claim.documentType = o.value(QStringLiteral("documentType")).toString();
    record->claim.paidAt = QDateTime::fromString(o.value(QStringLiteral("paidAt")).toString(), Qt::ISODate);
    for (const QJsonValue& v : o.value(QStringLiteral("invoices")).toArray()) {
        const QJsonObject h = v.toObject();
        record->claim.before.append({h.value(QStringLiteral("name")).toString(),
                                     variant(h.value(QStringLiteral("ZAHL_BETRAG"))),
                                     variant(h.value(QStringLiteral("GESPERRT")))});
    }
    return record;
}

RunRecord::RunRecord(const QString& folder, const QDateTime& stamp, std::unique_ptr<QLockFile> lock)
    : m_folder(folder), m_stamp(stamp), m_lock(std::move(lock)) {}

RunRecord::~RunRecord() = default;

QString RunRecord::path(const char* suffix) const {
    return m_folder + kPrefix + m_stamp.toString(kStampForm) + QLatin1String(suffix);
}

bool RunRecord::save(QString* error) {
    // Written by hand: a posting of 100,000 invoices is saved while it holds
    // the database's write lock, and a document of that many objects took
    // half a second to build. The text is what the JSON reader above takes.
    // A published run only needs its state at the next start.
    QString text = QStringLiteral("{\"published\":") +
                   (state == State::Published ? QStringLiteral("true") : QStringLiteral("false")) +
                   QStringLiteral(",\"paymentFile\":");
    BoundList::appendJsonString(text, QFileInfo(paymentFile).fileName());
    text += QStringLiteral(",\"kind\":") + QString::number(claim.kind) + QStringLiteral(",\"documentType\":");
    BoundList::appendJsonString(text, claim.documentType);
    text += QStringLiteral(",\"paidAt\":");
    BoundList::appendJsonString(text, claim.paidAt.toString(Qt::ISODate));
    text += QStringLiteral(",\"invoices\":[");
    if (state != State::Published) {
        text.reserve(text.size() + claim.before.size() * 64);
        const QList<Posting::HeaderBefore>& before = claim.before; // read only: no copy of a shared list
        for (const Posting::HeaderBefore& h : before) {
            if (&h != &before.front())
                text += QLatin1Char(',');
            text += QStringLiteral("{\"name\":");
            BoundList::appendJsonString(text, h.name);
            text += QStringLiteral(",\"ZAHL_BETRAG\":");
            appendJsonValue(text, h.zahlBetrag);
            text += QStringLiteral(",\"GESPERRT\":");
            appendJsonValue(text, h.gesperrt);
            text += QLatin1Char('}');
        }
    }
    text += QStringLiteral("]}");
    const QString name = path(".json").mid(m_folder.size());
    PendingFile file = stageFile(m_folder, name, text.toUtf8());
    if (file.isStaged() && file.publish(PendingFile::Replacing::Allowed))
        return true;
    *error = QStringLiteral("Der Laufbericht %1 konnte nicht geschrieben werden: %2")
                 .arg(file.name, file.errorString);
    return false;
}

QStringList RunRecord::stagedFiles() const {
    const QStringList names = QDir(m_folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    QStringList staged;
    for (const QString& name : names) {
        if (name.startsWith(QLatin1Char('.')) && name.endsWith(QLatin1String(".part")) &&
            !name.contains(kPrefix) && taken({name}, m_stamp))
            staged << m_folder + name;
    }
    return staged;
}

void RunRecord::finish() {
    QFile::remove(path(".json"));
    m_lock->unlock();
}

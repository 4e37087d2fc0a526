#include "app/BatchPrompter.h"

#include "export/RunPhase.h"
#include "output/FullWrite.h"
#include "output/PendingFile.h"
#include "output/ReportEngine.h"

#include <QBuffer>
#include <QFileInfo>
#include <QTextStream>

#include <algorithm>

namespace {

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

QString iconWord(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Critical:
        return QStringLiteral("Fehler: ");
    case Prompter::Icon::Warning:
        return QStringLiteral("Warnung: ");
    case Prompter::Icon::Information:
        return QStringLiteral("Hinweis: ");
    case Prompter::Icon::None:
        break;
    }
    return {};
}

} // namespace

void BatchPrompter::message(const QString& text, Icon icon, const QString& title) {
    err() << "[" << (title.isEmpty() ? applicationTitle() : title) << "] " << iconWord(icon)
          << withLineFeeds(text) << Qt::endl;
}

bool BatchPrompter::askYesNo(const QString& text, const QString& title, Default) {
    err() << "[" << (title.isEmpty() ? applicationTitle() : title) << "] " << withLineFeeds(text) << " "
          << (m_answerYes ? "Ja (--yes)" : "Nein (ohne --yes)") << Qt::endl;
    return m_answerYes;
}

void BatchPrompter::openFile(const QString& path) {
    err() << "Fehlerprotokoll ergänzt: " << path << Qt::endl;
}

void BatchPrompter::prepareReport(const QString& reportName, const Report& report) {
    Prepared& prepared = m_prepared.emplace_back();
    prepared.reportName = reportName;
    prepared.drawing = std::thread([&prepared, report] {
        const RunPhase drawing("Beitrag zeichnen (Nebenfaden)");
        QBuffer buffer(&prepared.pdf);
        prepared.written =
            buffer.open(QIODevice::WriteOnly) && writeReportPdf(buffer, *report, prepared.reportName);
    });
}

void BatchPrompter::dropPreparedReports() {
    for (Prepared& prepared : m_prepared)
        prepared.drawing.join();
    m_prepared.clear();
}

std::optional<MissingFile> BatchPrompter::showReport(const QString& reportName, const Report& report) {
    const QFileInfo payment(m_paymentFile);
    const QString folder = payment.absolutePath() + QLatin1Char('/');
    const QString name = payment.completeBaseName() + QLatin1Char('_') + reportName + QStringLiteral(".pdf");
    const auto prepared = std::find_if(m_prepared.begin(), m_prepared.end(),
                                       [&](const Prepared& p) { return p.reportName == reportName; });
    if (prepared != m_prepared.end())
        prepared->drawing.join();
    // Drawn under a temporary name and published like the payment file, so a
    // half report never shows and no file of that name is ever replaced.
    bool drawingFailed = false;
    PendingFile pdf = stageFile(folder, name, [&](QIODevice& device) {
        if (prepared == m_prepared.end())
            return writeReportPdf(device, *report, reportName);
        if (!prepared->written) {
            drawingFailed = true;
            return false;
        }
        return writeAll(device, prepared->pdf);
    });
    if (prepared != m_prepared.end())
        m_prepared.erase(prepared);
    if (!pdf.isStaged() || !pdf.publish())
        return MissingFile{QStringLiteral("der Bericht „%1“").arg(reportName), folder + name,
                           drawingFailed ? QStringLiteral("Er ließ sich nicht zeichnen.") : pdf.errorString};
    m_reportFiles << pdf.finalPath;
    return std::nullopt;
}

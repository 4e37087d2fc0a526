#include "app/BatchPrompter.h"

#include "output/PendingFile.h"

#include <QFileInfo>
#include <QPdfWriter>
#include <QTextStream>

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

bool BatchPrompter::askYesNo(const QString& text, const QString& title) {
    err() << "[" << (title.isEmpty() ? applicationTitle() : title) << "] " << withLineFeeds(text) << " "
          << (m_answerYes ? "Ja (--yes)" : "Nein (ohne --yes)") << Qt::endl;
    return m_answerYes;
}

void BatchPrompter::openFile(const QString& path) {
    err() << "Fehlerprotokoll ergänzt: " << path << Qt::endl;
}

void BatchPrompter::showReport(const QString& reportName, const ReportPainter& paint) {
    const QFileInfo payment(m_paymentFile);
    const QString folder = payment.absolutePath() + QLatin1Char('/');
    const QString name = payment.completeBaseName() + QLatin1Char('_') + reportName + QStringLiteral(".pdf");
    // Drawn under a temporary name and published like the payment file, so a
    // half report never shows and no file of that name is ever replaced.
    PendingFile pdf = stageFile(folder, name, [&](QIODevice& device) {
        QPdfWriter writer(&device);
        writer.setTitle(reportName);
        writer.setCreator(QStringLiteral("BRV32-SEPA-Überweisung"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        return paint(writer);
    });
    if (!pdf.isStaged() || !pdf.publish()) {
        message(QStringLiteral("Der Bericht „%1“ konnte nicht als %2 gespeichert werden. %3")
                    .arg(reportName, folder + name, pdf.errorString),
                Icon::Critical);
        return;
    }
    m_reportFiles << pdf.finalPath;
}

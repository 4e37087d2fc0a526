#include "app/BatchPrompter.h"

#include <QFile>
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
    const QString pdf = payment.absolutePath() + QLatin1Char('/') + payment.completeBaseName() +
                        QLatin1Char('_') + reportName + QStringLiteral(".pdf");
    bool ok = false;
    {
        QPdfWriter writer(pdf);
        writer.setTitle(reportName);
        writer.setCreator(QStringLiteral("BRV32-SEPA-Überweisung"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        ok = paint(writer);
    }
    if (!ok || !QFileInfo(pdf).isFile() || QFileInfo(pdf).size() == 0) {
        QFile::remove(pdf);
        message(
            QStringLiteral("Der Bericht „%1“ konnte nicht als %2 gespeichert werden.").arg(reportName, pdf),
            Icon::Critical);
        return;
    }
    m_reportFiles << pdf;
}

void BatchPrompter::removeReports() {
    for (const QString& pdf : m_reportFiles) {
        if (!QFile::remove(pdf) && QFile::exists(pdf))
            message(
                QStringLiteral("Der Bericht %1 gehört zu einem Lauf ohne Buchung und konnte nicht gelöscht "
                               "werden; bitte von Hand löschen.")
                    .arg(pdf),
                Icon::Critical);
    }
    m_reportFiles.clear();
}

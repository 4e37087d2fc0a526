#include "PdfText.h"

#include "GuiApplication.h"

#include <QPdfWriter>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

namespace {

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(60000);
    EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

QStringList pagesOf(const QString& pdfPath, const QString& mode) {
    QStringList result =
        run(QStringLiteral("pdftotext"),
            {mode, QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdfPath, QStringLiteral("-")})
            .split(QLatin1Char('\f'));
    // pdftotext ends every page with a form feed, so the last piece is empty.
    if (!result.isEmpty() && result.last().trimmed().isEmpty())
        result.removeLast();
    return result;
}

} // namespace

namespace PdfText {

QStringList reportPages(const Prompter::ReportPainter& paint, const QString& pdfPath) {
    ensureGuiApplication();
    {
        QPdfWriter pdf(pdfPath);
        if (!paint(pdf)) {
            ADD_FAILURE() << "report not drawn: " << pdfPath.toStdString();
            return {};
        }
    }
    return pages(pdfPath);
}

QStringList pages(const QString& pdfPath) {
    return pagesOf(pdfPath, QStringLiteral("-layout"));
}

QStringList rawPages(const QString& pdfPath) {
    return pagesOf(pdfPath, QStringLiteral("-raw"));
}

QStringList fonts(const QString& pdfPath) {
    QStringList names;
    const QStringList lines = run(QStringLiteral("pdffonts"), {pdfPath}).split(QLatin1Char('\n'));
    for (qsizetype i = 2; i < lines.size(); ++i) { // after the caption and the rule
        const QString name = lines[i].section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

QString lineWith(const QString& page, const QString& needle) {
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        if (line.contains(needle))
            return line.simplified();
    }
    return {};
}

QString pageCounter(const QString& page) {
    static const QRegularExpression counter(QStringLiteral("Seite:\\s*(\\d+)\\s*/\\s*(\\d+)"));
    const auto match = counter.match(page);
    return match.hasMatch() ? QStringLiteral("Seite: %1 / %2").arg(match.captured(1), match.captured(2))
                            : QString();
}

} // namespace PdfText

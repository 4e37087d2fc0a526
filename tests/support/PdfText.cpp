#include "PdfText.h"

#include "GuiApplication.h"

#include "output/ReportEngine.h"

#include <QFile>
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

QString pdftotext(const QString& mode, const QString& pdfPath) {
    return run("pdftotext", {mode, "-enc", "UTF-8", pdfPath, "-"});
}

} // namespace

namespace PdfText {

QStringList reportPages(const Report& report, const QString& pdfPath) {
    ensureGuiApplication();
    QFile pdf(pdfPath);
    if (!pdf.open(QIODevice::WriteOnly) || !writeReportPdf(pdf, *report, "Bericht")) {
        ADD_FAILURE() << "report not written: " << pdfPath.toStdString();
        return {};
    }
    pdf.close();
    return pages(pdfPath);
}

QStringList shownReportPages(const QList<QPair<QString, Report>>& shown, const QString& reportName,
                             const QString& pdfPath) {
    if (shown.size() != 1 || shown[0].first != reportName) {
        ADD_FAILURE() << shown.size() << " reports shown, not one " << reportName.toStdString();
        return {};
    }
    return reportPages(shown[0].second, pdfPath);
}

QStringList pages(const QString& pdfPath) {
    QStringList result = pdftotext("-layout", pdfPath).split('\f');
    // pdftotext ends every page with a form feed, so the last piece is empty.
    if (!result.isEmpty() && result.last().trimmed().isEmpty())
        result.removeLast();
    return result;
}

QList<Word> words(const QString& pdfPath) {
    static const QRegularExpression tag(
        "<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
        "yMax=\"([0-9.]+)\">([^<]*)</word>");
    QList<Word> result;
    int page = -1;
    for (const auto& match : tag.globalMatch(pdftotext("-bbox", pdfPath))) {
        if (match.captured(0) == "<page ") {
            ++page;
            continue;
        }
        QString text = match.captured(5);
        text.replace("&lt;", "<").replace("&gt;", ">").replace("&quot;", "\"").replace("&amp;", "&");
        result.append({page, text, match.captured(1).toDouble(), match.captured(2).toDouble(),
                       match.captured(3).toDouble(), match.captured(4).toDouble()});
    }
    return result;
}

Word word(const QList<Word>& words, const QString& text, int page) {
    for (const Word& w : words) {
        if (w.text == text && (page < 0 || w.page == page))
            return w;
    }
    ADD_FAILURE() << "no word " << text.toStdString();
    return {};
}

QStringList fonts(const QString& pdfPath) {
    QStringList names;
    const QStringList lines = run("pdffonts", {pdfPath}).split('\n');
    for (qsizetype i = 2; i < lines.size(); ++i) { // after the caption and the rule
        const QString name = lines[i].section(' ', 0, 0, QString::SectionSkipEmpty);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

QString lineWith(const QString& page, const QString& needle) {
    for (const QString& line : page.split('\n')) {
        if (line.contains(needle))
            return line.simplified();
    }
    return {};
}

QStringList missingLines(const QString& page, const QStringList& expected) {
    QStringList lines, missing;
    for (const QString& line : page.split('\n'))
        lines << line.simplified();
    for (const QString& line : expected) {
        if (!lines.contains(line))
            missing << line;
    }
    return missing;
}

QString pageCounter(const QString& page) {
    static const QRegularExpression counter("Seite:\\s*(\\d+)\\s*/\\s*(\\d+)");
    const auto match = counter.match(page);
    return match.hasMatch() ? QStringLiteral("Seite: %1 / %2").arg(match.captured(1), match.captured(2))
                            : QString();
}

} // namespace PdfText

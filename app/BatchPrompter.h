#pragma once

#include "export/Prompter.h"

#include <QStringList>

// The prompter of batch mode: messages go to standard error in German,
// questions are answered Yes only when --yes was given, reports are written
// as PDF files beside the payment file.
class BatchPrompter : public Prompter {
public:
    explicit BatchPrompter(bool answerYes) : m_answerYes(answerYes) {}

    // The payment file the next reports belong to.
    void setPaymentFile(const QString& path) { m_paymentFile = path; }
    // The PDF files written so far.
    const QStringList& reportFiles() const { return m_reportFiles; }

    void message(const QString& text, Icon icon = Icon::None, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}) override;
    void setBusy(bool) override {}
    void setProgressRange(int, int) override {}
    void setProgressValue(int) override {}
    void openFile(const QString& path) override;
    void showReport(const QString& reportName, const ReportPainter& paint) override;

private:
    bool m_answerYes;
    QString m_paymentFile;
    QStringList m_reportFiles;
};

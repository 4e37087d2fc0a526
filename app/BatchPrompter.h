#pragma once

#include "base/Prompter.h"

#include <QByteArray>
#include <QStringList>

#include <list>
#include <thread>

// The prompter of batch mode: messages go to standard error in German,
// questions are answered Yes only when --yes was given, reports are written
// as PDF files beside the payment file.
class BatchPrompter : public Prompter {
public:
    explicit BatchPrompter(bool answerYes) : m_answerYes(answerYes) {}
    ~BatchPrompter() override { dropPreparedReports(); }

    // The payment file the next reports belong to.
    void setPaymentFile(const QString& path) { m_paymentFile = path; }
    // The PDF files written so far.
    const QStringList& reportFiles() const { return m_reportFiles; }

    void message(const QString& text, Icon icon = Icon::None, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}, Default preset = Default::Yes) override;
    void setBusy(bool) override {}
    void setProgressRange(int, int) override {}
    void setProgressValue(int) override {}
    void openFile(const QString& path) override;
    // Writes the PDF beside the payment file.
    std::optional<MissingFile> showReport(const QString& reportName, const Report& report) override;
    // Draws the PDF on a thread of its own while the run writes, checks and
    // posts the payment file; held in memory until it is shown.
    void prepareReport(const QString& reportName, const Report& report) override;
    void dropPreparedReports() override;

private:
    struct Prepared {
        QString reportName;
        QByteArray pdf;
        bool written = false;
        std::thread drawing;
    };

    bool m_answerYes;
    std::list<Prepared> m_prepared;
    QString m_paymentFile;
    QStringList m_reportFiles;
};

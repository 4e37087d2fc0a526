#pragma once

#include "QtPrinters.h"
#include "base/Prompter.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// A prompter for tests: records every message and question, answers questions
// from a queue (Yes when the queue is empty) and keeps each report's painter
// so a test can render it to a PDF.
class RecordingPrompter : public Prompter {
public:
    struct Message {
        QString text;
        Icon icon;
        QString title;
    };

    QList<Message> messages;
    QStringList questions;
    QList<Default> presets; // the preset answer of each question
    QList<bool> answers;    // taken from the front, one per question
    QStringList openedFiles;
    QList<QPair<QString, Report>> reports;
    QMap<QString, MissingFile> unwritable; // reports that cannot be written, by name
    int progressMaximum = 0;
    int progressValue = 0;
    bool busy = false;

    void message(const QString& text, Icon icon = Icon::None, const QString& title = {}) override {
        messages.append({text, icon, title.isEmpty() ? applicationTitle() : title});
    }
    bool askYesNo(const QString& text, const QString& = {}, Default preset = Default::Yes) override {
        questions << text;
        presets << preset;
        return answers.isEmpty() || answers.takeFirst();
    }
    void setBusy(bool on) override { busy = on; }
    void setProgressRange(int, int maximum) override { progressMaximum = maximum; }
    void setProgressValue(int value) override { progressValue = value; }
    void openFile(const QString& path) override { openedFiles << path; }
    std::optional<MissingFile> showReport(const QString& reportName, const Report& report) override {
        reports.append({reportName, report});
        if (unwritable.contains(reportName))
            return unwritable.value(reportName);
        return std::nullopt;
    }

    // All message texts, joined by a line feed, for EXPECT_THAT-style checks.
    QString allText() const {
        QStringList texts;
        for (const auto& m : messages)
            texts << m.text;
        return texts.join('\n');
    }
};

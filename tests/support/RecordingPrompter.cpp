#include "RecordingPrompter.h"

void RecordingPrompter::message(const QString& text, Icon icon, const QString& title) {
    messages.append({text, icon, title.isEmpty() ? applicationTitle() : title});
}

bool RecordingPrompter::askYesNo(const QString& text, const QString&) {
    questions << text;
    return answers.isEmpty() || answers.takeFirst();
}

void RecordingPrompter::showReport(const QString& reportName, const Report& report) {
    reports.append({reportName, report});
}

QString RecordingPrompter::allText() const {
    QStringList texts;
    for (const auto& m : messages)
        texts << m.text;
    return texts.join(QLatin1Char('\n'));
}

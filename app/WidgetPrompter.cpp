#include "app/WidgetPrompter.h"

#include "app/LongMessageBox.h"
#include "app/ReportPreview.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

namespace {

QMessageBox::Icon boxIcon(Prompter::Icon icon) {
    switch (icon) {
    case Prompter::Icon::Information:
        return QMessageBox::Information;
    case Prompter::Icon::Warning:
        return QMessageBox::Warning;
    case Prompter::Icon::Critical:
        return QMessageBox::Critical;
    case Prompter::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

// A message box must show the arrow even while the run shows the hourglass.
class ArrowWhileOpen {
public:
    explicit ArrowWhileOpen(bool busy) : m_busy(busy) {
        if (m_busy)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    ~ArrowWhileOpen() {
        if (m_busy)
            QApplication::restoreOverrideCursor();
    }

private:
    bool m_busy;
};

} // namespace

void WidgetPrompter::message(const QString& text, Icon icon, const QString& title) {
    ArrowWhileOpen arrow(m_busy);
    LongMessageBox::show(m_window, boxIcon(icon), title.isEmpty() ? applicationTitle() : title,
                         withLineFeeds(text));
}

bool WidgetPrompter::askYesNo(const QString& text, const QString& title, Default preset) {
    ArrowWhileOpen arrow(m_busy);
    QMessageBox box(QMessageBox::NoIcon, title.isEmpty() ? applicationTitle() : title, withLineFeeds(text),
                    QMessageBox::Yes | QMessageBox::No, m_window);
    box.button(QMessageBox::Yes)->setText(QStringLiteral("&Ja"));
    box.button(QMessageBox::No)->setText(QStringLiteral("&Nein"));
    box.setDefaultButton(preset == Default::No ? QMessageBox::No : QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
}

void WidgetPrompter::setBusy(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void WidgetPrompter::setProgressRange(int minimum, int maximum) {
    if (m_progress)
        m_progress->setRange(minimum, maximum);
}

void WidgetPrompter::setProgressValue(int value) {
    if (m_progress)
        m_progress->setValue(value);
}

void WidgetPrompter::openFile(const QString& path) {
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

std::optional<MissingFile> WidgetPrompter::showReport(const QString& reportName, const Report& report) {
    ArrowWhileOpen arrow(m_busy);
    ReportPreview preview(reportName, report, m_window);
    preview.exec();
    return std::nullopt; // a preview writes no file; its print dialog tells of a failed print itself
}

#pragma once

#include "base/Prompter.h"

class QProgressBar;
class QWidget;

// Message boxes, the wait cursor, the progress bar and the print preview of
// the main window.
class WidgetPrompter : public Prompter {
public:
    explicit WidgetPrompter(QWidget* window) : m_window(window) {}
    void setProgressBar(QProgressBar* bar) { m_progress = bar; }

    void message(const QString& text, Icon icon = Icon::None, const QString& title = {}) override;
    bool askYesNo(const QString& text, const QString& title = {}, Default preset = Default::Yes) override;
    void setBusy(bool busy) override;
    void setProgressRange(int minimum, int maximum) override;
    void setProgressValue(int value) override;
    void openFile(const QString& path) override;
    std::optional<MissingFile> showReport(const QString& reportName, const Report& report) override;

private:
    QWidget* m_window;
    QProgressBar* m_progress = nullptr;
    bool m_busy = false;
};

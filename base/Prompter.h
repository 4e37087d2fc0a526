#pragma once

#include <QString>

#include <memory>
#include <optional>

struct ReportLayout;
// A report ready to be drawn (output/ReportEngine.h).
using Report = std::shared_ptr<const ReportLayout>;

// A file a run should have left and could not write: what it is ("der
// Bericht „Beitrag“"), where it belongs and the system's reason.
struct MissingFile {
    QString what;
    QString path;
    QString reason;
};

// The channel through which the core talks to the user: message boxes and
// questions in the window, standard error and fixed answers in batch mode,
// recorded calls in tests.
class Prompter {
public:
    enum class Icon { None, Information, Warning, Critical };

    // Title of every message box that names no title of its own.
    static QString applicationTitle() { return QStringLiteral("SEPA Überweisung"); }

    virtual ~Prompter() = default;

    // A message with an OK button; an empty title means the application title.
    virtual void message(const QString& text, Icon icon = Icon::None, const QString& title = {}) = 0;
    // The button a Yes/No question offers first, taken by Enter.
    enum class Default { Yes, No };
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const QString& text, const QString& title = {}, Default preset = Default::Yes) = 0;
    // Wait cursor on or off.
    virtual void setBusy(bool busy) = 0;
    // The progress bar of the first tab.
    virtual void setProgressRange(int minimum, int maximum) = 0;
    virtual void setProgressValue(int value) = 0;
    // The desktop's open action on a file (shows the error log).
    virtual void openFile(const QString& path) = 0;

    // Presents a finished report: print preview in the window, a PDF beside
    // the payment file in batch mode. reportName is the report's own name
    // ("Begleitzettel", "Beitrag", "Uebersicht"). Returns the report's file
    // when it could not be written; the caller tells the user.
    virtual std::optional<MissingFile> showReport(const QString& reportName, const Report& report) = 0;
    // A report of an export run known before the run publishes its files:
    // batch mode starts drawing it meanwhile. It appears only through
    // showReport; dropPreparedReports forgets what was prepared and not shown.
    virtual void prepareReport(const QString& reportName, const Report& report) {
        (void)reportName;
        (void)report;
    }
    virtual void dropPreparedReports() {}

    // The messages break lines with CR, CR LF or LF; screens and terminals want LF.
    static QString withLineFeeds(QString text) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        return text;
    }
};

// A prompter with no one at the screen: messages and reports go nowhere,
// every question gets the answer it was made with. Tools without a window
// (the database check, fuzzing, benchmarks) start from it.
class QuietPrompter : public Prompter {
public:
    explicit QuietPrompter(bool answer = false) : m_answer(answer) {}

    void message(const QString&, Icon, const QString&) override {}
    bool askYesNo(const QString&, const QString&, Default) override { return m_answer; }
    void setBusy(bool) override {}
    void setProgressRange(int, int) override {}
    void setProgressValue(int) override {}
    void openFile(const QString&) override {}
    std::optional<MissingFile> showReport(const QString&, const Report&) override { return std::nullopt; }

private:
    bool m_answer;
};

// The wait cursor while an operation runs; every way out restores the arrow.
class BusyWhileRunning {
public:
    explicit BusyWhileRunning(Prompter& prompter) : m_prompter(prompter) { m_prompter.setBusy(true); }
    ~BusyWhileRunning() { m_prompter.setBusy(false); }
    BusyWhileRunning(const BusyWhileRunning&) = delete;
    BusyWhileRunning& operator=(const BusyWhileRunning&) = delete;

private:
    Prompter& m_prompter;
};

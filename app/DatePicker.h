#pragma once

#include <QDateEdit>

// A date picker as a clerk expects it: a click selects the day, month or
// year under the mouse, so digits typed next replace that part, and a whole
// date typed from the day runs on through month and year.
class DatePicker : public QDateEdit {
public:
    explicit DatePicker(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

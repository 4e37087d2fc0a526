#include "app/LongMessageBox.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QVBoxLayout>

namespace {

constexpr int kShortLines = 25;

QIcon standardIcon(QWidget* parent, QMessageBox::Icon icon) {
    QStyle* style = parent ? parent->style() : nullptr;
    if (!style)
        return {};
    switch (icon) {
    case QMessageBox::Information:
        return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case QMessageBox::Warning:
        return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case QMessageBox::Critical:
        return style->standardIcon(QStyle::SP_MessageBoxCritical);
    default:
        return {};
    }
}

} // namespace

namespace LongMessageBox {

void show(QWidget* parent, QMessageBox::Icon icon, const QString& title, const QString& text) {
    if (text.count(QLatin1Char('\n')) < kShortLines) {
        QMessageBox box(icon, title, text, QMessageBox::Ok, parent);
        box.exec();
        return;
    }
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* layout = new QVBoxLayout(&dialog);
    auto* row = new QHBoxLayout;
    const QIcon symbol = standardIcon(parent, icon);
    if (!symbol.isNull()) {
        auto* iconLabel = new QLabel;
        iconLabel->setPixmap(symbol.pixmap(32, 32));
        iconLabel->setAlignment(Qt::AlignTop);
        row->addWidget(iconLabel);
    }
    auto* body = new QPlainTextEdit(text);
    body->setReadOnly(true);
    body->setLineWrapMode(QPlainTextEdit::NoWrap);
    row->addWidget(body, 1);
    layout->addLayout(row, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    dialog.resize(720, 480);
    dialog.exec();
}

} // namespace LongMessageBox

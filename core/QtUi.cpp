#include "QtUi.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

QWidget* QtUi::parentWidget() const
{
    if (m_parent)
        return m_parent;
    return QApplication::activeWindow();
}

Ui::Answer QtUi::message(const QString& text, const QString& title, Icon icon, Buttons buttons)
{
    QMessageBox box(parentWidget());
    box.setText(text);
    // An empty title shows the application name on some desktops: keep it truly empty.
    box.setWindowTitle(title.isEmpty() ? QStringLiteral(" ") : title);
    switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Warning: box.setIcon(QMessageBox::Warning); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Buttons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Retry: return Answer::Retry;
    default: return Answer::Ok;
    }
}

std::optional<QString> QtUi::prompt(const QString& text, const QString& title,
                                    const QString& defaultText)
{
    bool ok = false;
    const QString value = QInputDialog::getText(parentWidget(), title, text, QLineEdit::Normal,
                                                defaultText, &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

QString QtUi::openFileName(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parentWidget(), title, folder, filter);
}

QString QtUi::saveFileName(const QString& title, const QString& folder, const QString& filter)
{
    return QFileDialog::getSaveFileName(parentWidget(), title, folder, filter);
}

QString QtUi::folderName(const QString& title, const QString& folder)
{
    return QFileDialog::getExistingDirectory(parentWidget(), title, folder);
}

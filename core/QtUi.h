#pragma once

#include "Ui.h"

#include <QPointer>
#include <QWidget>

// The program's Ui: modal Qt dialogs over the active window (French buttons come from
// the Qt translation that main() installs).
class QtUi : public Ui {
public:
    explicit QtUi(QWidget* parent = nullptr) : m_parent(parent) {}

    void setParent(QWidget* parent) { m_parent = parent; }

    Answer message(const QString& text, const QString& title, Icon icon,
                   Buttons buttons) override;
    std::optional<QString> prompt(const QString& text, const QString& title,
                                  const QString& defaultText) override;
    QString openFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString saveFileName(const QString& title, const QString& folder,
                         const QString& filter) override;
    QString folderName(const QString& title, const QString& folder) override;

private:
    QWidget* parentWidget() const;
    QPointer<QWidget> m_parent;
};

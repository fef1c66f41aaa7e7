#pragma once

#include <QDialog>
#include <functional>

// "A propos de": product, version, the vendor's web address, the update button.
class AboutDialog : public QDialog {
    Q_OBJECT
public:
    AboutDialog(std::function<bool()> startUpdater, QWidget* parent = nullptr);

    static QString webAddress() { return QStringLiteral("https://automat.example.org"); }
};

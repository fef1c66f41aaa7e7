#include "SplashWindow.h"

#include "Version.h"

#include <QApplication>
#include <QLabel>
#include <QStyle>
#include <QVBoxLayout>

SplashWindow::SplashWindow(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::Tool)
{
    setWindowTitle(QStringLiteral("Loading ZUR"));
    setObjectName(QStringLiteral("SplashWindow"));
    auto* picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("pictureLabel"));
    picture->setPixmap(style()->standardIcon(QStyle::SP_ComputerIcon).pixmap(64, 64));
    picture->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(QString::fromUtf8(AUTOMAT_PRODUCT_TITLE), this);
    title->setObjectName(QStringLiteral("productLabel"));
    QFont big = title->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    title->setFont(big);
    title->setAlignment(Qt::AlignCenter);
    auto* version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(AUTOMAT_VERSION), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    version->setAlignment(Qt::AlignCenter);
    auto* description = new QLabel(QString(), this);
    description->setObjectName(QStringLiteral("descriptionLabel"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addWidget(picture);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(description);
    setStyleSheet(QStringLiteral("SplashWindow { border: 1px solid palette(dark); }"));
    adjustSize();
}

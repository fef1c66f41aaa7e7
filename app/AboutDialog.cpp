#include "AboutDialog.h"

#include "Version.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

AboutDialog::AboutDialog(std::function<bool()> startUpdater, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("A propos de ") + QString::fromUtf8(AUTOMAT_PRODUCT_TITLE));
    auto* title = new QLabel(QString::fromUtf8(AUTOMAT_PRODUCT_TITLE), this);
    QFont f = title->font();
    f.setBold(true);
    f.setPointSizeF(f.pointSizeF() * 1.3);
    title->setFont(f);
    auto* version = new QLabel(QStringLiteral("Version ") + QString::fromLatin1(AUTOMAT_VERSION), this);
    version->setObjectName(QStringLiteral("versionLabel"));
    auto* web = new QLabel(QStringLiteral("<a href=\"%1\">%1</a>").arg(webAddress()), this);
    web->setObjectName(QStringLiteral("webLabel"));
    web->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(web, &QLabel::linkActivated, this, [](const QString& link) { QDesktopServices::openUrl(QUrl(link)); });

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okPushButton"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* update = new QPushButton(QStringLiteral("Téléchargement de mise à jour"), this);
    update->setObjectName(QStringLiteral("miseAJourPushButton"));
    connect(update, &QPushButton::clicked, this, [startUpdater] { startUpdater(); });

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(update);
    buttons->addStretch();
    buttons->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(title);
    layout->addWidget(version);
    layout->addWidget(web);
    layout->addSpacing(12);
    layout->addLayout(buttons);
}

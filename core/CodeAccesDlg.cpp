#include "CodeAccesDlg.h"

#include "Ui.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

int CodeAccesDlg::s_failedAttempts = 0;

CodeAccesDlg::CodeAccesDlg(Ui& ui, const QVariant& motPasse, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_ui(ui), m_motPasse(motPasse.isNull() ? QString() : motPasse.toString())
{
    setWindowTitle(QStringLiteral("Contrôle d'accès"));
    setObjectName(QStringLiteral("CodeAccesDlg"));

    m_firstLabel = new QLabel(QStringLiteral("Entrez le mot de passe:"), this);
    m_firstLineEdit = new QLineEdit(this);
    m_firstLineEdit->setObjectName(QStringLiteral("motPasseLineEdit"));
    m_secondLabel = new QLabel(QStringLiteral("Confirmez le mot de passe:"), this);
    m_secondLineEdit = new QLineEdit(this);
    m_secondLineEdit->setObjectName(QStringLiteral("confirmationLineEdit"));
    for (QLineEdit* e : {m_firstLineEdit, m_secondLineEdit}) {
        e->setEchoMode(QLineEdit::Password);
        e->setStyleSheet(QStringLiteral("lineedit-password-character: 35;")); // "#"
    }
    m_firstLabel->setBuddy(m_firstLineEdit);
    m_secondLabel->setBuddy(m_secondLineEdit);
    m_secondLabel->hide();
    m_secondLineEdit->hide();

    m_okPushButton = new QPushButton(QStringLiteral("Ok"), this);
    m_okPushButton->setObjectName(QStringLiteral("okPushButton"));
    m_okPushButton->setDefault(true);
    m_okPushButton->setAutoDefault(true);
    m_annulerPushButton = new QPushButton(QStringLiteral("Annuler"), this);
    m_annulerPushButton->setObjectName(QStringLiteral("annulerPushButton"));
    m_annulerPushButton->setAutoDefault(false);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okPushButton);
    buttons->addWidget(m_annulerPushButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_firstLabel);
    layout->addWidget(m_firstLineEdit);
    layout->addWidget(m_secondLabel);
    layout->addWidget(m_secondLineEdit);
    layout->addLayout(buttons);
    setMinimumWidth(320);

    connect(m_okPushButton, &QPushButton::clicked, this, &CodeAccesDlg::confirm);
    connect(m_annulerPushButton, &QPushButton::clicked, this, &CodeAccesDlg::cancel);
    connect(m_secondLineEdit, &QLineEdit::textChanged, this, &CodeAccesDlg::secondChanged);
    setTabOrder(m_firstLineEdit, m_secondLineEdit);
    setTabOrder(m_secondLineEdit, m_okPushButton);
    setTabOrder(m_okPushButton, m_annulerPushButton);
}

QString CodeAccesDlg::MDP() const
{
    return m_firstLineEdit->text();
}

void CodeAccesDlg::NouveauMDP()
{
    m_firstLineEdit->clear();
    m_firstLabel->setText(QStringLiteral("Entrez le nouveau mot de passe:"));
    m_secondLabel->show();
    m_secondLineEdit->show();
    NouvMDP = true;
    m_okPushButton->setEnabled(false);
}

void CodeAccesDlg::secondChanged()
{
    if (NouvMDP)
        m_okPushButton->setEnabled(m_secondLineEdit->text() == m_firstLineEdit->text());
}

void CodeAccesDlg::confirm()
{
    if (NouvMDP) {
        Ok = m_secondLineEdit->text() == m_firstLineEdit->text();
        done(Ok ? Accepted : Rejected);
        return;
    }
    if (m_firstLineEdit->text() == m_motPasse) {
        Ok = true;
        done(Accepted);
        return;
    }
    m_ui.message(QStringLiteral("Mot de passe incorect !"), QString(), Ui::Icon::None,
                 Ui::Buttons::Ok);
    ++s_failedAttempts;
    if (s_failedAttempts >= 3) {
        Ok = false;
        m_programEnded = true;
        done(Rejected);
        return;
    }
    m_firstLineEdit->clear();
    m_firstLineEdit->setFocus();
}

void CodeAccesDlg::cancel()
{
    Ok = false;
    done(Rejected);
}

void CodeAccesDlg::reject()
{
    // Escape acts as "Annuler".
    Ok = false;
    QDialog::reject();
}

void CodeAccesDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_firstLineEdit->clear();
    m_firstLineEdit->setFocus();
}

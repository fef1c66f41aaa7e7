#include "Startup.h"

#include "CodeAccesDlg.h"
#include "FnZidurad.h"
#include "FonctionUtilitaires.h"
#include "SingleInstance.h"
#include "SplashWindow.h"

#include <QApplication>

Startup::Startup(Ui& ui) : m_ui(ui) {}

Startup::~Startup()
{
    if (m_waitCursor)
        QApplication::restoreOverrideCursor();
}

Startup::Outcome Startup::begin()
{
    // 1. The test runs before this copy shows its own splash.
    m_instance = std::make_unique<SingleInstance>();
    if (!m_instance->acquire())
        return Outcome::AnotherCopyRuns;

    // 2.
    m_splash = std::make_unique<SplashWindow>();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_waitCursor = true;
    FonctionUtilitaires::CentreForm(m_splash.get());
    m_splash->show();
    m_splash->raise();
    FonctionUtilitaires::Pause(0.1);

    // 3 to 10.
    const QString folder = FnZidurad::ApplicationFolder();
    m_secrets = Secrets::load(folder);
    m_settings = AppSettings::load(folder, m_secrets, AppSettings::SystemDecimalSeparator(), &m_ui);
    return Outcome::Continue;
}

bool Startup::askPassword(const QVariant& motPasse, QWidget* parent)
{
    if (motPasse.isNull() || motPasse.toString().isEmpty())
        return true;
    CodeAccesDlg dlg(m_ui, motPasse, parent);
    if (m_waitCursor) {
        QApplication::restoreOverrideCursor();
        m_waitCursor = false;
    }
    dlg.exec();
    return dlg.Ok;
}

void Startup::finish()
{
    if (m_waitCursor) {
        QApplication::restoreOverrideCursor();
        m_waitCursor = false;
    }
    if (m_splash)
        m_splash->hide();
}

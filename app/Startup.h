#pragma once

#include "AppSettings.h"
#include "Secrets.h"

#include <QVariant>
#include <memory>

class SingleInstance;
class SplashWindow;
class Ui;

// The program's entry sequence: single instance, splash, settings, connection string,
// then the main window and the password prompt.
class Startup {
public:
    explicit Startup(Ui& ui);
    ~Startup();

    enum class Outcome { Continue, AnotherCopyRuns };

    // Steps 1 to 10. With AnotherCopyRuns the program must end at once, silently.
    Outcome begin();
    // Step 12: true when the program may go on (no password set, or the right one typed).
    bool askPassword(const QVariant& motPasse, QWidget* parent = nullptr);
    // Step 13, after the main window is shown: normal pointer, splash hidden.
    void finish();

    const AppSettings& settings() const { return m_settings; }
    AppSettings& settings() { return m_settings; }
    const Secrets& secrets() const { return m_secrets; }
    SplashWindow* splash() const { return m_splash.get(); }

private:
    Ui& m_ui;
    std::unique_ptr<SingleInstance> m_instance;
    std::unique_ptr<SplashWindow> m_splash;
    AppSettings m_settings;
    Secrets m_secrets;
    bool m_waitCursor = false;
};

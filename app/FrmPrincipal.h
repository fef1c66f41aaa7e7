#pragma once

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>

class CompanyRecord;
class Database;
class FilteredLineEdit;
class QAction;
class QGroupBox;
class QLabel;
class QProgressBar;
class QToolButton;
class Ui;
struct AppSettings;

// The home window: one button per function, the company panel, the synchronisation
// panel. Loading opens the database and the company record; closing writes the
// company e-mail back and ends the program.
class FrmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    struct Command {
        const char* name;    // CmdReport ...
        const char* caption; // as shown, leading blank included
        bool shown;
        const char* icon;    // file in the "icon" folder, or nullptr
    };
    static const QList<Command>& commands();

    FrmPrincipal(Ui& ui, AppSettings& settings, QWidget* parent = nullptr);
    ~FrmPrincipal() override;

    enum class LoadResult { Ok, NoDatabase };
    // screenWidth: the width to check (the primary screen's when negative).
    LoadResult load(int screenWidth = -1);

    // Gives a command its action (the composition root does it for each window that
    // exists); a command without one stays disabled.
    void setOpener(const QString& command, std::function<void()> open);

    QVariant motPasse() const;
    Database* database() const { return m_db.get(); }
    CompanyRecord* company() const { return m_company.get(); }
    QProgressBar* progressBar() const { return m_progressB; }
    QWidget* synchroPanel() const;
    QGroupBox* companyPanel() const { return m_companyPanel; }
    QToolButton* button(const QString& name) const { return m_buttons.value(name); }

    // "OK" of the company panel.
    void saveCompany();
    void showCompanyPanel();
    void hideCompanyPanel();
    void showAbout();
    // The about window's update button: starts the updater and ends the program
    // when it is there; answers whether it was started.
    bool startUpdater();
    // Extracts an archive into a folder, paths kept, files replaced; says so when done.
    void Unzip(const QString& Fich, const QString& Repertoire);
    // Writes AdEmail back; called when the window closes.
    void writeBack();

Q_SIGNALS:
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void buildUi();
    void loadIcons();
    void fillCompanyFields();
    void centrePanels();
    void run(const QString& command);

    Ui& m_ui;
    AppSettings& m_settings;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<CompanyRecord> m_company;
    QHash<QString, QToolButton*> m_buttons;
    QHash<QString, QAction*> m_menuActions;
    QHash<QString, std::function<void()>> m_openers;
    QWidget* m_buttonPanel = nullptr;
    QGroupBox* m_companyPanel = nullptr;
    QHash<QString, FilteredLineEdit*> m_fields;
    QWidget* m_synchroPanel = nullptr;
    QProgressBar* m_progressB = nullptr;
    bool m_closing = false;
};

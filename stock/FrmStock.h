#pragma once

#include "ArticleCatalogue.h"

#include <QDialog>
#include <QHash>
#include <memory>

class Database;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QTableView;
class RecordsetModel;
class Ui;
struct AppSettings;

// The stock window "Articles en stock": the list of StockGlobal and the card of the
// current article. Opened from the main window (management mode) or modally by the
// machine and profile windows to pick an article (selection mode).
class FrmStock : public QDialog {
    Q_OBJECT
public:
    // Throws AppException when the database cannot be opened.
    FrmStock(Ui& ui, AppSettings& settings, QWidget* parent = nullptr);
    ~FrmStock() override;

    ArticleCatalogue& catalogue() { return *m_catalogue; }

    // Management mode: the commands of the catalogue, no "Séléctionner".
    void DBGridStockVisible();
    // Selection mode for a caller: shows the window modally and answers what was picked
    // (accepted false when the user closed it without choosing).
    ArticleCatalogue::Selection choisir(bool configMachineOuverte, bool quotaOuvert);
    // "Séléctionner".
    void selectionner();

    void showCard(bool card);
    QString listPosition() const;
    QString cardPosition() const;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fillCard();
    void saveField(const QString& field, const QString& text);
    void listMoved();
    void buildHiddenFields(QWidget* card);
    void reloadSizes();
    void reloadCodes();
    void familyChosen();
    void sizeChosen();
    void codeChosen();

    Ui& m_ui;
    AppSettings& m_settings;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<ArticleCatalogue> m_catalogue;
    RecordsetModel* m_model = nullptr;
    QTableView* m_list = nullptr;
    QLineEdit* m_search = nullptr;
    QStackedWidget* m_views = nullptr;
    QLabel* m_position = nullptr;
    QLabel* m_alert = nullptr;
    QLabel* m_packs = nullptr;
    QHash<QString, QLineEdit*> m_fields;       // bound to the card
    QHash<QString, QLineEdit*> m_listFields;   // read from the list row
    QHash<QString, QString> m_rules;           // field -> "decimal" or "digits"
    class QComboBox* m_family = nullptr;
    class QComboBox* m_size = nullptr;
    class QComboBox* m_code = nullptr;
    class QCheckBox* m_swap = nullptr;
    QWidget* m_codePanel = nullptr;
    QLineEdit* m_codeBound = nullptr;
    QLabel* m_cardPosition = nullptr;
    bool m_filling = false;
    QHash<QString, QPushButton*> m_commands;
    bool m_selection = false;
    bool m_configMachine = false;
    bool m_quota = false;
    ArticleCatalogue::Selection m_chosen;
};

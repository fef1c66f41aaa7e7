#pragma once

#include <QString>
#include <memory>

class Database;
class Recordset;
class Ui;
struct AppSettings;

// The article catalogue of the stock window, without its widgets: the list (view
// StockGlobal) and the card (ArticleEnStock) kept together, the search modes, the
// code pool, bar codes, purchase prices and the stock alert.
class ArticleCatalogue {
public:
    ArticleCatalogue(Database& db, Ui& ui, const AppSettings& settings);
    ~ArticleCatalogue();

    Recordset& list() { return *m_list; }
    Recordset& card() { return *m_card; }

    // 1 Reference, 2 Designation, 3 CodeArticle, 4 RefFournisseur.
    int ModeRecherche = 1;
    bool LectureCodeBarre = false;
    bool FenetreActivee = false;

    void AppliquerModeRecherche(int mode);
    // Moves the list to the next matching article (the current one included); answers
    // whether one was found. Nothing found leaves the list where it was.
    bool RechercherArticle(const QString& text);
    // The new article's reference, 0 after a failure (shown with its description).
    int AjouterArticle();
    bool SupprimerArticle();
    // Asks for the code ("@" of the scanner dropped) and stores it.
    void SaisirCodeBarre();
    bool AttribuerCodeArticle(int code, bool swap);
    // Codes 1..bound exist in the pool afterwards; those no article uses are free.
    void CreerCodesArticles(const QString& bound);

    enum class PriceField { UnitsPerPack, StockAlert, UnitPrice, PackPrice };
    void RecalculerPrixAchat(PriceField field, const QString& typed);
    // "6 P + 3 U".
    QString AfficherAlertePaquets() const;
    // True when QteGlobal of the list row is below StockAlert.
    bool TesterAlerteStock() const;

    struct Selection {
        bool accepted = false;
        int CodeArticleEPI = 0;
        int ReferenceEPI = 0;
        QString DeignationEPI;
        QString RefFourEPI;
    };
    // What the calling window receives; a machine window refuses an article without code.
    Selection SelectionnerArticle(bool configMachineOuverte, bool quotaOuvert);

    // The list's row becomes the card's row.
    void syncCardToList();

    // A key typed in a decimal field: the character that enters, or none.
    static QString decimalKey(QChar typed, const QString& decimalSeparator);

private:
    QString sortField() const;

    Database& m_db;
    Ui& m_ui;
    const AppSettings& m_settings;
    std::unique_ptr<Recordset> m_list;
    std::unique_ptr<Recordset> m_card;
};

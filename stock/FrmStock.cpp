#include "FrmStock.h"

#include "AppException.h"
#include "AppSettings.h"
#include "Database.h"
#include "ErrorReport.h"
#include "Recordset.h"
#include "RecordsetModel.h"
#include "SqlDialect.h"
#include "Ui.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QStringList kListFields = {"Reference", "RefFournisseur", "Designation", "Taille", "CodeArticle", "NomFamille",
                                 "PrixAchatUnit", "ValeurStock", "QteEnStock", "QteEnMachine", "QteGlobal", "StockAlert"};
const QStringList kListCaptions = {"Réference", "Ref. Fournisseur", "Désignation", "Taille", "Code Article", "Famille",
                                   "Prix achat Unitaire", "Valeur stock", "Qté en réserve", "Qté en machine", "Qté Global",
                                   "Stock Alarm"};
} // namespace

FrmStock::FrmStock(Ui& ui, AppSettings& settings, QWidget* parent)
    : QDialog(parent, Qt::Window), m_ui(ui), m_settings(settings)
{
    setObjectName(QStringLiteral("FrmStock"));
    setWindowTitle(QStringLiteral("Articles en stock"));
    m_db = Database::open(settings);
    m_catalogue = std::make_unique<ArticleCatalogue>(*m_db, ui, settings);

    m_search = new QLineEdit(this);
    m_search->setObjectName(QStringLiteral("rechercheLineEdit"));
    m_search->installEventFilter(this);
    auto* searchLabel = new QLabel(QStringLiteral("Rechercher:"), this);
    searchLabel->setBuddy(m_search);
    connect(m_search, &QLineEdit::textChanged, this, [this](const QString& t) { m_catalogue->RechercherArticle(t); });

    auto* tableau = new QPushButton(QStringLiteral("Tableau"), this);
    tableau->setObjectName(QStringLiteral("tableauPushButton"));
    auto* fiche = new QPushButton(QStringLiteral("Fiche"), this);
    fiche->setObjectName(QStringLiteral("fichePushButton"));
    connect(tableau, &QPushButton::clicked, this, [this] { showCard(false); });
    connect(fiche, &QPushButton::clicked, this, [this] { showCard(true); });

    m_model = new RecordsetModel(&m_catalogue->list(), this);
    m_model->setColumns(kListFields, kListCaptions);
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("listeTableView"));
    m_list->setModel(m_model);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->setDefaultSectionSize(22);
    m_list->horizontalHeader()->setStretchLastSection(true);
    m_list->installEventFilter(this);
    m_model->bindSelection(m_list->selectionModel());
    connect(&m_catalogue->list(), &Recordset::currentChanged, this, [this] { listMoved(); });
    connect(m_list, &QTableView::doubleClicked, this, [this] {
        if (m_selection)
            selectionner();
        else
            showCard(true);
    });
    // Header clicks choose the search mode (or sort by a column of its own).
    connect(m_list->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        static const int modes[5] = {1, 4, 2, 0, 3};
        if (section < 5) {
            if (modes[section])
                m_catalogue->AppliquerModeRecherche(modes[section]);
        } else {
            m_catalogue->list().setSort(kListFields.value(section));
        }
        m_search->clear();
        m_search->setFocus();
    });

    // The card: the fields the window shows.
    auto* card = new QWidget(this);
    card->setObjectName(QStringLiteral("ficheWidget"));
    auto* form = new QFormLayout(card);
    const QList<std::pair<QString, QString>> fields = {
        {"Reference", "Réference:"}, {"RefFournisseur", "Réf. fournisseur:"}, {"CodeBar", "Code EAN:"},
        {"Designation", "Désignation:"}, {"DesignationEN", "Désignation Anglais:"}, {"Prix", "Prix de vente TTC:"},
        {"StockAlert", "Stock alerte:"}};
    for (const auto& [field, caption] : fields) {
        auto* edit = new QLineEdit(card);
        edit->setObjectName(field.left(1).toLower() + field.mid(1) + QStringLiteral("LineEdit"));
        edit->installEventFilter(this);
        m_fields.insert(field, edit);
        if (field == QLatin1String("CodeBar")) {
            edit->setReadOnly(true);
            auto* row = new QHBoxLayout;
            row->addWidget(edit);
            auto* scan = new QPushButton(QStringLiteral("..."), card);
            scan->setObjectName(QStringLiteral("codeBarPushButton"));
            scan->setToolTip(QStringLiteral("Code à Bar"));
            connect(scan, &QPushButton::clicked, this, [this] {
                m_catalogue->SaisirCodeBarre();
                fillCard();
            });
            row->addWidget(scan);
            form->addRow(caption, row);
            continue;
        }
        if (field == QLatin1String("Reference"))
            edit->setReadOnly(true);
        else
            connect(edit, &QLineEdit::editingFinished, this, [this, field, edit] { saveField(field, edit->text()); });
        form->addRow(caption, edit);
    }
    m_rules.insert(QStringLiteral("Prix"), QStringLiteral("decimal"));
    m_rules.insert(QStringLiteral("StockAlert"), QStringLiteral("digits"));
    buildHiddenFields(card);
    m_cardPosition = new QLabel(card);
    m_cardPosition->setObjectName(QStringLiteral("positionFicheLabel"));
    m_cardPosition->hide(); // management mode hides it
    form->addRow(m_cardPosition);
    m_packs = new QLabel(card);
    m_packs->setObjectName(QStringLiteral("paquetsLabel"));
    m_alert = new QLabel(QStringLiteral("Alerte Stock !"), card);
    m_alert->setObjectName(QStringLiteral("alerteLabel"));
    m_alert->setStyleSheet(QStringLiteral("color: red; font-weight: bold;"));
    m_alert->hide();
    form->addRow(m_packs);
    form->addRow(m_alert);

    m_views = new QStackedWidget(this);
    m_views->addWidget(m_list);
    m_views->addWidget(card);
    m_position = new QLabel(this);
    m_position->setObjectName(QStringLiteral("positionLabel"));

    auto* commands = new QHBoxLayout;
    const QList<std::pair<QString, QString>> buttons = {
        {"fermer", "Fermer"}, {"selectionner", "Séléctionner"}, {"ajout", "Ajout article"},
        {"suppression", "Supprimer article"}, {"alertes", "Calcul des alertes rupture de stock"},
        {"periode", "Période..."},
        {"image", "Séléctionner l'image"}, {"scanner", "Scanner"}};
    for (const auto& [name, caption] : buttons) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name + QStringLiteral("PushButton"));
        commands->addWidget(b);
        m_commands.insert(name, b);
    }
    // Stock alerts and pictures come with their own windows.
    for (const char* later : {"alertes", "periode", "image", "scanner"}) {
        m_commands.value(QString::fromLatin1(later))->setEnabled(false);
        m_commands.value(QString::fromLatin1(later))->setToolTip(QStringLiteral("Disponible dans une prochaine version"));
    }
    connect(m_commands.value(QStringLiteral("fermer")), &QPushButton::clicked, this, &QDialog::reject);
    connect(m_commands.value(QStringLiteral("selectionner")), &QPushButton::clicked, this, &FrmStock::selectionner);
    connect(m_commands.value(QStringLiteral("ajout")), &QPushButton::clicked, this, [this] {
        if (m_catalogue->AjouterArticle()) {
            showCard(true);
            m_fields.value(QStringLiteral("Designation"))->setFocus();
        }
    });
    connect(m_commands.value(QStringLiteral("suppression")), &QPushButton::clicked, this, [this] {
        m_catalogue->SupprimerArticle();
        listMoved();
    });

    auto* top = new QHBoxLayout;
    top->addWidget(searchLabel);
    top->addWidget(m_search, 1);
    top->addWidget(tableau);
    top->addWidget(fiche);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_views, 1);
    layout->addWidget(m_position);
    layout->addLayout(commands);
    resize(1100, 650);
    DBGridStockVisible();
    listMoved();
}

FrmStock::~FrmStock() = default;

void FrmStock::DBGridStockVisible()
{
    m_selection = false;
    m_commands.value(QStringLiteral("selectionner"))->hide();
    for (const char* name : {"ajout", "suppression", "alertes", "periode", "image", "scanner"})
        m_commands.value(QString::fromLatin1(name))->show();
    m_search->clear();
    showCard(false);
}

ArticleCatalogue::Selection FrmStock::choisir(bool configMachineOuverte, bool quotaOuvert)
{
    m_selection = true;
    m_configMachine = configMachineOuverte;
    m_quota = quotaOuvert;
    m_chosen = {};
    for (const char* name : {"ajout", "suppression", "alertes", "periode", "image", "scanner"})
        m_commands.value(QString::fromLatin1(name))->hide();
    m_commands.value(QStringLiteral("selectionner"))->show();
    exec();
    const ArticleCatalogue::Selection chosen = m_chosen;
    DBGridStockVisible();
    return chosen;
}

void FrmStock::selectionner()
{
    m_chosen = m_catalogue->SelectionnerArticle(m_configMachine, m_quota);
    if (m_chosen.accepted)
        accept();
}

void FrmStock::showCard(bool card)
{
    if (!card && m_catalogue->list().RecordCount() == 0 && m_views->currentIndex() == 1)
        return;
    m_views->setCurrentIndex(card ? 1 : 0);
    if (card)
        fillCard();
}

QString FrmStock::listPosition() const
{
    return m_position->text();
}

void FrmStock::listMoved()
{
    Recordset& list = m_catalogue->list();
    m_position->setText(QStringLiteral("%1 / %2").arg(list.isBOF() || list.isEOF() ? 0 : list.position() + 1).arg(list.RecordCount()));
    m_catalogue->syncCardToList();
    fillCard();
}

void FrmStock::fillCard()
{
    Recordset& card = m_catalogue->card();
    const bool row = !card.isBOF() && !card.isEOF();
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it) {
        QVariant v = row ? card.value(it.key()) : QVariant();
        QString text = v.isNull() ? QString() : v.toString();
        if (v.typeId() == QMetaType::QDateTime)
            text = v.toDateTime().toString(QStringLiteral("dd/MM/yyyy"));
        else if (v.typeId() == QMetaType::Double)
            text = QString::number(v.toDouble(), 'f', 2).replace(u'.', m_settings.DecimalSeparator.isEmpty() ? QStringLiteral(",") : m_settings.DecimalSeparator);
        it.value()->setText(text);
        // Negative numbers in red.
        it.value()->setStyleSheet(!v.isNull() && v.canConvert<double>() && v.typeId() != QMetaType::QString && v.toDouble() < 0
                                      ? QStringLiteral("color: red;") : QString());
    }
    Recordset& list = m_catalogue->list();
    const bool listRow = !list.isBOF() && !list.isEOF();
    for (auto it = m_listFields.begin(); it != m_listFields.end(); ++it) {
        const QVariant v = listRow ? list.value(it.key()) : QVariant();
        it.value()->setText(v.isNull() ? QString() : v.toString());
    }
    m_cardPosition->setText(QStringLiteral("%1 / %2").arg(row ? card.position() + 1 : 0).arg(card.RecordCount()));
    m_packs->setText(m_catalogue->AfficherAlertePaquets());
    m_alert->setVisible(m_catalogue->TesterAlerteStock());
    reloadSizes();
    reloadCodes();
}

void FrmStock::saveField(const QString& field, const QString& text)
{
    Recordset& card = m_catalogue->card();
    if (card.isBOF() || card.isEOF())
        return;
    QVariant value = text;
    if (m_rules.contains(field)) {
        QString t = text;
        t.replace(u',', u'.');
        bool ok = false;
        const double d = t.toDouble(&ok);
        value = text.isEmpty() ? QVariant() : (ok ? QVariant(d) : QVariant());
        if (!text.isEmpty() && !ok)
            return;
    }
    const QVariant old = card.value(field);
    if ((old.isNull() && value.isNull()) || (!old.isNull() && old.toString() == value.toString()))
        return;
    try {
        card.setValue(field, value);
        card.Update();
        // Purchase prices stay consistent with the pack size.
        using P = ArticleCatalogue::PriceField;
        if (field == QLatin1String("QteParPaket"))
            m_catalogue->RecalculerPrixAchat(P::UnitsPerPack, text);
        else if (field == QLatin1String("PrixAchatUnit"))
            m_catalogue->RecalculerPrixAchat(P::UnitPrice, text);
        else if (field == QLatin1String("PrixAchatGlobal"))
            m_catalogue->RecalculerPrixAchat(P::PackPrice, text);
        if (card.isEditing())
            card.Update();
        fillCard();
    } catch (const AppException& e) {
        card.CancelUpdate();
        ErrorReport::ReportError(m_ui, QStringLiteral("FrmStock"), e);
        fillCard();
    }
}

void FrmStock::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_catalogue->FenetreActivee = true;
    m_catalogue->AppliquerModeRecherche(1);
    m_search->setFocus();
}

bool FrmStock::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const QString text = key->text();
    // The scanner sends "@" before a bar code, into whatever has the focus.
    if (text == QLatin1String("@")) {
        m_catalogue->LectureCodeBarre = true;
        m_search->clear();
        m_search->setFocus();
        showCard(false);
        return true;
    }
    if (watched == m_search) {
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_catalogue->LectureCodeBarre = false;
            return true;
        }
        // Mode 1 takes digits only (a scanned code is digits too).
        if (m_catalogue->ModeRecherche == 1 && !m_catalogue->LectureCodeBarre && !text.isEmpty() && text[0].unicode() >= 32 &&
            !text[0].isDigit())
            return true;
    }
    if (watched == m_list && !text.isEmpty() && text[0].unicode() >= 32 && !text[0].isDigit())
        return true;
    QString rule;
    for (auto it = m_fields.begin(); it != m_fields.end(); ++it)
        if (it.value() == watched)
            rule = m_rules.value(it.key());
    if (watched == m_codeBound)
        rule = QStringLiteral("digits");
    if (rule == QLatin1String("decimal") && !text.isEmpty() && text[0].unicode() >= 32) {
        const QString accepted = ArticleCatalogue::decimalKey(text[0], m_settings.DecimalSeparator);
        if (accepted.isEmpty())
            return true;
        if (accepted != text) {
            static_cast<QLineEdit*>(watched)->insert(accepted);
            return true;
        }
    }
    if (rule == QLatin1String("digits") && !text.isEmpty() && text[0].unicode() >= 32 && !text[0].isDigit())
        return true;
    return QDialog::eventFilter(watched, event);
}

// The card's fields that the window keeps hidden: their bindings and rules stay, and
// the rest of the program can reach them.
void FrmStock::buildHiddenFields(QWidget* card)
{
    auto* hidden = new QWidget(card);
    hidden->setObjectName(QStringLiteral("champsCachesWidget"));
    hidden->hide();
    auto* form = new QFormLayout(hidden);
    const struct {
        const char* field;
        const char* caption;
        const char* rule; // "", "decimal", "digits", "readonly", "list" (from the list row)
    } fields[] = {{"QteParPaket", "Nb Unit./Pack:", "digits"},
                  {"PrixAchatGlobal", "Prix achat/Pack. HT:", "decimal"},
                  {"PrixAchatUnit", "Prix achat/Unit. HT:", "decimal"},
                  {"DelaiLivraison", "Délais Livraison:", "digits"},
                  {"Marque", "Marque:", ""},
                  {"Norme", "Norme:", ""},
                  {"QteEnStock", "Qté en réserve:", "list"},
                  {"QteEnMachine", "Qté en machine:", "list"},
                  {"QteGlobal", "Qté Total:", "list"},
                  {"DateCreation", "Date création:", "readonly"},
                  {"DateDernierMouvement", "Date modif:", "readonly"},
                  {"Societe", "Société:", "list"},
                  {"NomContact", "Contact:", "list"},
                  {"CodeFournisseur", "Code:", "list"},
                  {"Adresse", "Adresse:", "list"},
                  {"CodePostal", "Code postal:", "list"},
                  {"Ville", "Ville:", "list"},
                  {"Tel", "Tel:", "list"},
                  {"Fax", "Fax:", "list"}};
    for (const auto& f : fields) {
        const QString field = QString::fromLatin1(f.field);
        const QString rule = QString::fromLatin1(f.rule);
        auto* edit = new QLineEdit(hidden);
        edit->setObjectName(field.left(1).toLower() + field.mid(1) + QStringLiteral("LineEdit"));
        edit->installEventFilter(this);
        form->addRow(QString::fromUtf8(f.caption), edit);
        if (rule == QLatin1String("list")) {
            edit->setReadOnly(true);
            m_listFields.insert(field, edit);
            continue;
        }
        m_fields.insert(field, edit);
        if (rule == QLatin1String("readonly")) {
            edit->setReadOnly(true);
            continue;
        }
        if (!rule.isEmpty())
            m_rules.insert(field, rule);
        connect(edit, &QLineEdit::editingFinished, this, [this, field, edit] { saveField(field, edit->text()); });
    }
    m_fields.value(QStringLiteral("PrixAchatUnit"))->setEnabled(false);

    m_family = new QComboBox(hidden);
    m_family->setObjectName(QStringLiteral("familleComboBox"));
    m_size = new QComboBox(hidden);
    m_size->setObjectName(QStringLiteral("tailleComboBox"));
    m_code = new QComboBox(hidden);
    m_code->setObjectName(QStringLiteral("codeArticleComboBox"));
    m_swap = new QCheckBox(QStringLiteral("Intervertir"), hidden);
    m_swap->setObjectName(QStringLiteral("intervertirCheckBox"));
    form->addRow(QStringLiteral("Famille:"), m_family);
    form->addRow(QStringLiteral("Taille:"), m_size);
    form->addRow(QStringLiteral("Code Article:"), m_code);
    form->addRow(m_swap);
    for (const auto& row : m_db->query(QStringLiteral("SELECT NoFamille, NomFamille FROM Familles ORDER BY NomFamille")).rows)
        m_family->addItem(row[1].toString(), row[0]);
    connect(m_family, &QComboBox::activated, this, &FrmStock::familyChosen);
    connect(m_size, &QComboBox::activated, this, &FrmStock::sizeChosen);
    connect(m_code, &QComboBox::activated, this, &FrmStock::codeChosen);
    connect(m_swap, &QCheckBox::toggled, this, [this] { reloadCodes(); });

    // Code creation panel.
    auto* create = new QPushButton(QStringLiteral("Créer des Codes Articles"), hidden);
    create->setObjectName(QStringLiteral("creerCodesPushButton"));
    m_codePanel = new QWidget(hidden);
    m_codePanel->setObjectName(QStringLiteral("creationCodesWidget"));
    m_codePanel->setWindowTitle(QStringLiteral("Création Codes Articles"));
    m_codePanel->hide();
    auto* panel = new QFormLayout(m_codePanel);
    m_codeBound = new QLineEdit(QStringLiteral("99"), m_codePanel);
    m_codeBound->setObjectName(QStringLiteral("borneLineEdit"));
    m_codeBound->installEventFilter(this);
    m_rules.insert(QStringLiteral("#borne"), QStringLiteral("digits"));
    auto* ok = new QPushButton(QStringLiteral("OK"), m_codePanel);
    ok->setObjectName(QStringLiteral("creerOkPushButton"));
    auto* cancel = new QPushButton(QStringLiteral("Annuler"), m_codePanel);
    cancel->setObjectName(QStringLiteral("creerAnnulerPushButton"));
    panel->addRow(QStringLiteral("De 1 jusqu'a :"), m_codeBound);
    panel->addRow(ok, cancel);
    form->addRow(create);
    form->addRow(m_codePanel);
    // Stock entries come with their own window.
    auto* entry = new QPushButton(QStringLiteral("Entrée de stock"), hidden);
    entry->setObjectName(QStringLiteral("entreeStockPushButton"));
    entry->setEnabled(false);
    form->addRow(entry);
    connect(create, &QPushButton::clicked, m_codePanel, &QWidget::show);
    connect(cancel, &QPushButton::clicked, m_codePanel, &QWidget::hide);
    connect(ok, &QPushButton::clicked, this, [this] {
        m_catalogue->CreerCodesArticles(m_codeBound->text());
        reloadCodes();
        m_codeBound->setText(QStringLiteral("99"));
        m_codePanel->hide();
    });
}

QString FrmStock::cardPosition() const
{
    return m_cardPosition->text();
}

void FrmStock::reloadSizes()
{
    m_size->clear();
    Recordset& card = m_catalogue->card();
    if (card.isBOF() || card.isEOF())
        return;
    const QVariant family = card.value(QStringLiteral("Famille"));
    m_family->setCurrentIndex(family.isNull() ? -1 : m_family->findData(family.toLongLong()));
    if (family.isNull())
        return;
    for (const auto& row : m_db->query(QStringLiteral("SELECT NoTaille, Taille FROM Tailles where NoFamille=") +
                                       Sql::Number(family.toLongLong()) + QStringLiteral(" order by Ordre")).rows)
        m_size->addItem(row[1].toString(), row[0]);
    const QVariant size = card.value(QStringLiteral("Taille"));
    m_size->setCurrentIndex(size.isNull() ? -1 : m_size->findData(size.toLongLong()));
}

void FrmStock::reloadCodes()
{
    m_code->clear();
    Recordset& card = m_catalogue->card();
    if (card.isBOF() || card.isEOF())
        return;
    const QVariant code = card.value(QStringLiteral("CodeArticle"));
    // The list serves an article without code, or a swap; else it shows the article's code.
    const QString text = m_swap->isChecked() ? QStringLiteral("SELECT CodeArticle FROM CodeArticle ORDER BY CodeArticle")
                                             : QStringLiteral("SELECT CodeArticle FROM CodeArticle where (Reference Is Null) ORDER BY CodeArticle");
    if (!code.isNull() && !m_swap->isChecked()) {
        m_code->addItem(code.toString(), code);
        m_code->setEnabled(false);
        return;
    }
    for (const auto& row : m_db->query(text).rows)
        m_code->addItem(row[0].toString(), row[0]);
    m_code->setCurrentIndex(-1);
    m_code->setEnabled(true);
}

void FrmStock::familyChosen()
{
    Recordset& card = m_catalogue->card();
    if (card.isBOF() || card.isEOF() || m_family->currentIndex() < 0)
        return;
    try {
        card.setValue(QStringLiteral("Famille"), m_family->currentData());
        card.setValue(QStringLiteral("Taille"), QVariant()); // another family, another size list
        card.Update();
    } catch (const AppException& e) {
        card.CancelUpdate();
        ErrorReport::ReportError(m_ui, QStringLiteral("FrmStock"), e);
    }
    reloadSizes();
}

void FrmStock::sizeChosen()
{
    Recordset& card = m_catalogue->card();
    if (card.isBOF() || card.isEOF() || m_size->currentIndex() < 0)
        return;
    try {
        card.setValue(QStringLiteral("Taille"), m_size->currentData());
        card.Update();
    } catch (const AppException& e) {
        card.CancelUpdate();
        ErrorReport::ReportError(m_ui, QStringLiteral("FrmStock"), e);
    }
}

void FrmStock::codeChosen()
{
    if (m_code->currentIndex() < 0)
        return;
    m_catalogue->AttribuerCodeArticle(m_code->currentData().toInt(), m_swap->isChecked());
    m_swap->setChecked(false);
    reloadCodes();
    m_catalogue->list().Requery();
    m_catalogue->syncCardToList();
}

#include "FrmStock.h"

#include "AppException.h"
#include "AppSettings.h"
#include "Database.h"
#include "ErrorReport.h"
#include "Recordset.h"
#include "RecordsetModel.h"
#include "Ui.h"

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
        {"image", "Séléctionner l'image"}, {"scanner", "Scanner"}};
    for (const auto& [name, caption] : buttons) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(name + QStringLiteral("PushButton"));
        commands->addWidget(b);
        m_commands.insert(name, b);
    }
    // Stock alerts and pictures come with their own windows.
    for (const char* later : {"alertes", "image", "scanner"}) {
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
    for (const char* name : {"ajout", "suppression", "alertes", "image", "scanner"})
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
    for (const char* name : {"ajout", "suppression", "alertes", "image", "scanner"})
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
        if (v.typeId() == QMetaType::Double)
            text = QString::number(v.toDouble(), 'f', 2).replace(u'.', m_settings.DecimalSeparator.isEmpty() ? QStringLiteral(",") : m_settings.DecimalSeparator);
        it.value()->setText(text);
        // Negative numbers in red.
        it.value()->setStyleSheet(!v.isNull() && v.canConvert<double>() && v.typeId() != QMetaType::QString && v.toDouble() < 0
                                      ? QStringLiteral("color: red;") : QString());
    }
    m_packs->setText(m_catalogue->AfficherAlertePaquets());
    m_alert->setVisible(m_catalogue->TesterAlerteStock());
}

void FrmStock::saveField(const QString& field, const QString& text)
{
    Recordset& card = m_catalogue->card();
    if (card.isBOF() || card.isEOF())
        return;
    QVariant value = text;
    if (field == QLatin1String("Prix") || field == QLatin1String("StockAlert")) {
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
        if (field == QLatin1String("StockAlert")) {
            m_packs->setText(m_catalogue->AfficherAlertePaquets());
            m_alert->setVisible(m_catalogue->TesterAlerteStock());
        }
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
    const auto decimal = [&](const char* field) { return watched == m_fields.value(QString::fromLatin1(field)); };
    if ((decimal("Prix")) && !text.isEmpty() && text[0].unicode() >= 32) {
        const QString accepted = ArticleCatalogue::decimalKey(text[0], m_settings.DecimalSeparator);
        if (accepted.isEmpty())
            return true;
        if (accepted != text) {
            static_cast<QLineEdit*>(watched)->insert(accepted);
            return true;
        }
    }
    if (decimal("StockAlert") && !text.isEmpty() && text[0].unicode() >= 32 && !text[0].isDigit())
        return true;
    return QDialog::eventFilter(watched, event);
}

#include "ArticleCatalogue.h"

#include "AppException.h"
#include "AppSettings.h"
#include "Database.h"
#include "ErrorReport.h"
#include "FonctionUtilitaires.h"
#include "Recordset.h"
#include "SqlDialect.h"
#include "Ui.h"

#include <QDate>
#include <cmath>

ArticleCatalogue::ArticleCatalogue(Database& db, Ui& ui, const AppSettings& settings)
    : m_db(db), m_ui(ui), m_settings(settings),
      m_list(std::make_unique<Recordset>(db, QStringLiteral("StockGlobal"))),
      m_card(std::make_unique<Recordset>(db, QStringLiteral("ArticleEnStock")))
{
}

ArticleCatalogue::~ArticleCatalogue() = default;

QString ArticleCatalogue::sortField() const
{
    switch (ModeRecherche) {
    case 2: return QStringLiteral("Designation");
    case 3: return QStringLiteral("CodeArticle");
    case 4: return QStringLiteral("RefFournisseur");
    default: return QStringLiteral("Reference");
    }
}

void ArticleCatalogue::AppliquerModeRecherche(int mode)
{
    if (mode < 1 || mode > 4)
        return;
    ModeRecherche = mode;
    if (!FenetreActivee)
        return;
    m_list->Requery();
    m_list->setSort(sortField());
    m_card->Requery();
    m_card->setSort(sortField());
    syncCardToList();
}

bool ArticleCatalogue::RechercherArticle(const QString& typed)
{
    if (typed.isEmpty() || m_list->RecordCount() == 0)
        return false;
    const int before = m_list->position();
    // A scanned code names one article: it is looked for from the first row.
    const int start = LectureCodeBarre ? 0 : qMax(0, before);
    QString criteria;
    try {
        if (LectureCodeBarre) {
            QString text = typed;
            if (text.startsWith(u'@'))
                text.remove(0, 1);
            criteria = QStringLiteral("[CodeBar] like '") + Sql::LikeText(text) + QStringLiteral("*'");
        } else if (ModeRecherche == 1 || ModeRecherche == 3) {
            double n = 0;
            try {
                n = FonctionUtilitaires::ConvertNullNum(typed);
            } catch (const AppException&) {
                n = 0;
            }
            criteria = (ModeRecherche == 1 ? QStringLiteral("[Reference]=") : QStringLiteral("[CodeArticle]=")) +
                       Sql::Number(n);
        } else {
            criteria = (ModeRecherche == 2 ? QStringLiteral("[Designation] like '") : QStringLiteral("[RefFournisseur] like '")) +
                       Sql::LikeText(typed.toUpper()) + QStringLiteral("*'");
        }
        if (m_list->Find(criteria, 0, true, start)) {
            syncCardToList();
            return true;
        }
        m_list->setPosition(before);
    } catch (const AppException& e) {
        m_list->setPosition(before);
        ErrorReport::ReportError(m_ui, e.description(), e);
    }
    return false;
}

int ArticleCatalogue::AjouterArticle()
{
    try {
        Recordset rs(m_db, QStringLiteral("ArticleEnStock order by Reference asc"));
        int reference = 1000;
        if (rs.RecordCount() > 0) {
            rs.MoveLast();
            const int last = rs.value(QStringLiteral("Reference")).toInt();
            reference = last == 0 ? 1000 : last + 1;
        }
        rs.AddNew();
        rs.setValue(QStringLiteral("Reference"), reference);
        rs.setValue(QStringLiteral("DateCreation"), QDate::currentDate());
        rs.Update();
        AppliquerModeRecherche(ModeRecherche);
        m_list->MoveLast();
        syncCardToList();
        return reference;
    } catch (const AppException& e) {
        m_ui.message(e.description(), QString(), Ui::Icon::None, Ui::Buttons::Ok);
        return 0;
    }
}

bool ArticleCatalogue::SupprimerArticle()
{
    if (m_card->RecordCount() == 0 || m_card->isBOF() || m_card->isEOF())
        return false;
    if (!m_ui.confirm(QStringLiteral("Confirmer la suppression de l'article!")))
        return false;
    try {
        const QVariant reference = m_card->value(QStringLiteral("Reference"));
        const QVariant code = m_card->value(QStringLiteral("CodeArticle"));
        Recordset articles(m_db, QStringLiteral("ArticleEnStock"));
        if (articles.Find(QStringLiteral("[Reference]=") + Sql::Number(reference.toLongLong()), 0, true, 0) &&
            articles.value(QStringLiteral("Reference")) == reference)
            articles.Delete();
        if (!code.isNull()) {
            Recordset pool(m_db, QStringLiteral("CodeArticle"));
            if (pool.Find(QStringLiteral("[CodeArticle]=") + Sql::Number(code.toLongLong()), 0, true, 0)) {
                pool.setValue(QStringLiteral("Reference"), QVariant());
                pool.Update();
            }
        }
        m_list->Requery();
        m_list->setSort(sortField());
        m_card->Requery();
        m_card->setSort(sortField());
        return true;
    } catch (const AppException&) {
        m_ui.message(QStringLiteral("Suppression impossible !"), QString(), Ui::Icon::Critical, Ui::Buttons::Ok);
        return false;
    }
}

void ArticleCatalogue::SaisirCodeBarre()
{
    const auto answer = m_ui.prompt(QStringLiteral("Veuiilez scanner le Code EAN !"), QStringLiteral("Code à Bar"));
    if (!answer || answer->isEmpty())
        return;
    QString code = *answer;
    if (code.startsWith(u'@'))
        code.remove(0, 1);
    try {
        m_card->setValue(QStringLiteral("CodeBar"), code);
        m_card->Update();
    } catch (const AppException& e) {
        m_card->CancelUpdate();
        if (e.number() == Database::Duplicate)
            m_ui.message(QStringLiteral("Code à bar déjà utilisé !"), QStringLiteral("Erreur"), Ui::Icon::Critical, Ui::Buttons::Ok);
    }
}

bool ArticleCatalogue::AttribuerCodeArticle(int code, bool swap)
{
    try {
        const QVariant reference = m_card->value(QStringLiteral("Reference"));
        if (!swap) {
            Recordset pool(m_db, QStringLiteral("CodeArticle where CodeArticle = ") + Sql::Number(qint64(code)));
            if (pool.RecordCount() == 0)
                return false;
            pool.setValue(QStringLiteral("Reference"), reference);
            pool.Update();
            m_card->setValue(QStringLiteral("CodeArticle"), code);
            m_card->Update();
            return true;
        }
        const QVariant oldCode = m_card->value(QStringLiteral("CodeArticle"));
        m_card->setValue(QStringLiteral("CodeArticle"), QVariant());
        m_card->Update();
        Recordset other(m_db, QStringLiteral("ArticleEnStock where CodeArticle = ") + Sql::Number(qint64(code)));
        if (other.RecordCount() > 0) {
            other.setValue(QStringLiteral("CodeArticle"), oldCode);
            other.Update();
            // The pool follows the articles: the old code now belongs to the other one.
            if (!oldCode.isNull())
                m_db.executeNative(QStringLiteral("UPDATE CodeArticle SET Reference = ? WHERE CodeArticle = ?"),
                                   {other.value(QStringLiteral("Reference")), oldCode});
        } else if (!oldCode.isNull()) {
            m_db.executeNative(QStringLiteral("UPDATE CodeArticle SET Reference = NULL WHERE CodeArticle = ?"), {oldCode});
        }
        m_db.executeNative(QStringLiteral("UPDATE CodeArticle SET Reference = ? WHERE CodeArticle = ?"), {reference, code});
        m_card->setValue(QStringLiteral("CodeArticle"), code);
        m_card->Update();
        return true;
    } catch (const AppException& e) {
        if (m_card->isEditing())
            m_card->CancelUpdate();
        ErrorReport::ReportError(m_ui, QStringLiteral("AttribuerCodeArticle"), e);
        return false;
    }
}

void ArticleCatalogue::CreerCodesArticles(const QString& bound)
{
    bool ok = false;
    const int n = bound.trimmed().toInt(&ok);
    if (!ok || n > 2000 || n < 1)
        return;
    try {
        Database::Transaction tx(m_db);
        Recordset pool(m_db, QStringLiteral("CodeArticle"));
        Recordset articles(m_db, QStringLiteral("ArticleEnStock"));
        for (int i = 1; i <= n; ++i) {
            if (!pool.Find(QStringLiteral("CodeArticle =") + QString::number(i), 0, true, 0)) {
                pool.AddNew();
                pool.setValue(QStringLiteral("CodeArticle"), i);
                pool.Update();
            } else if (!articles.Find(QStringLiteral("CodeArticle =") + QString::number(i), 0, true, 0)) {
                pool.setValue(QStringLiteral("Reference"), QVariant());
                pool.Update();
            }
        }
        tx.commit();
    } catch (const AppException& e) {
        ErrorReport::ReportError(m_ui, QString(), e);
    }
}

void ArticleCatalogue::RecalculerPrixAchat(PriceField field, const QString& typed)
{
    if (typed.isEmpty() || m_card->isBOF() || m_card->isEOF())
        return;
    const auto number = [](const QVariant& v) {
        try {
            return FonctionUtilitaires::ConvertNullNum(v);
        } catch (const AppException&) {
            return 0.0;
        }
    };
    const auto money = [](double v) { return std::round(v * 100.0) / 100.0; };
    try {
        switch (field) {
        case PriceField::UnitsPerPack: {
            const double units = number(typed);
            // No division by zero: the unit price stays as it was.
            if (units != 0)
                m_card->setValue(QStringLiteral("PrixAchatUnit"), number(m_card->value(QStringLiteral("PrixAchatGlobal"))) / units);
            break;
        }
        case PriceField::StockAlert:
            break;
        case PriceField::UnitPrice:
            m_card->setValue(QStringLiteral("PrixAchatGlobal"),
                             number(m_card->value(QStringLiteral("QteParPaket"))) * number(typed));
            break;
        case PriceField::PackPrice: {
            const double pack = money(number(typed));
            m_card->setValue(QStringLiteral("PrixAchatGlobal"), pack);
            const double units = number(m_card->value(QStringLiteral("QteParPaket")));
            if (units != 0)
                m_card->setValue(QStringLiteral("PrixAchatUnit"), money(pack / units));
            break;
        }
        }
    } catch (const AppException&) {
        // A failing step is skipped.
    }
}

QString ArticleCatalogue::AfficherAlertePaquets() const
{
    if (m_card->isBOF() || m_card->isEOF())
        return QString();
    const long long alert = m_card->value(QStringLiteral("StockAlert")).toLongLong();
    const long long perPack = m_card->value(QStringLiteral("QteParPaket")).toLongLong();
    if (perPack == 0)
        return QStringLiteral("0 P + %1 U").arg(alert);
    const long long packs = alert / perPack;
    return QStringLiteral("%1 P + %2 U").arg(packs).arg(alert - perPack * packs);
}

bool ArticleCatalogue::TesterAlerteStock() const
{
    if (m_list->isBOF() || m_list->isEOF() || m_card->isBOF() || m_card->isEOF())
        return false;
    const QVariant global = m_list->value(QStringLiteral("QteGlobal"));
    const QVariant alert = m_card->value(QStringLiteral("StockAlert"));
    return !global.isNull() && !alert.isNull() && global.toDouble() < alert.toDouble();
}

ArticleCatalogue::Selection ArticleCatalogue::SelectionnerArticle(bool configMachineOuverte, bool quotaOuvert)
{
    Selection s;
    if (m_list->isBOF() || m_list->isEOF())
        return s;
    if (configMachineOuverte) {
        const QVariant code = m_list->value(QStringLiteral("CodeArticle"));
        if (code.isNull()) {
            m_ui.message(QStringLiteral("Pas de code article attribué.\r\nOpération annulée !"), QString(), Ui::Icon::Warning,
                         Ui::Buttons::Ok);
            return s;
        }
        s.CodeArticleEPI = code.toInt();
        s.ReferenceEPI = m_list->value(QStringLiteral("Reference")).toInt();
        s.DeignationEPI = m_list->value(QStringLiteral("Designation")).toString();
        s.RefFourEPI = m_list->value(QStringLiteral("RefFournisseur")).toString();
        s.accepted = true;
    } else if (quotaOuvert) {
        s.ReferenceEPI = m_list->value(QStringLiteral("Reference")).toInt();
        s.accepted = true;
    }
    return s;
}

void ArticleCatalogue::syncCardToList()
{
    try {
        if (m_list->isBOF() || m_list->isEOF() || m_card->RecordCount() == 0)
            return;
        m_card->Find(QStringLiteral("[Reference]=") + Sql::Number(m_list->value(QStringLiteral("Reference")).toLongLong()), 0, true, 0);
    } catch (const AppException&) {
        // Errors while following the list are ignored.
    }
}

QString ArticleCatalogue::decimalKey(QChar typed, const QString& decimalSeparator)
{
    if (typed.unicode() < 32)
        return QString(typed);
    if (typed == u',' || typed == u'.')
        return decimalSeparator.isEmpty() ? QString(typed) : decimalSeparator;
    if (typed >= u'0' && typed <= u'9')
        return QString(typed);
    return QString();
}

#include "DemoData.h"

#include "Database.h"

#include <QDate>
#include <QDateTime>
#include <QSet>
#include <QStringList>
#include <cmath>
#include <random>

namespace {

struct Family {
    const char* name;
    const char* label;
    const char* function;
    QStringList sizes;
    QStringList products;
    double price;
};

QList<Family> families()
{
    const QStringList tu = {QStringLiteral("T.U.")};
    return {
        {"GANTS", "Gants", "Protection des mains",
         {"6", "7", "8", "9", "10", "11"},
         {"Gant nitrile enduit", "Gant cuir fleur", "Gant anti-coupure niveau 5", "Gant latex jetable",
          "Gant soudeur", "Gant grand froid"},
         3.2},
        {"CHAUSSURES", "Chaussures de sécurité", "Protection des pieds",
         {"38", "39", "40", "41", "42", "43", "44", "45", "46"},
         {"Chaussure basse S3", "Chaussure montante S3", "Botte de sécurité"},
         48.0},
        {"VETEMENTS", "Vêtements de travail", "Tenue",
         {"S", "M", "L", "XL", "XXL"},
         {"Pantalon de travail", "Veste polaire", "Tee-shirt coton", "Gilet haute visibilité",
          "Parka hiver", "Combinaison de travail", "Blouse"},
         22.5},
        {"LUNETTES", "Lunettes", "Protection des yeux", tu,
         {"Lunettes incolores", "Lunettes teintées", "Surlunettes", "Masque étanche"},
         6.9},
        {"AUDITION", "Protections auditives", "Protection de l'ouïe", tu,
         {"Bouchons mousse (paire)", "Casque antibruit", "Bouchons réutilisables"},
         1.4},
        {"RESPIRATOIRE", "Masques", "Protection respiratoire", tu,
         {"Masque FFP2", "Masque FFP3 à valve", "Cartouche A2P3"},
         2.8},
        {"TETE", "Casques", "Protection de la tête", tu,
         {"Casque de chantier", "Casquette anti-heurt", "Cagoule ignifugée"},
         14.0},
        {"CONSOMMABLES", "Consommables", "Hygiène et entretien", tu,
         {"Crème protectrice 100 ml", "Lingettes nettoyantes", "Savon atelier 500 ml",
          "Pile LR6 (x4)", "Ruban de signalisation", "Marqueur indélébile", "Cutter de sécurité",
          "Lame de rechange (x10)", "Trousse de secours", "Couverture de survie", "Sac poubelle 100 l",
          "Absorbant universel", "Bouteille d'eau 50 cl", "Gel hydroalcoolique",
          "Mouchoirs (boîte)", "Papier essuie-tout", "Adhésif toilé", "Lampe frontale",
          "Collier de serrage (x100)", "Mètre ruban 5 m", "Batterie de lampe", "Stylo bille",
          "Bloc-notes A5", "Lacets de rechange", "Semelles confort", "Chaussettes (paire)",
          "Bonnet polaire", "Tour de cou", "Brassard réfléchissant", "Sifflet", "Cadenas de consignation",
          "Étiquette de consignation", "Gants jetables (boîte)", "Combinaison jetable",
          "Charlotte (x100)", "Sur-chaussures (x100)", "Tablier jetable", "Manchettes", "Bouchons détectables",
          "Visière de rechange", "Filtre P3", "Pince à badge", "Porte-badge", "Lanière tour de cou",
          "Câble USB", "Chargeur secteur", "Carte SIM prépayée", "Recharge téléphonique 20 EUR"},
         4.5},
    };
}

const QStringList kLastNames = {
    "MARTIN", "BERNARD", "THOMAS", "PETIT", "ROBERT", "RICHARD", "DURAND", "DUBOIS", "MOREAU", "LAURENT",
    "SIMON", "MICHEL", "LEFEBVRE", "LEROY", "ROUX", "DAVID", "BERTRAND", "MOREL", "FOURNIER", "GIRARD",
    "BONNET", "DUPONT", "LAMBERT", "FONTAINE", "ROUSSEAU", "VINCENT", "MULLER", "LEFEVRE", "FAURE", "ANDRE",
    "MERCIER", "BLANC", "GUERIN", "BOYER", "GARNIER", "CHEVALIER", "FRANCOIS", "LEGRAND", "GAUTHIER", "GARCIA",
    "PERRIN", "ROBIN", "CLEMENT", "MORIN", "NICOLAS", "HENRY", "ROUSSEL", "MATHIEU", "GAUTIER", "MASSON",
    "N'DIAYE", "D'ALMEIDA", "LE GALL", "CHÂTEAU", "BÉRANGER"};
const QStringList kFirstNames = {
    "Jean", "Marie", "Pierre", "Nathalie", "Michel", "Isabelle", "Philippe", "Sylvie", "Alain", "Catherine",
    "Nicolas", "Sandrine", "Christophe", "Valérie", "Stéphane", "Céline", "Laurent", "Sophie", "Éric", "Aurélie",
    "Julien", "Camille", "Thomas", "Léa", "Hélène", "François", "Zoé", "Jérôme", "Maëlle", "Noël"};

QString ean13(qint64 base)
{
    const QString twelve = QString::number(base).rightJustified(12, u'0').right(12);
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (twelve[i].unicode() - u'0') * (i % 2 ? 3 : 1);
    return twelve + QChar(u'0' + (10 - sum % 10) % 10);
}

} // namespace

namespace DemoData {

Counts fill(Database& db)
{
    Counts counts;
    std::mt19937 rng(20261211);
    const auto pick = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const auto chance = [&](double p) { return std::uniform_real_distribution<double>(0, 1)(rng) < p; };
    const QDate today = QDate::currentDate();

    Database::Transaction tx(db);
    db.executeNative(QStringLiteral(
        "INSERT INTO InfoSociete (Nom, Adresse, CodePostal, Ville, Tel, Fax, MotPasse, AdEmail) "
        "VALUES ('PROTEC SERVICES INDUSTRIE', '12, rue des Forges', '69007', 'Lyon', "
        "'04 72 00 11 22', '04 72 00 11 23', NULL, 'magasin@protec-services.fr')"));
    db.executeNative(QStringLiteral("INSERT INTO InfoEtat (Titre, Periode) VALUES ('', '')"));

    // Suppliers.
    const QStringList suppliers = {"EPI DIFFUSION", "SÉCURITÉ PLUS", "MANUTAN PRO", "GANTERIE DU RHÔNE",
                                   "CHAUSSURES BERNARD", "HYGIÈNE SERVICES"};
    const QStringList towns = {"LYON", "VILLEURBANNE", "SAINT-ÉTIENNE", "GRENOBLE", "VÉNISSIEUX", "BRON"};
    for (int i = 0; i < suppliers.size(); ++i) {
        db.executeNative(QStringLiteral("INSERT INTO Fournisseur (CodeFournisseur, Societe, Adresse, CodePostal, "
                                        "Ville, NomContact, Tel, Fax) VALUES (?,?,?,?,?,?,?,?)"),
                         {QStringLiteral("F%1").arg(i + 1, 3, 10, QChar(u'0')), suppliers[i],
                          QStringLiteral("%1, avenue de l'Industrie").arg(pick(1, 120)),
                          QStringLiteral("69%1").arg(pick(100, 999)), towns[i],
                          kFirstNames[pick(0, kFirstNames.size() - 1)] + u' ' + kLastNames[pick(0, 49)],
                          QStringLiteral("04 78 %1 %2").arg(pick(10, 99)).arg(pick(10, 99)),
                          QStringLiteral("04 78 %1 %2").arg(pick(10, 99)).arg(pick(10, 99))});
    }
    db.executeNative(QStringLiteral("UPDATE Fournisseur SET No = Nauto"));

    // Families, sizes and articles.
    struct Article {
        int reference;
        int code;
        QString designation;
        QString refFour;
        int family;
        QString familyName;
        QString size;
        double price;
        int supplier;
    };
    QList<Article> articles;
    int reference = 1000;
    int code = 1;
    const QList<Family> fams = families();
    for (int f = 0; f < fams.size(); ++f) {
        const Family& fam = fams[f];
        db.executeNative(QStringLiteral("INSERT INTO Familles (NomFamille, Libele, Fonction) VALUES (?,?,?)"),
                         {QString::fromUtf8(fam.name), QString::fromUtf8(fam.label), QString::fromUtf8(fam.function)});
        const qlonglong noFamille = db.lastInsertId().toLongLong();
        QList<qlonglong> sizeIds;
        for (int s = 0; s < fam.sizes.size(); ++s) {
            db.executeNative(QStringLiteral("INSERT INTO Tailles (Taille, NoFamille, Ordre) VALUES (?,?,?)"),
                             {fam.sizes[s], noFamille, s + 1});
            sizeIds << db.lastInsertId().toLongLong();
        }
        for (int p = 0; p < fam.products.size(); ++p) {
            // Sized products come in a few sizes; the others once.
            const int sizesUsed = fam.sizes.size() > 1 ? int(fam.sizes.size()) - p % 2 : 1;
            const int firstSize = fam.sizes.size() > 1 ? p % 2 : 0;
            for (int s = firstSize; s < firstSize + sizesUsed; ++s) {
                Article a;
                a.reference = reference++;
                a.code = chance(0.92) ? code++ : 0;
                a.designation = fam.products[p];
                a.refFour = QStringLiteral("%1-%2").arg(QString::fromUtf8(fam.name).left(3)).arg(100 + p * 10 + s);
                a.family = int(noFamille);
                a.familyName = QString::fromUtf8(fam.name);
                a.size = fam.sizes[s];
                a.price = fam.price * (1.0 + p * 0.15);
                a.supplier = 1 + (f + p) % suppliers.size();
                const int pack = fam.sizes.size() > 1 ? 10 : 20;
                const double unit = std::round(a.price * 100.0) / 100.0;
                db.executeNative(
                    QStringLiteral("INSERT INTO ArticleEnStock (Reference, CodeArticle, CodeBar, RefFournisseur, "
                                   "Designation, DesignationEN, Famille, Taille, Prix, PrixAchatUnit, "
                                   "PrixAchatGlobal, QteParPaket, QteEnStock, StockAlert, DelaiLivraison, "
                                   "DateCreation, DateDernierMouvement, Image, NoFournisseur, Marque, Norme, "
                                   "Descriptif, FicheTech) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                    {a.reference, a.code ? QVariant(a.code) : QVariant(),
                     chance(0.85) ? QVariant(ean13(3760123400000LL / 10 + a.reference)) : QVariant(),
                     a.refFour, a.designation, QString(), a.family, sizeIds[s],
                     std::round(unit * 1.2 * 100.0) / 100.0, unit, unit * pack, pack,
                     chance(0.1) ? QVariant() : QVariant(pick(0, 240)), pick(5, 40),
                     chance(0.2) ? QVariant() : QVariant(pick(2, 21)),
                     QDateTime(today.addDays(-pick(30, 900)), QTime()),
                     QDateTime(today.addDays(-pick(0, 60)), QTime()),
                     QString::number(a.reference), a.supplier,
                     QStringLiteral("PROTEC"), QStringLiteral("EN 388"), QString(), QString()});
                articles << a;
            }
        }
    }
    // An article with nothing but its reference is valid too.
    db.executeNative(QStringLiteral("INSERT INTO ArticleEnStock (Reference, Designation) VALUES (?, ?)"),
                     {reference++, QStringLiteral("Article à compléter")});
    counts.articles = int(articles.size()) + 1;

    // The code pool: every code given out, and some free ones.
    for (const Article& a : articles)
        if (a.code)
            db.executeNative(QStringLiteral("INSERT INTO CodeArticle (CodeArticle, Reference) VALUES (?, ?)"),
                             {a.code, a.reference});
    for (int c = code; c < code + 25; ++c)
        db.executeNative(QStringLiteral("INSERT INTO CodeArticle (CodeArticle, Reference) VALUES (?, NULL)"), {c});

    // Machines of every loading mode.
    struct Machine {
        int no;
        int type;
        const char* mode;
        int floors;
        int perFloor;
        int step;
        int positions;
        const char* location;
    };
    const QList<Machine> machines = {
        {1, 3, "ETAGE", 5, 36, 1, 5, "Atelier mécanique"},
        {2, 1, "COLONNE", 4, 9, 4, 9, "Hall d'accueil"},
        {3, 2, "COLONNE", 5, 18, 2, 18, "Entrepôt nord"},
        {4, 4, "COLONNE", 7, 18, 2, 18, "Chaîne de montage"},
        {5, 5, "COLONNE", 7, 36, 1, 36, "Maintenance"},
        {6, 8, "COLONNE", 5, 36, 1, 37, "Bâtiment B"},
        {7, 6, "CASIER", 1, 24, 1, 24, "Vestiaires hommes"},
        {8, 6, "CASIER", 1, 48, 1, 48, "Vestiaires femmes"},
    };
    QList<const Article*> coded;
    for (const Article& a : articles)
        if (a.code)
            coded << &a;
    for (const Machine& m : machines) {
        const bool locker = QByteArray(m.mode) == "CASIER";
        const int slotCount = m.floors * m.perFloor + (m.type == 8 ? 6 : 0);
        db.executeNative(QStringLiteral("INSERT INTO Machines (NoMachine, Type, Chargement, NbEmplacement, NbPorte, "
                                        "Location, Service) VALUES (?,?,?,?,?,?,?)"),
                         {m.no, m.type, QString::fromLatin1(m.mode), slotCount, locker ? 1 : m.floors,
                          QString::fromUtf8(m.location), QStringLiteral("Service général")});
        QList<int> planned;
        for (int p = 1; p <= m.positions; ++p) {
            const Article* a = chance(0.9) ? coded[pick(0, coded.size() - 1)] : nullptr;
            planned << (a ? a->reference : 0);
            db.executeNative(QStringLiteral("INSERT INTO ConfigMachines (NoMachine, Etage, ReferenceArticle, "
                                            "CodeArticle, Designation) VALUES (?,?,?,?,?)"),
                             {m.no, p, a ? QVariant(a->reference) : QVariant(), a ? QVariant(a->code) : QVariant(),
                              a ? QVariant(a->designation) : QVariant()});
        }
        int noEmpl = 1;
        const auto slot = [&](int floor, int column, int plannedRef) {
            const bool filled = plannedRef && chance(0.65);
            db.executeNative(QStringLiteral("INSERT INTO EmplacementsMachine1 (NoEmpl, NoMachine, Etage, Colonne, "
                                            "Reference) VALUES (?,?,?,?,?)"),
                             {noEmpl++, m.no, floor, column, filled ? QVariant(plannedRef) : QVariant()});
        };
        if (locker) {
            for (int l = 1; l <= m.perFloor; ++l)
                slot(1, l, planned[l - 1]);
        } else {
            for (int floor = 1; floor <= m.floors; ++floor)
                for (int i = 0; i < m.perFloor; ++i) {
                    const int column = 1 + i * m.step;
                    const int position = QByteArray(m.mode) == "ETAGE" ? floor : (column - 1) / m.step + 1;
                    slot(floor, column, planned.value(position - 1));
                }
            if (m.type == 8)
                for (int i = 0; i < 6; ++i)
                    slot(12, 1 + i, planned.value(36));
        }
    }

    // Sites, services, profiles.
    const QStringList sites = {"LYON GERLAND", "VÉNISSIEUX", "SAINT-PRIEST"};
    const QStringList services = {"PRODUCTION", "MAINTENANCE", "LOGISTIQUE", "QUALITÉ"};
    QList<QPair<qlonglong, qlonglong>> siteServices;
    for (const QString& s : sites) {
        db.executeNative(QStringLiteral("INSERT INTO Sites (NomSite, Adresse, Info) VALUES (?,?,?)"),
                         {s, QStringLiteral("Zone industrielle"), QString()});
        const qlonglong site = db.lastInsertId().toLongLong();
        for (const QString& sv : services) {
            db.executeNative(QStringLiteral("INSERT INTO Services (NomService, Site, Info) VALUES (?,?,?)"),
                             {sv, site, QString()});
            siteServices << qMakePair(site, db.lastInsertId().toLongLong());
        }
    }
    const QStringList profiles = {"OPÉRATEUR", "TECHNICIEN MAINTENANCE", "CARISTE", "CONTRÔLEUR QUALITÉ",
                                  "INTÉRIMAIRE", "ENCADREMENT"};
    QList<qlonglong> profileIds;
    for (const QString& p : profiles) {
        db.executeNative(QStringLiteral("INSERT INTO ProfileQuota (Profile) VALUES (?)"), {p});
        profileIds << db.lastInsertId().toLongLong();
        const int lines = pick(5, 10);
        QSet<int> used;
        for (int l = 0; l < lines; ++l) {
            const Article& a = articles[pick(0, articles.size() - 1)];
            if (used.contains(a.reference))
                continue;
            used.insert(a.reference);
            db.executeNative(QStringLiteral("INSERT INTO Quota (NoQota, RefArticle, QtePermise, Periodicite) "
                                            "VALUES (?,?,?,?)"),
                             {profileIds.last(), a.reference, pick(1, 10), QList<int>{7, 30, 90, 365}[pick(0, 3)]});
        }
    }

    // Employees.
    const ResultTable shoe = db.queryNative(QStringLiteral(
        "SELECT NoTaille FROM Tailles T JOIN Familles F ON F.NoFamille = T.NoFamille WHERE F.NomFamille = 'CHAUSSURES'"));
    const ResultTable hand = db.queryNative(QStringLiteral(
        "SELECT NoTaille FROM Tailles T JOIN Familles F ON F.NoFamille = T.NoFamille WHERE F.NomFamille = 'GANTS'"));
    struct Employee {
        QString badge, nom, prenom;
        qlonglong site, service, profile;
    };
    QList<Employee> employees;
    for (int e = 0; e < 200; ++e) {
        Employee emp;
        emp.badge = QString::number(100001 + e);
        emp.nom = kLastNames[pick(0, kLastNames.size() - 1)];
        emp.prenom = kFirstNames[pick(0, kFirstNames.size() - 1)];
        const auto ss = siteServices[pick(0, siteServices.size() - 1)];
        emp.site = ss.first;
        emp.service = ss.second;
        emp.profile = profileIds[pick(0, profileIds.size() - 1)];
        QStringList allowed;
        for (int m = 1; m <= machines.size(); ++m)
            if (chance(0.4))
                allowed << QString::number(m);
        db.executeNative(QStringLiteral("INSERT INTO Utilisateurs (NoBadge, NoUtilisateur, Nom, Prenom, "
                                        "MatriculeSalarie, Site, Service, Quota, TailleChaussure, TailleMain, "
                                        "MachineAutorise) VALUES (?,?,?,?,?,?,?,?,?,?,?)"),
                         {emp.badge, QString(), emp.nom, emp.prenom, QStringLiteral("M%1").arg(5000 + e),
                          emp.site, emp.service, emp.profile,
                          shoe.rows[pick(0, shoe.rows.size() - 1)][0], hand.rows[pick(0, hand.rows.size() - 1)][0],
                          allowed.isEmpty() ? QVariant() : QVariant(allowed.join(u','))});
        employees << emp;
    }
    counts.employees = int(employees.size());
    for (const char* b : {"900001", "900002", "900003"})
        db.executeNative(QStringLiteral("INSERT INTO BadgeMaintenance (NoBadge) VALUES (?)"), {QString::fromLatin1(b)});

    // A year of sales: machine distributions, counter issues and a few paid sales.
    const ResultTable siteNames = db.queryNative(QStringLiteral("SELECT NoSite, NomSite FROM Sites"));
    const ResultTable serviceNames = db.queryNative(QStringLiteral("SELECT NoService, NomService FROM Services"));
    QHash<qlonglong, QString> siteName, serviceName;
    for (const auto& r : siteNames.rows)
        siteName.insert(r[0].toLongLong(), r[1].toString());
    for (const auto& r : serviceNames.rows)
        serviceName.insert(r[0].toLongLong(), r[1].toString());
    int numVente = 50000;
    const QDateTime start(today.addDays(-365), QTime(0, 0));
    for (int day = 0; day < 365; ++day) {
        const QDate date = start.date().addDays(day);
        if (date.dayOfWeek() == 7)
            continue;
        const int perDay = date.dayOfWeek() == 6 ? pick(5, 15) : pick(60, 90);
        for (int s = 0; s < perDay; ++s) {
            const Employee& emp = employees[pick(0, employees.size() - 1)];
            const QDateTime when(date, QTime(pick(5, 21), pick(0, 59), pick(0, 59)));
            const bool counter = chance(0.08);
            const bool paid = !counter && chance(0.01);
            const int number = ++numVente;
            db.executeNative(QStringLiteral("INSERT INTO Ventes (NumVente, LaDate, TypeMouvement, IdentMachine, "
                                            "Utilisateur, Nom, Prenom, Total, NoCBClient, NoRemiseTelecollecte, "
                                            "DateTelecollecte, Ticket) VALUES (?,?,?,?,?,?,?,?,?,?,?,?)"),
                             {number, when, counter ? 3 : (paid ? 2 : 1),
                              counter ? QVariant() : QVariant(QStringLiteral("DA%1").arg(pick(1, 6), 2, 10, QChar(u'0'))),
                              paid ? QVariant() : QVariant(emp.badge), paid ? QVariant() : QVariant(emp.nom),
                              paid ? QVariant() : QVariant(emp.prenom), QVariant(0.0),
                              paid ? QVariant(QStringLiteral("4970%1").arg(pick(100000000, 999999999))) : QVariant(),
                              paid ? QVariant(qlonglong(pick(1000, 9999))) : QVariant(),
                              paid ? QVariant(when.addSecs(3600)) : QVariant(),
                              paid ? QVariant(QStringLiteral("PROTEC SERVICES\nRecharge 20 EUR\nMerci de votre visite"))
                                   : QVariant()});
            const qlonglong no = db.lastInsertId().toLongLong();
            ++counts.sales;
            const int lines = chance(0.25) ? 2 : 1;
            for (int l = 0; l < lines; ++l) {
                const Article& a = articles[pick(0, articles.size() - 1)];
                const int qty = chance(0.8) ? 1 : pick(2, 5);
                db.executeNative(
                    QStringLiteral("INSERT INTO DetailVente (nove, NoVente, NumVente, Reference, RefProduit, "
                                   "RefFournisseur, CodeArticle, Designation, Quantite, Montant, EcoTaxe, TVA, "
                                   "PrixAchatUnit, Marque, NoIMEI, NoSIM, EAN13recharge, NoSerieRecharge, NoFamille, "
                                   "NomFamille, Taille, NoSite, NomSite, NoService, NomService, Profile, "
                                   "CodeFournisseur, Societe) VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
                    {counter ? QVariant() : QVariant(no), counter ? QVariant() : QVariant(number), number,
                     a.reference, counter ? QVariant() : QVariant(double(a.reference)), a.refFour,
                     a.code ? QVariant(a.code) : QVariant(), a.designation, qty,
                     paid ? QVariant(20.0) : QVariant(0.0), 0.0, 20.0, std::round(a.price * 100) / 100, QStringLiteral("PROTEC"),
                     paid && chance(0.5) ? QVariant(QStringLiteral("35%1").arg(pick(10000000, 99999999))) : QVariant(),
                     QVariant(), paid ? QVariant(ean13(3000000000LL + pick(1, 999))) : QVariant(), QVariant(),
                     a.family, a.familyName, a.size, paid ? QVariant() : QVariant(emp.site),
                     paid ? QVariant() : QVariant(siteName.value(emp.site)),
                     paid ? QVariant() : QVariant(emp.service),
                     paid ? QVariant() : QVariant(serviceName.value(emp.service)),
                     paid ? QVariant() : QVariant(emp.profile),
                     QStringLiteral("F%1").arg(a.supplier, 3, 10, QChar(u'0')), suppliers[a.supplier - 1]});
                ++counts.saleLines;
            }
        }
        if (day % 7 == 0)
            db.executeNative(QStringLiteral("INSERT INTO FichierTransfer (NomFichier) VALUES (?)"),
                             {QStringLiteral("Ventes_%1.xls").arg(date.toString(QStringLiteral("yyyyMMdd")))});
    }

    // Stock entries.
    for (int i = 0; i < 300; ++i) {
        const Article& a = articles[pick(0, articles.size() - 1)];
        db.executeNative(QStringLiteral("INSERT INTO MouvementStock (DateEntree, RefProduit, RefFournisseur, Designation, "
                                        "Qte, NomFournisseur, Commentaire) VALUES (?,?,?,?,?,?,?)"),
                         {QDateTime(start.date().addDays(pick(0, 364)), QTime()), a.reference, a.refFour,
                          a.designation, chance(0.95) ? pick(1, 6) * 10 : -pick(1, 5), suppliers[a.supplier - 1],
                          chance(0.3) ? QVariant(QStringLiteral("Livraison n° %1").arg(pick(1000, 9999))) : QVariant()});
    }
    db.executeNative(QStringLiteral("INSERT INTO DotationEnCours (NoSite, NomSite, NoService, NomService, NoQuota, Profile) "
                                    "VALUES (0, 'TOUS', 0, 'TOUS', 0, 'TOUS')"));
    tx.commit();
    return counts;
}

} // namespace DemoData

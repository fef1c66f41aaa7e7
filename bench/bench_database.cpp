// Measures what a user feels of the database layer, on a generated database:
// opening 100,000 sales, a find near the end, a client-side sort, 10,000 additions
// through a result set in one transaction, and rewriting the windows' query texts.
#include "Database.h"
#include "Recordset.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <functional>

namespace {

double medianMs(int runs, const std::function<void()>& fn, const std::function<void()>& before = {})
{
    QVector<double> times;
    for (int i = 0; i < runs; ++i) {
        if (before)
            before();
        QElapsedTimer t;
        t.start();
        fn();
        times << t.nsecsElapsed() / 1e6;
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

const QStringList kQueries = {
    "SELECT   TOP 100 PERCENT NoTaille, Taille, Ordre, NoFamille From Tailles Where (NoFamille =1) ORDER BY Ordre",
    "SELECT      ConfigMachines.NoMachine,  ConfigMachines.Etage,  ConfigMachines.ReferenceArticle,  ArticleEnStock.CodeArticle,  ArticleEnStock.Designation FROM          ArticleEnStock RIGHT OUTER JOIN  ConfigMachines ON  ArticleEnStock.Reference =  ConfigMachines.ReferenceArticle Where ( ConfigMachines.NoMachine =1)",
    "SELECT  TOP 100 PERCENT Etage, COUNT(Reference) AS CompteDeReference From  EmplacementsMachine1 where (NoMachine = 1)  GROUP BY Etage ORDER BY Etage",
    "SELECT TOP 100 PERCENT NoMachine, COUNT(ReferenceArticle) AS CompteReference, ReferenceArticle, CodeArticle From dbo.ConfigMachines GROUP BY NoMachine, ReferenceArticle,CodeArticle Having (NoMachine = 1)",
    "SELECT DATENAME(month,  Ventes.LaDate) AS NomMois, Ventes.TypeMouvement,  Ventes.LaDate,  Ventes.Utilisateur,  Ventes.Nom,   Ventes.Prenom,  DetailVente.Reference,  DetailVente.Designation,  DetailVente.Quantite,  { fn UCASE(DetailVente.NomFamille) } AS NomFamille,   DetailVente.NomSite,  DetailVente.NomService,  DetailVente.Profile,  DetailVente.CodeFournisseur,  DetailVente.Societe,   DetailVente.PrixAchatUnit, Tailles.Taille, Ventes.NumVente FROM           Tailles INNER JOIN  ArticleEnStock ON  Tailles.NoTaille =  ArticleEnStock.Taille RIGHT OUTER JOIN  Ventes INNER JOIN  DetailVente ON  Ventes.NumVente =  DetailVente.NumVente ON  ArticleEnStock.Reference =  DetailVente.Reference GROUP BY   Ventes.TypeMouvement,  Ventes.LaDate,  Ventes.Utilisateur,  Ventes.Nom,  Ventes.Prenom,  DetailVente.Reference,     DetailVente.Designation,  DetailVente.Quantite,  DetailVente.NomFamille,  DetailVente.NomSite,  DetailVente.NomService,   DetailVente.Profile ,  DetailVente.CodeFournisseur,  DetailVente.Societe,  DetailVente.PrixAchatUnit, Tailles.Taille, Ventes.NumVente HAVING      ( Ventes.LaDate > CONVERT(DATETIME, '01/02/2026 00:00:00', 103)) AND ( Ventes.LaDate < CONVERT(DATETIME, '28/02/2026 23:59:59', 103)) AND (Ventes.Utilisateur = N'100001')",
    "SELECT    Quota.RefArticle,  ArticleEnStock.Designation, ArticleEnStock.CodeArticle,  Quota.QtePermise,  Quota.Periodicite,  Quota.NoQota,  Quota.NoLigne,  Tailles.NoTaille ,  Tailles.Taille, Tailles.NoFamille, Tailles.Ordre FROM          (ArticleEnStock LEFT OUTER JOIN  Tailles ON  ArticleEnStock.Taille =  Tailles.NoTaille) RIGHT OUTER JOIN  Quota ON  ArticleEnStock.Reference =  Quota.RefArticle Where  ( Quota.NoQota =1)",
    "SELECT TOP 500  dbo.Ventes.LaDate, dbo.Ventes.Utilisateur, dbo.DetailVente.Reference, dbo.DetailVente.RefFournisseur, dbo.DetailVente.Designation , dbo.DetailVente.Quantite  FROM  dbo.Ventes INNER JOIN  dbo.DetailVente ON dbo.Ventes.NumVente = dbo.DetailVente.NumVente  WHERE (dbo.Ventes.Utilisateur = N'100002') ORDER BY dbo.Ventes.LaDate DESC, dbo.DetailVente.RefFournisseur",
    "SELECT     TOP 100 PERCENT NumVente, LaDate, TypeMouvement, IdentMachine, NoRemiseTelecollecte, DateTelecollecte, CAST(NoCBClient AS char(11)) + '*****' AS NoCBClient, CAST(Ticket AS nvarchar(1500)) AS Ticket From dbo.Ventes ORDER BY NumVente DESC",
    "SELECT     TOP 100 PERCENT  Quota.RefArticle,  ArticleEnStock.Designation,  ArticleEnStock.Taille,  Utilisateurs.TailleMain, SUM( Quota.QtePermise) AS Quota, SUM( Quota.QtePermise) * 30 /  Quota.Periodicite AS Qte,  Quota.Periodicite,  Sites.NomSite,  Utilisateurs.Site,  Services.NomService,  Utilisateurs.Service,  Utilisateurs.NoBadge,  Utilisateurs.Nom,  Utilisateurs.Prenom,  ProfileQuota.Profile,  ArticleEnStock.PrixAchatUnit,  Familles.NomFamille,  Fournisseur.CodeFournisseur,  Fournisseur.Societe,  ProfileQuota.NoQuota ,  Familles.NoFamille,  ArticleEnStock.QteEnStock, Tailles.Taille AS NomTaille, Utilisateurs.MachineAutorise FROM           dbo.Quota INNER JOIN   dbo.Familles INNER JOIN  dbo.ArticleEnStock ON dbo.Familles.NoFamille = dbo.ArticleEnStock.Famille INNER JOIN  dbo.Fournisseur ON dbo.ArticleEnStock.NoFournisseur = dbo.Fournisseur.[No] ON  dbo.Quota.RefArticle = dbo.ArticleEnStock.Reference LEFT OUTER JOIN  dbo.Tailles ON dbo.ArticleEnStock.Taille = dbo.Tailles.NoTaille LEFT OUTER JOIN  dbo.Sites RIGHT OUTER JOIN  dbo.Services ON dbo.Sites.NoSite = dbo.Services.Site RIGHT OUTER JOIN  dbo.ProfileQuota RIGHT OUTER JOIN  dbo.Utilisateurs ON dbo.ProfileQuota.NoQuota = dbo.Utilisateurs.Quota ON dbo.Services.NoService = dbo.Utilisateurs.Service ON   dbo.Quota.NoQota = dbo.Utilisateurs.Quota GROUP BY  Quota.RefArticle ORDER BY  Quota.RefArticle",
};

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTemporaryDir dir;
    auto db = Database::createFile(dir.filePath(QStringLiteral("bench.sqlite")));

    const int rows = qEnvironmentVariableIntValue("BENCH_ROWS") > 0 ? qEnvironmentVariableIntValue("BENCH_ROWS") : 100000;
    {
        Database::Transaction tx(*db);
        const QDateTime start(QDate(2025, 1, 1), QTime(8, 0));
        for (int i = 0; i < rows; ++i)
            db->executeNative(QStringLiteral("INSERT INTO Ventes (NumVente, LaDate, TypeMouvement, IdentMachine, "
                                             "Utilisateur, Nom, Prenom, Total) VALUES (?,?,?,?,?,?,?,?)"),
                              {i + 1, start.addSecs(qint64(i) * 317), 1, QStringLiteral("DA01"),
                               QString::number(100000 + i % 200), QStringLiteral("NOM%1").arg(i % 200),
                               QStringLiteral("Prénom"), 0.0});
        tx.commit();
    }

    std::unique_ptr<Recordset> rs;
    const double open = medianMs(5, [&] { rs = std::make_unique<Recordset>(*db, QStringLiteral("Ventes")); });
    const double find = medianMs(21, [&] { rs->Find(QStringLiteral("[NumVente]=99990"), 0, true, 0); });
    const double findText = medianMs(21, [&] { rs->Find(QStringLiteral("Nom like 'NOM199*'"), 0, true, 99000); });
    const double sort = medianMs(5, [&] { rs->setSort(QStringLiteral("Utilisateur Desc, LaDate")); },
                                 [&] { rs = std::make_unique<Recordset>(*db, QStringLiteral("Ventes")); });
    const double add = medianMs(3, [&] {
        Recordset target(*db, QStringLiteral("Ventes where No > 1000000"));
        Database::Transaction tx(*db);
        for (int i = 0; i < 10000; ++i) {
            target.AddNew();
            target.setValue(QStringLiteral("LaDate"), QDateTime(QDate(2026, 3, 1), QTime(9, 0)));
            target.setValue(QStringLiteral("TypeMouvement"), 3);
            target.setValue(QStringLiteral("Utilisateur"), QStringLiteral("100001"));
            target.Update();
        }
        tx.commit();
    });
    const SqlDialect dialect(SqlDialect::Engine::Sqlite);
    const int rewrites = 2000;
    const double rewrite = medianMs(5, [&] {
        for (int i = 0; i < rewrites; ++i)
            for (const QString& q : kQueries)
                dialect.rewrite(q);
    });

    out << "Base de mesure : " << rows << " ventes (médiane de plusieurs passages)\n";
    out << QStringLiteral("  ouverture d'un jeu de %1 lignes (Ventes)   : %2 ms\n").arg(rows).arg(open, 0, 'f', 1);
    out << QStringLiteral("  recherche [NumVente]=99990 depuis le début  : %1 ms\n").arg(find, 0, 'f', 2);
    out << QStringLiteral("  recherche like 'NOM199*' près de la fin     : %1 ms\n").arg(findText, 0, 'f', 2);
    out << QStringLiteral("  tri client « Utilisateur Desc, LaDate »     : %1 ms\n").arg(sort, 0, 'f', 1);
    out << QStringLiteral("  10 000 ajouts par AddNew/Update, 1 transaction : %1 ms\n").arg(add, 0, 'f', 1);
    out << QStringLiteral("  réécriture d'un texte T-SQL des fenêtres     : %1 µs en moyenne\n")
               .arg(rewrite * 1000.0 / (rewrites * kQueries.size()), 0, 'f', 1);
    return 0;
}

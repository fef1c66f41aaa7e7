#include "Procedures.h"

#include "AppException.h"
#include "Database.h"

namespace {

// The sale lines of a period, both bounds strict, grouped by every column but the month.
const char* kEtatCA = R"SQL(
INSERT INTO CA (NomMois, TypeMouvement, LaDate, Utilisateur, Nom, Prenom, Reference,
                Designation, Quantite, NomFamille, NomSite, NomService, Profile,
                CodeFournisseur, Societe, PrixAchatUnit, Taille, RefFournisseur)
SELECT tsql_monthname(Ventes.LaDate), Ventes.TypeMouvement, Ventes.LaDate, Ventes.Utilisateur,
       Ventes.Nom, Ventes.Prenom, DetailVente.Reference, DetailVente.Designation,
       DetailVente.Quantite, DetailVente.NomFamille, DetailVente.NomSite, DetailVente.NomService,
       ProfileQuota.Profile, DetailVente.CodeFournisseur, DetailVente.Societe,
       DetailVente.PrixAchatUnit, DetailVente.Taille, DetailVente.RefFournisseur
FROM Ventes
INNER JOIN DetailVente ON Ventes.NumVente = DetailVente.NumVente
LEFT OUTER JOIN ProfileQuota ON DetailVente.Profile = ProfileQuota.NoQuota
WHERE Ventes.LaDate > tsql_datetime(?, 103) AND Ventes.LaDate < tsql_datetime(?, 103)
GROUP BY Ventes.TypeMouvement, Ventes.LaDate, Ventes.Utilisateur, Ventes.Nom, Ventes.Prenom,
         DetailVente.Reference, DetailVente.Designation, DetailVente.Quantite,
         DetailVente.NomFamille, DetailVente.NomSite, DetailVente.NomService,
         ProfileQuota.Profile, DetailVente.CodeFournisseur, DetailVente.Societe,
         DetailVente.PrixAchatUnit, DetailVente.Taille, DetailVente.RefFournisseur
)SQL";

const char* kRemplissage = R"SQL(
SELECT T.NumMach, T.Etage, T.Reference, T.CodeArticle, T.NbUnite, T.Aremplir,
       A.Designation, A.DesignationEN, A.RefFournisseur, A.CodeBar, A.Prix, A.Image,
       F.NomFamille, Ta.Taille, M.Location, M.Chargement
FROM TRemplissageMachine T
LEFT JOIN ArticleEnStock A ON A.Reference = T.Reference
LEFT JOIN Familles F ON F.NoFamille = A.Famille
LEFT JOIN Tailles Ta ON Ta.NoTaille = A.Taille
LEFT JOIN Machines M ON M.NoMachine = T.NumMach
WHERE T.NumMach = ?
ORDER BY T.Etage, T.NoLigne
)SQL";

const char* kPresentation = R"SQL(
SELECT C.NoMachine AS NumMach, C.Etage, C.ReferenceArticle AS Reference, A.CodeArticle,
       A.Designation, A.DesignationEN, A.RefFournisseur, A.CodeBar, A.Prix, A.Image,
       F.NomFamille, Ta.Taille, M.Location, M.Chargement
FROM ConfigMachines C
INNER JOIN ArticleEnStock A ON A.Reference = C.ReferenceArticle
LEFT JOIN Familles F ON F.NoFamille = A.Famille
LEFT JOIN Tailles Ta ON Ta.NoTaille = A.Taille
LEFT JOIN Machines M ON M.NoMachine = C.NoMachine
WHERE C.NoMachine = ?
ORDER BY C.Etage
)SQL";

qlonglong machineNumber(const QString& name, const QStringList& args)
{
    bool ok = false;
    const qlonglong n = args.value(0).trimmed().toLongLong(&ok);
    if (args.size() != 1 || !ok)
        throw AppException(Database::RefusedWrite,
                           QStringLiteral("La procédure %1 attend un numéro de machine.").arg(name));
    return n;
}

} // namespace

namespace Procedures {

ResultTable run(Database& db, const QString& name, const QStringList& args)
{
    if (name.compare(QLatin1String("EtatCA"), Qt::CaseInsensitive) == 0) {
        if (args.size() != 2)
            throw AppException(Database::RefusedWrite,
                               QStringLiteral("La procédure EtatCA attend @DateDebut et @DateFin."));
        // Parameters are char(20), as on the server.
        const QString start = args[0].left(20);
        const QString end = args[1].left(20);
        // All or nothing: an invalid date leaves CA as it was.
        db.executeNative(QStringLiteral("SAVEPOINT EtatCA"));
        try {
            db.executeNative(QStringLiteral("DELETE FROM CA"));
            db.executeNative(QString::fromUtf8(kEtatCA), {start, end});
        } catch (...) {
            db.executeNative(QStringLiteral("ROLLBACK TO EtatCA"));
            db.executeNative(QStringLiteral("RELEASE EtatCA"));
            throw;
        }
        db.executeNative(QStringLiteral("RELEASE EtatCA"));
        return ResultTable();
    }
    if (name.compare(QLatin1String("RemplissageMachine"), Qt::CaseInsensitive) == 0)
        return db.queryNative(QString::fromUtf8(kRemplissage), {machineNumber(name, args)});
    if (name.compare(QLatin1String("PresentationArticle"), Qt::CaseInsensitive) == 0)
        return db.queryNative(QString::fromUtf8(kPresentation), {machineNumber(name, args)});
    throw AppException(Database::RefusedWrite,
                       QStringLiteral("Procédure stockée introuvable : '%1'.").arg(name));
}

} // namespace Procedures

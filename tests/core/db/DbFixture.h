#pragma once

#include "AppException.h"
#include "AppSettings.h"
#include "Database.h"

#include <QTemporaryDir>
#include <functional>
#include <memory>

// The number of the failure that fn throws, 0 when it succeeds.
inline long failureOf(const std::function<void()>& fn)
{
    try {
        fn();
    } catch (const AppException& e) {
        return e.number();
    }
    return 0;
}

// A small database of our own for each test: the schema, and a few rows that show
// the rules under test.
struct DbFixture {
    QTemporaryDir dir;
    QString path;
    std::unique_ptr<Database> db;

    explicit DbFixture(bool withRows = true)
    {
        path = dir.filePath(QStringLiteral("test.sqlite"));
        db = Database::createFile(path);
        if (withRows)
            fill();
    }

    // Settings of an application folder that is the fixture's, on its database.
    AppSettings settings() const
    {
        AppSettings s;
        s.ApplicationFolder = dir.path();
        s.DatabaseFile = path;
        return s;
    }

    void fill()
    {
        db->executeNative(QStringLiteral(R"SQL(
INSERT INTO Familles (NoFamille, NomFamille, Libele) VALUES (1, 'GANTS', 'Gants'), (2, 'DIVERS', 'Divers');
INSERT INTO Tailles (NoTaille, Taille, NoFamille, Ordre) VALUES (1, '8', 1, 1), (2, '9', 1, 2), (3, 'T.U.', 2, 1);
INSERT INTO Fournisseur (Nauto, No, CodeFournisseur, Societe) VALUES (1, 1, 'F001', 'EPI DIFFUSION');
INSERT INTO ArticleEnStock (Reference, CodeArticle, CodeBar, Designation, Famille, Taille, PrixAchatUnit, QteEnStock, NoFournisseur, DateCreation)
VALUES (1000, 1, '3760123400015', 'Gant nitrile', 1, 1, 3.2, 40, 1, '2026-01-15 00:00:00'),
       (1001, 2, NULL, 'Gant nitrile', 1, 2, 3.2, 5, 1, '2026-02-01 00:00:00'),
       (1002, NULL, NULL, 'Bouchons d''oreille', 2, 3, 0.4, NULL, NULL, NULL),
       (1003, NULL, NULL, 'Article nu', NULL, NULL, NULL, NULL, NULL, NULL);
INSERT INTO CodeArticle (CodeArticle, Reference) VALUES (1, 1000), (2, 1001), (7, NULL);
INSERT INTO Machines (NoMachine, Type, Chargement, NbEmplacement, NbPorte, Location) VALUES (1, 3, 'ETAGE', 4, 2, 'Atelier');
INSERT INTO ConfigMachines (NoMachine, Etage, ReferenceArticle, CodeArticle, Designation) VALUES (1, 1, 1000, 1, 'Gant nitrile'), (1, 2, NULL, NULL, NULL);
INSERT INTO EmplacementsMachine1 (NoEmpl, NoMachine, Etage, Colonne, Reference) VALUES (1, 1, 1, 1, 1000), (2, 1, 1, 2, 1000), (3, 1, 2, 1, NULL), (4, 1, 2, 2, NULL);
INSERT INTO Sites (NoSite, NomSite) VALUES (1, 'LYON'), (2, 'BRON');
INSERT INTO Services (NoService, NomService, Site) VALUES (1, 'PRODUCTION', 1), (2, 'PRODUCTION', 2), (3, 'QUALITE', 1);
INSERT INTO ProfileQuota (NoQuota, Profile) VALUES (1, 'OPERATEUR'), (2, 'VIDE');
INSERT INTO Quota (NoQota, RefArticle, QtePermise, Periodicite) VALUES (1, 1000, 2, 30), (1, 1002, 10, 7);
INSERT INTO Utilisateurs (NoBadge, Nom, Prenom, Site, Service, Quota, TailleMain) VALUES
    ('100001', 'MARTIN', 'Jean', 1, 1, 1, 2), ('100002', 'D''ALMEIDA', 'Zoé', 2, 2, NULL, NULL), ('100003', 'SANS', 'Vente', NULL, NULL, NULL, NULL);
INSERT INTO Ventes (NumVente, LaDate, TypeMouvement, Utilisateur, Nom, Prenom) VALUES
    (500, '2026-02-01 00:00:00', 1, '100001', 'MARTIN', 'Jean'),
    (501, '2026-02-01 00:00:01', 1, '100001', 'MARTIN', 'Jean'),
    (502, '2026-02-15 10:30:00', 3, '100002', 'D''ALMEIDA', 'Zoé'),
    (503, '2026-02-28 23:59:59', 1, '100001', 'MARTIN', 'Jean'),
    (504, '2026-02-28 23:59:58', 1, '100002', 'D''ALMEIDA', 'Zoé');
INSERT INTO DetailVente (nove, NoVente, NumVente, Reference, Designation, Quantite, NomFamille, NomSite, Profile, PrixAchatUnit, Taille) VALUES
    (1, 500, 500, 1000, 'Gant nitrile', 1, 'gants', 'LYON', 1, 3.2, '8'),
    (2, 501, 501, 1000, 'Gant nitrile', 1, 'gants', 'LYON', 1, 3.2, '8'),
    (2, 501, 501, 1000, 'Gant nitrile', 1, 'gants', 'LYON', 1, 3.2, '8'),
    (NULL, NULL, 502, 1002, 'Bouchons d''oreille', 3, 'DIVERS', 'BRON', NULL, 0.4, 'T.U.'),
    (4, 503, 503, 1001, 'Gant nitrile', 2, 'gants', 'LYON', 1, 3.2, '9'),
    (5, 504, 504, 1001, 'Gant nitrile', 1, 'gants', 'BRON', NULL, 3.2, '9');
INSERT INTO InfoSociete (Nom, MotPasse, AdEmail) VALUES ('SOCIETE TEST', NULL, NULL);
)SQL"));
    }
};

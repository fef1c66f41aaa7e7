-- Database of automat for a new SQL Server site: the same tables, views and
-- procedures as the embedded database. Run once in the site's database (sqlcmd -i).
SET ANSI_NULLS ON;
SET QUOTED_IDENTIFIER ON;
GO

CREATE TABLE dbo.InfoSociete (
    NoSociete int IDENTITY(1,1) PRIMARY KEY,
    Nom nvarchar(255), Adresse nvarchar(255), CodePostal nvarchar(20), Ville nvarchar(255),
    Tel nvarchar(50), Fax nvarchar(50), MotPasse nvarchar(50), AdEmail nvarchar(255)
);
CREATE TABLE dbo.Familles (
    NoFamille int IDENTITY(1,1) PRIMARY KEY,
    NomFamille nvarchar(100), Libele nvarchar(100), Fonction nvarchar(255)
);
CREATE TABLE dbo.Tailles (
    NoTaille int IDENTITY(1,1) PRIMARY KEY,
    Taille nvarchar(50), NoFamille int REFERENCES dbo.Familles (NoFamille), Ordre int,
    CONSTRAINT TaillesUniques UNIQUE (NoFamille, Taille)
);
CREATE TABLE dbo.Fournisseur (
    Nauto int IDENTITY(1,1) PRIMARY KEY,
    [No] int, CodeFournisseur nvarchar(50), Societe nvarchar(255), Adresse nvarchar(255),
    CodePostal nvarchar(20), Ville nvarchar(255), NomContact nvarchar(255), Tel nvarchar(50),
    Fax nvarchar(50)
);
CREATE TABLE dbo.ArticleEnStock (
    [No] int IDENTITY(1,1) PRIMARY KEY,
    Reference int NOT NULL UNIQUE,
    CodeArticle int NULL, CodeBar nvarchar(50) NULL,
    RefFournisseur nvarchar(100), Designation nvarchar(max), DesignationEN nvarchar(max),
    Famille int NULL REFERENCES dbo.Familles (NoFamille),
    Taille int NULL REFERENCES dbo.Tailles (NoTaille),
    Prix money, PrixAchatUnit money, PrixAchatGlobal money, QteParPaket int, QteEnStock int,
    StockAlert int, DelaiLivraison int, DateCreation datetime, DateDernierMouvement datetime,
    Image nvarchar(255), NoFournisseur int NULL REFERENCES dbo.Fournisseur (Nauto),
    Marque nvarchar(255), Norme nvarchar(255), Descriptif nvarchar(max), FicheTech nvarchar(max)
);
CREATE UNIQUE INDEX ArticleCodeArticle ON dbo.ArticleEnStock (CodeArticle) WHERE CodeArticle IS NOT NULL;
CREATE UNIQUE INDEX ArticleCodeBar ON dbo.ArticleEnStock (CodeBar) WHERE CodeBar IS NOT NULL;
CREATE TABLE dbo.CodeArticle (
    CodeArticle int PRIMARY KEY CHECK (CodeArticle BETWEEN 1 AND 2000),
    Reference int NULL
);
CREATE TABLE dbo.MouvementStock (
    [No] int IDENTITY(1,1) PRIMARY KEY,
    DateEntree datetime, RefProduit int, RefFournisseur nvarchar(100), Designation nvarchar(max),
    Qte int, NomFournisseur nvarchar(255), Commentaire nvarchar(50)
);
CREATE TABLE dbo.Machines (
    NoMachine int PRIMARY KEY, Type int, Chargement nvarchar(20), NbEmplacement int, NbPorte int,
    Location nvarchar(255), Service nvarchar(255)
);
CREATE TABLE dbo.ConfigMachines (
    NoLigne int IDENTITY(1,1) PRIMARY KEY,
    NoMachine int NOT NULL REFERENCES dbo.Machines (NoMachine), Etage int NOT NULL,
    ReferenceArticle int NULL REFERENCES dbo.ArticleEnStock (Reference), CodeArticle int NULL,
    Designation nvarchar(max) NULL,
    CONSTRAINT ConfigUnique UNIQUE (NoMachine, Etage)
);
CREATE TABLE dbo.EmplacementsMachine1 (
    NoLigne int IDENTITY(1,1) PRIMARY KEY,
    NoEmpl int NOT NULL, NoMachine int NOT NULL REFERENCES dbo.Machines (NoMachine),
    Etage int, Colonne int, Reference int NULL,
    CONSTRAINT EmplacementUnique UNIQUE (NoMachine, NoEmpl)
);
CREATE TABLE dbo.TRemplissageMachine (
    NoLigne int IDENTITY(1,1) PRIMARY KEY,
    Etage int NULL, Reference int, CodeArticle int, NbUnite int, Aremplir int, NumMach int
);
CREATE TABLE dbo.ARemplissageMachine (
    NoLigne int IDENTITY(1,1) PRIMARY KEY,
    NumMach int, Etage int, Reference int, CodeArticle nvarchar(10), NbUnite int, Aremplir int,
    Designation nvarchar(max), DesignationEN nvarchar(max), RefFournisseur nvarchar(100),
    CodeBar nvarchar(50), Prix money, Image nvarchar(255), NomFamille nvarchar(100),
    Taille nvarchar(50), Location nvarchar(255), Chargement nvarchar(20), Picture varbinary(max)
);
CREATE TABLE dbo.Ventes (
    [No] int IDENTITY(1,1) PRIMARY KEY,
    NumVente int NULL, LaDate datetime, TypeMouvement smallint, IdentMachine nvarchar(50),
    Utilisateur nvarchar(50), Nom nvarchar(255), Prenom nvarchar(255), Total money,
    NoCBClient nvarchar(20), NoRemiseTelecollecte decimal(19,0), DateTelecollecte datetime,
    Ticket nvarchar(max)
);
CREATE INDEX VentesNumVente ON dbo.Ventes (NumVente);
CREATE INDEX VentesLaDate ON dbo.Ventes (LaDate);
GO
-- A row added without a sale number (the counter) gets a new one.
CREATE TRIGGER dbo.VentesNumVenteAuto ON dbo.Ventes AFTER INSERT AS
BEGIN
    SET NOCOUNT ON;
    UPDATE v SET NumVente = (SELECT ISNULL(MAX(NumVente), 0) FROM dbo.Ventes) + 1
    FROM dbo.Ventes v INNER JOIN inserted i ON v.[No] = i.[No]
    WHERE i.NumVente IS NULL;
END;
GO
CREATE TABLE dbo.DetailVente (
    NoLigne int IDENTITY(1,1) PRIMARY KEY,
    nove int NULL, NoVente int NULL, NumVente int NULL, Reference int, RefProduit float,
    RefFournisseur nvarchar(100), CodeArticle int, Designation nvarchar(250), Quantite int,
    Montant money, EcoTaxe money, TVA float, PrixAchatUnit money, Marque nvarchar(255),
    NoIMEI nvarchar(50), NoSIM nvarchar(50), EAN13recharge nvarchar(50),
    NoSerieRecharge nvarchar(50), NoCommande nvarchar(100), NoFamille int,
    NomFamille nvarchar(100), Taille nvarchar(50), NoSite int, NomSite nvarchar(255),
    NoService int, NomService nvarchar(255), Profile int, CodeFournisseur nvarchar(50),
    Societe nvarchar(255)
);
CREATE INDEX DetailVenteNumVente ON dbo.DetailVente (NumVente);
CREATE TABLE dbo.FichierTransfer (
    NoLigne int IDENTITY(1,1) PRIMARY KEY,
    NomFichier nvarchar(255) NOT NULL UNIQUE
);
CREATE TABLE dbo.Sites (
    NoSite int IDENTITY(1,1) PRIMARY KEY,
    NomSite nvarchar(255) UNIQUE, Adresse nvarchar(255), Info nvarchar(max)
);
CREATE TABLE dbo.Services (
    NoService int IDENTITY(1,1) PRIMARY KEY,
    NomService nvarchar(255), Site int NULL REFERENCES dbo.Sites (NoSite), Info nvarchar(max),
    CONSTRAINT ServicesUniques UNIQUE (Site, NomService)
);
CREATE TABLE dbo.ProfileQuota (
    NoQuota int IDENTITY(1,1) PRIMARY KEY,
    Profile nvarchar(150) UNIQUE
);
CREATE TABLE dbo.Quota (
    NoLigne int IDENTITY(1,1) PRIMARY KEY,
    NoQota int REFERENCES dbo.ProfileQuota (NoQuota),
    RefArticle int REFERENCES dbo.ArticleEnStock (Reference),
    QtePermise int, Periodicite numeric(3,0)
);
CREATE TABLE dbo.Utilisateurs (
    NoBadge nvarchar(50) NOT NULL PRIMARY KEY,
    NoUtilisateur nvarchar(50), Nom nvarchar(255), Prenom nvarchar(255),
    MatriculeSalarie nvarchar(50), Site int NULL REFERENCES dbo.Sites (NoSite),
    Service int NULL REFERENCES dbo.Services (NoService),
    Quota int NULL REFERENCES dbo.ProfileQuota (NoQuota),
    TailleChaussure int NULL REFERENCES dbo.Tailles (NoTaille),
    TailleMain int NULL REFERENCES dbo.Tailles (NoTaille),
    MachineAutorise nvarchar(100) NULL
);
GO
CREATE TRIGGER dbo.UtilisateursVentesRestrict ON dbo.Utilisateurs AFTER DELETE, UPDATE AS
BEGIN
    SET NOCOUNT ON;
    IF EXISTS (SELECT 1 FROM deleted d INNER JOIN dbo.Ventes v ON v.Utilisateur = d.NoBadge
               WHERE NOT EXISTS (SELECT 1 FROM inserted i WHERE i.NoBadge = d.NoBadge))
    BEGIN
        RAISERROR ('Le salarié a des ventes enregistrées.', 16, 1);
        ROLLBACK TRANSACTION;
    END
END;
GO
CREATE TRIGGER dbo.ArticleEmplacementRestrict ON dbo.ArticleEnStock AFTER DELETE AS
BEGIN
    SET NOCOUNT ON;
    IF EXISTS (SELECT 1 FROM deleted d INNER JOIN dbo.EmplacementsMachine1 e ON e.Reference = d.Reference)
    BEGIN
        RAISERROR ('L''article est encore dans une machine.', 16, 1);
        ROLLBACK TRANSACTION;
    END
END;
GO
CREATE TABLE dbo.DotationEnCours (
    NoLigne int IDENTITY(1,1) PRIMARY KEY,
    NoSite int, NomSite nvarchar(255), NoService int, NomService nvarchar(255), NoQuota int,
    Profile nvarchar(150)
);
CREATE TABLE dbo.BadgeMaintenance (NoBadge nvarchar(50) NOT NULL PRIMARY KEY);
CREATE TABLE dbo.CA (
    NomMois nvarchar(30), TypeMouvement smallint, LaDate datetime, Utilisateur nvarchar(50),
    Nom nvarchar(255), Prenom nvarchar(255), Reference int, Designation nvarchar(250),
    Quantite int, NomFamille nvarchar(100), NomSite nvarchar(255), NomService nvarchar(255),
    Profile nvarchar(150), CodeFournisseur nvarchar(50), Societe nvarchar(255),
    PrixAchatUnit money, Taille nvarchar(50), RefFournisseur nvarchar(100)
);
CREATE TABLE dbo.InfoEtat (
    NoLigne int IDENTITY(1,1) PRIMARY KEY, Titre nvarchar(255), Periode nvarchar(255)
);
GO
CREATE VIEW dbo.StockGlobal AS
SELECT A.Reference, A.RefFournisseur, A.Designation, T.Taille, A.CodeArticle, F.NomFamille,
       A.PrixAchatUnit,
       A.PrixAchatUnit * (ISNULL(A.QteEnStock, 0) + ISNULL(M.QteEnMachine, 0)) AS ValeurStock,
       A.QteEnStock, ISNULL(M.QteEnMachine, 0) AS QteEnMachine,
       ISNULL(A.QteEnStock, 0) + ISNULL(M.QteEnMachine, 0) AS QteGlobal,
       A.StockAlert, Fo.Societe, Fo.Adresse, Fo.CodePostal, Fo.Ville, Fo.Tel, Fo.Fax,
       Fo.NomContact, Fo.CodeFournisseur, A.CodeBar
FROM dbo.ArticleEnStock A
LEFT JOIN dbo.Familles F ON F.NoFamille = A.Famille
LEFT JOIN dbo.Tailles T ON T.NoTaille = A.Taille
LEFT JOIN dbo.Fournisseur Fo ON Fo.[No] = A.NoFournisseur
LEFT JOIN (SELECT Reference, COUNT(*) AS QteEnMachine FROM dbo.EmplacementsMachine1
           WHERE Reference IS NOT NULL GROUP BY Reference) M ON M.Reference = A.Reference;
GO
CREATE VIEW dbo.Stock AS
SELECT A.Reference, A.RefFournisseur, A.Designation, A.Norme, A.Descriptif, A.FicheTech,
       A.QteEnStock, A.Image, A.PrixAchatUnit, F.NomFamille, Fo.CodeFournisseur, Fo.Societe,
       T.Taille, A.CodeArticle, A.Famille
FROM dbo.ArticleEnStock A
LEFT JOIN dbo.Familles F ON F.NoFamille = A.Famille
LEFT JOIN dbo.Tailles T ON T.NoTaille = A.Taille
LEFT JOIN dbo.Fournisseur Fo ON Fo.[No] = A.NoFournisseur;
GO
CREATE VIEW dbo.GrUtilisateur AS
SELECT U.NoBadge, U.NoUtilisateur, U.Nom, U.Prenom, U.MatriculeSalarie, U.Site, U.Service,
       U.Quota, U.TailleChaussure, U.TailleMain, U.MachineAutorise,
       S.NoSite, S.NomSite, Se.NoService, Se.NomService, P.Profile,
       TC.Taille AS TailleCh, TM.Taille AS TailleM, TM.Ordre AS OrdreM
FROM dbo.Utilisateurs U
LEFT JOIN dbo.Sites S ON S.NoSite = U.Site
LEFT JOIN dbo.Services Se ON Se.NoService = U.Service
LEFT JOIN dbo.ProfileQuota P ON P.NoQuota = U.Quota
LEFT JOIN dbo.Tailles TC ON TC.NoTaille = U.TailleChaussure
LEFT JOIN dbo.Tailles TM ON TM.NoTaille = U.TailleMain;
GO
-- Writes of the employee's own columns through the view reach Utilisateurs (SQL Server
-- updates a single base table through a view by itself; additions need this trigger
-- because of the outer joins).
CREATE TRIGGER dbo.GrUtilisateurInsert ON dbo.GrUtilisateur INSTEAD OF INSERT AS
BEGIN
    SET NOCOUNT ON;
    INSERT INTO dbo.Utilisateurs (NoBadge, NoUtilisateur, Nom, Prenom, MatriculeSalarie, Site,
                                  Service, Quota, TailleChaussure, TailleMain, MachineAutorise)
    SELECT NoBadge, NoUtilisateur, Nom, Prenom, MatriculeSalarie, Site, Service, Quota,
           TailleChaussure, TailleMain, MachineAutorise FROM inserted;
END;
GO
CREATE PROCEDURE dbo.EtatCA @DateDebut char(20), @DateFin char(20) AS
BEGIN
    SET NOCOUNT ON;
    DELETE FROM dbo.CA;
    INSERT INTO dbo.CA (NomMois, TypeMouvement, LaDate, Utilisateur, Nom, Prenom, Reference,
                        Designation, Quantite, NomFamille, NomSite, NomService, Profile,
                        CodeFournisseur, Societe, PrixAchatUnit, Taille, RefFournisseur)
    SELECT DATENAME(month, Ventes.LaDate), Ventes.TypeMouvement, Ventes.LaDate,
           Ventes.Utilisateur, Ventes.Nom, Ventes.Prenom, DetailVente.Reference,
           DetailVente.Designation, DetailVente.Quantite, DetailVente.NomFamille,
           DetailVente.NomSite, DetailVente.NomService, ProfileQuota.Profile,
           DetailVente.CodeFournisseur, DetailVente.Societe, DetailVente.PrixAchatUnit,
           DetailVente.Taille, DetailVente.RefFournisseur
    FROM dbo.Ventes
    INNER JOIN dbo.DetailVente ON Ventes.NumVente = DetailVente.NumVente
    LEFT OUTER JOIN dbo.ProfileQuota ON DetailVente.Profile = ProfileQuota.NoQuota
    WHERE Ventes.LaDate > CONVERT(DATETIME, @DateDebut, 103)
      AND Ventes.LaDate < CONVERT(DATETIME, @DateFin, 103)
    GROUP BY Ventes.TypeMouvement, Ventes.LaDate, Ventes.Utilisateur, Ventes.Nom, Ventes.Prenom,
             DetailVente.Reference, DetailVente.Designation, DetailVente.Quantite,
             DetailVente.NomFamille, DetailVente.NomSite, DetailVente.NomService,
             ProfileQuota.Profile, DetailVente.CodeFournisseur, DetailVente.Societe,
             DetailVente.PrixAchatUnit, DetailVente.Taille, DetailVente.RefFournisseur;
END;
GO
CREATE PROCEDURE dbo.RemplissageMachine @NoMachine int AS
SELECT T.NumMach, T.Etage, T.Reference, T.CodeArticle, T.NbUnite, T.Aremplir,
       A.Designation, A.DesignationEN, A.RefFournisseur, A.CodeBar, A.Prix, A.Image,
       F.NomFamille, Ta.Taille, M.Location, M.Chargement
FROM dbo.TRemplissageMachine T
LEFT JOIN dbo.ArticleEnStock A ON A.Reference = T.Reference
LEFT JOIN dbo.Familles F ON F.NoFamille = A.Famille
LEFT JOIN dbo.Tailles Ta ON Ta.NoTaille = A.Taille
LEFT JOIN dbo.Machines M ON M.NoMachine = T.NumMach
WHERE T.NumMach = @NoMachine
ORDER BY T.Etage, T.NoLigne;
GO
CREATE PROCEDURE dbo.PresentationArticle @NoMachine int AS
SELECT C.NoMachine AS NumMach, C.Etage, C.ReferenceArticle AS Reference, A.CodeArticle,
       A.Designation, A.DesignationEN, A.RefFournisseur, A.CodeBar, A.Prix, A.Image,
       F.NomFamille, Ta.Taille, M.Location, M.Chargement
FROM dbo.ConfigMachines C
INNER JOIN dbo.ArticleEnStock A ON A.Reference = C.ReferenceArticle
LEFT JOIN dbo.Familles F ON F.NoFamille = A.Famille
LEFT JOIN dbo.Tailles Ta ON Ta.NoTaille = A.Taille
LEFT JOIN dbo.Machines M ON M.NoMachine = C.NoMachine
WHERE C.NoMachine = @NoMachine
ORDER BY C.Etage;
GO

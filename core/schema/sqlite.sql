-- Embedded database of automat (SQLite). Texts compare ignoring case, as on the
-- site's SQL Server (collation CI); dates are 'YYYY-MM-DD HH:MM:SS' texts.
PRAGMA foreign_keys = ON;

CREATE TABLE InfoSociete (
    NoSociete INTEGER PRIMARY KEY AUTOINCREMENT,
    Nom TEXT COLLATE NOCASE,
    Adresse TEXT COLLATE NOCASE,
    CodePostal TEXT COLLATE NOCASE,
    Ville TEXT COLLATE NOCASE,
    Tel TEXT COLLATE NOCASE,
    Fax TEXT COLLATE NOCASE,
    MotPasse TEXT,
    AdEmail TEXT COLLATE NOCASE
);

CREATE TABLE Familles (
    NoFamille INTEGER PRIMARY KEY AUTOINCREMENT,
    NomFamille TEXT COLLATE NOCASE,
    Libele TEXT COLLATE NOCASE,
    Fonction TEXT COLLATE NOCASE
);

CREATE TABLE Tailles (
    NoTaille INTEGER PRIMARY KEY AUTOINCREMENT,
    Taille TEXT COLLATE NOCASE,
    NoFamille INTEGER REFERENCES Familles (NoFamille),
    Ordre INTEGER,
    UNIQUE (NoFamille, Taille)
);
CREATE INDEX TaillesFamille ON Tailles (NoFamille, Ordre);

CREATE TABLE Fournisseur (
    Nauto INTEGER PRIMARY KEY AUTOINCREMENT,
    No INTEGER,
    CodeFournisseur TEXT COLLATE NOCASE,
    Societe TEXT COLLATE NOCASE,
    Adresse TEXT COLLATE NOCASE,
    CodePostal TEXT COLLATE NOCASE,
    Ville TEXT COLLATE NOCASE,
    NomContact TEXT COLLATE NOCASE,
    Tel TEXT COLLATE NOCASE,
    Fax TEXT COLLATE NOCASE
);

CREATE TABLE ArticleEnStock (
    No INTEGER PRIMARY KEY AUTOINCREMENT,
    Reference INTEGER NOT NULL UNIQUE,
    CodeArticle INTEGER UNIQUE,
    CodeBar TEXT COLLATE NOCASE UNIQUE,
    RefFournisseur TEXT COLLATE NOCASE,
    Designation TEXT COLLATE NOCASE,
    DesignationEN TEXT COLLATE NOCASE,
    Famille INTEGER REFERENCES Familles (NoFamille),
    Taille INTEGER REFERENCES Tailles (NoTaille),
    Prix NUMERIC,
    PrixAchatUnit NUMERIC,
    PrixAchatGlobal NUMERIC,
    QteParPaket INTEGER,
    QteEnStock INTEGER,
    StockAlert INTEGER,
    DelaiLivraison INTEGER,
    DateCreation DATETIME,
    DateDernierMouvement DATETIME,
    Image TEXT COLLATE NOCASE,
    NoFournisseur INTEGER REFERENCES Fournisseur (Nauto),
    Marque TEXT COLLATE NOCASE,
    Norme TEXT COLLATE NOCASE,
    Descriptif TEXT COLLATE NOCASE,
    FicheTech TEXT COLLATE NOCASE
);
CREATE INDEX ArticleFamille ON ArticleEnStock (Famille);
CREATE INDEX ArticleTaille ON ArticleEnStock (Taille);
CREATE INDEX ArticleFournisseur ON ArticleEnStock (NoFournisseur);

CREATE TABLE CodeArticle (
    CodeArticle INTEGER PRIMARY KEY CHECK (CodeArticle BETWEEN 1 AND 2000),
    Reference INTEGER
);

CREATE TABLE MouvementStock (
    No INTEGER PRIMARY KEY AUTOINCREMENT,
    DateEntree DATETIME,
    RefProduit INTEGER,
    RefFournisseur TEXT COLLATE NOCASE,
    Designation TEXT COLLATE NOCASE,
    Qte INTEGER,
    NomFournisseur TEXT COLLATE NOCASE,
    Commentaire TEXT COLLATE NOCASE CHECK (length(Commentaire) <= 50)
);

CREATE TABLE Machines (
    NoMachine INTEGER PRIMARY KEY,
    Type INTEGER,
    Chargement TEXT COLLATE NOCASE,
    NbEmplacement INTEGER,
    NbPorte INTEGER,
    Location TEXT COLLATE NOCASE,
    Service TEXT COLLATE NOCASE
);

CREATE TABLE ConfigMachines (
    NoLigne INTEGER PRIMARY KEY AUTOINCREMENT,
    NoMachine INTEGER NOT NULL REFERENCES Machines (NoMachine),
    Etage INTEGER NOT NULL,
    ReferenceArticle INTEGER REFERENCES ArticleEnStock (Reference),
    CodeArticle INTEGER,
    Designation TEXT COLLATE NOCASE,
    UNIQUE (NoMachine, Etage)
);

CREATE TABLE EmplacementsMachine1 (
    NoLigne INTEGER PRIMARY KEY AUTOINCREMENT,
    NoEmpl INTEGER NOT NULL,
    NoMachine INTEGER NOT NULL REFERENCES Machines (NoMachine),
    Etage INTEGER,
    Colonne INTEGER,
    Reference INTEGER,
    UNIQUE (NoMachine, NoEmpl)
);

CREATE TABLE TRemplissageMachine (
    NoLigne INTEGER PRIMARY KEY AUTOINCREMENT,
    Etage INTEGER,
    Reference INTEGER,
    CodeArticle INTEGER,
    NbUnite INTEGER,
    Aremplir INTEGER,
    NumMach INTEGER
);

-- The columns of the procedures RemplissageMachine and PresentationArticle, plus Picture.
CREATE TABLE ARemplissageMachine (
    NoLigne INTEGER PRIMARY KEY AUTOINCREMENT,
    NumMach INTEGER,
    Etage INTEGER,
    Reference INTEGER,
    CodeArticle TEXT,
    NbUnite INTEGER,
    Aremplir INTEGER,
    Designation TEXT COLLATE NOCASE,
    DesignationEN TEXT COLLATE NOCASE,
    RefFournisseur TEXT COLLATE NOCASE,
    CodeBar TEXT COLLATE NOCASE,
    Prix NUMERIC,
    Image TEXT COLLATE NOCASE,
    NomFamille TEXT COLLATE NOCASE,
    Taille TEXT COLLATE NOCASE,
    Location TEXT COLLATE NOCASE,
    Chargement TEXT COLLATE NOCASE,
    Picture BLOB
);

CREATE TABLE Ventes (
    No INTEGER PRIMARY KEY AUTOINCREMENT,
    NumVente INTEGER,
    LaDate DATETIME,
    TypeMouvement INTEGER,
    IdentMachine TEXT COLLATE NOCASE CHECK (length(IdentMachine) <= 50),
    Utilisateur TEXT COLLATE NOCASE,
    Nom TEXT COLLATE NOCASE,
    Prenom TEXT COLLATE NOCASE,
    Total NUMERIC,
    NoCBClient TEXT COLLATE NOCASE CHECK (length(NoCBClient) <= 20),
    NoRemiseTelecollecte NUMERIC,
    DateTelecollecte DATETIME,
    Ticket TEXT
);
CREATE INDEX VentesNumVente ON Ventes (NumVente);
CREATE INDEX VentesLaDate ON Ventes (LaDate);
CREATE INDEX VentesUtilisateur ON Ventes (Utilisateur);
-- A row added without a sale number (the counter) gets a new one; rows of the sales
-- files keep theirs.
CREATE TRIGGER VentesNumVenteAuto AFTER INSERT ON Ventes WHEN NEW.NumVente IS NULL
BEGIN
    UPDATE Ventes SET NumVente = (SELECT COALESCE(MAX(NumVente), 0) + 1 FROM Ventes)
    WHERE No = NEW.No;
END;

CREATE TABLE DetailVente (
    NoLigne INTEGER PRIMARY KEY AUTOINCREMENT,
    nove INTEGER,
    NoVente INTEGER,
    NumVente INTEGER,
    Reference INTEGER,
    RefProduit REAL,
    RefFournisseur TEXT COLLATE NOCASE,
    CodeArticle INTEGER,
    Designation TEXT COLLATE NOCASE CHECK (length(Designation) <= 250),
    Quantite INTEGER,
    Montant NUMERIC,
    EcoTaxe NUMERIC,
    TVA REAL,
    PrixAchatUnit NUMERIC,
    Marque TEXT COLLATE NOCASE,
    NoIMEI TEXT COLLATE NOCASE CHECK (length(NoIMEI) <= 50),
    NoSIM TEXT COLLATE NOCASE CHECK (length(NoSIM) <= 50),
    EAN13recharge TEXT COLLATE NOCASE CHECK (length(EAN13recharge) <= 50),
    NoSerieRecharge TEXT COLLATE NOCASE CHECK (length(NoSerieRecharge) <= 50),
    NoCommande TEXT COLLATE NOCASE CHECK (length(NoCommande) <= 100),
    NoFamille INTEGER,
    NomFamille TEXT COLLATE NOCASE,
    Taille TEXT COLLATE NOCASE,
    NoSite INTEGER,
    NomSite TEXT COLLATE NOCASE,
    NoService INTEGER,
    NomService TEXT COLLATE NOCASE,
    Profile INTEGER,
    CodeFournisseur TEXT COLLATE NOCASE,
    Societe TEXT COLLATE NOCASE
);
CREATE INDEX DetailVenteNumVente ON DetailVente (NumVente);
CREATE INDEX DetailVenteNove ON DetailVente (nove);
CREATE INDEX DetailVenteReference ON DetailVente (Reference);

CREATE TABLE FichierTransfer (
    NoLigne INTEGER PRIMARY KEY AUTOINCREMENT,
    NomFichier TEXT COLLATE NOCASE NOT NULL UNIQUE
);

CREATE TABLE Sites (
    NoSite INTEGER PRIMARY KEY AUTOINCREMENT,
    NomSite TEXT COLLATE NOCASE UNIQUE,
    Adresse TEXT COLLATE NOCASE,
    Info TEXT COLLATE NOCASE
);

CREATE TABLE Services (
    NoService INTEGER PRIMARY KEY AUTOINCREMENT,
    NomService TEXT COLLATE NOCASE,
    Site INTEGER REFERENCES Sites (NoSite),
    Info TEXT COLLATE NOCASE,
    UNIQUE (Site, NomService)
);

CREATE TABLE ProfileQuota (
    NoQuota INTEGER PRIMARY KEY AUTOINCREMENT,
    Profile TEXT COLLATE NOCASE UNIQUE CHECK (length(Profile) <= 150)
);

CREATE TABLE Quota (
    NoLigne INTEGER PRIMARY KEY AUTOINCREMENT,
    NoQota INTEGER REFERENCES ProfileQuota (NoQuota),
    RefArticle INTEGER REFERENCES ArticleEnStock (Reference),
    QtePermise INTEGER,
    Periodicite INTEGER CHECK (Periodicite BETWEEN -999 AND 999)
);
CREATE INDEX QuotaProfil ON Quota (NoQota);
CREATE INDEX QuotaArticle ON Quota (RefArticle);

CREATE TABLE Utilisateurs (
    NoBadge TEXT COLLATE NOCASE PRIMARY KEY NOT NULL,
    NoUtilisateur TEXT,
    Nom TEXT COLLATE NOCASE,
    Prenom TEXT COLLATE NOCASE,
    MatriculeSalarie TEXT COLLATE NOCASE,
    Site INTEGER REFERENCES Sites (NoSite),
    Service INTEGER REFERENCES Services (NoService),
    Quota INTEGER REFERENCES ProfileQuota (NoQuota),
    TailleChaussure INTEGER REFERENCES Tailles (NoTaille),
    TailleMain INTEGER REFERENCES Tailles (NoTaille),
    MachineAutorise TEXT
);
CREATE INDEX UtilisateursSite ON Utilisateurs (Site);
CREATE INDEX UtilisateursService ON Utilisateurs (Service);
CREATE INDEX UtilisateursQuota ON Utilisateurs (Quota);
CREATE INDEX UtilisateursChaussure ON Utilisateurs (TailleChaussure);
CREATE INDEX UtilisateursMain ON Utilisateurs (TailleMain);

-- An employee whose sales are recorded stays: his consumption history names him.
CREATE TRIGGER UtilisateursVentesRestrict BEFORE DELETE ON Utilisateurs
WHEN EXISTS (SELECT 1 FROM Ventes WHERE Utilisateur = OLD.NoBadge)
BEGIN
    SELECT RAISE(ABORT, 'FOREIGN KEY constraint failed: Ventes.Utilisateur');
END;
-- A badge number changed under recorded sales would orphan them.
CREATE TRIGGER UtilisateursBadgeRestrict BEFORE UPDATE OF NoBadge ON Utilisateurs
WHEN OLD.NoBadge <> NEW.NoBadge AND EXISTS (SELECT 1 FROM Ventes WHERE Utilisateur = OLD.NoBadge)
BEGIN
    SELECT RAISE(ABORT, 'FOREIGN KEY constraint failed: Ventes.Utilisateur');
END;
-- An article still placed in a machine slot stays.
CREATE TRIGGER ArticleEmplacementRestrict BEFORE DELETE ON ArticleEnStock
WHEN EXISTS (SELECT 1 FROM EmplacementsMachine1 WHERE Reference = OLD.Reference)
BEGIN
    SELECT RAISE(ABORT, 'FOREIGN KEY constraint failed: EmplacementsMachine1.Reference');
END;

CREATE TABLE DotationEnCours (
    NoLigne INTEGER PRIMARY KEY AUTOINCREMENT,
    NoSite INTEGER,
    NomSite TEXT COLLATE NOCASE,
    NoService INTEGER,
    NomService TEXT COLLATE NOCASE,
    NoQuota INTEGER,
    Profile TEXT COLLATE NOCASE
);

CREATE TABLE BadgeMaintenance (
    NoBadge TEXT COLLATE NOCASE PRIMARY KEY NOT NULL
);

-- Work table of the period reports, in the order of its columns; refilled by EtatCA.
CREATE TABLE CA (
    NomMois TEXT,
    TypeMouvement INTEGER,
    LaDate DATETIME,
    Utilisateur TEXT COLLATE NOCASE,
    Nom TEXT COLLATE NOCASE,
    Prenom TEXT COLLATE NOCASE,
    Reference INTEGER,
    Designation TEXT COLLATE NOCASE,
    Quantite INTEGER,
    NomFamille TEXT COLLATE NOCASE,
    NomSite TEXT COLLATE NOCASE,
    NomService TEXT COLLATE NOCASE,
    Profile TEXT COLLATE NOCASE,
    CodeFournisseur TEXT COLLATE NOCASE,
    Societe TEXT COLLATE NOCASE,
    PrixAchatUnit NUMERIC,
    Taille TEXT COLLATE NOCASE,
    RefFournisseur TEXT COLLATE NOCASE
);

CREATE TABLE InfoEtat (
    NoLigne INTEGER PRIMARY KEY AUTOINCREMENT,
    Titre TEXT,
    Periode TEXT
);

CREATE VIEW StockGlobal AS
SELECT A.Reference, A.RefFournisseur, A.Designation, T.Taille, A.CodeArticle, F.NomFamille,
       A.PrixAchatUnit,
       A.PrixAchatUnit * (COALESCE(A.QteEnStock, 0) + COALESCE(M.QteEnMachine, 0)) AS ValeurStock,
       A.QteEnStock, COALESCE(M.QteEnMachine, 0) AS QteEnMachine,
       COALESCE(A.QteEnStock, 0) + COALESCE(M.QteEnMachine, 0) AS QteGlobal,
       A.StockAlert, Fo.Societe, Fo.Adresse, Fo.CodePostal, Fo.Ville, Fo.Tel, Fo.Fax,
       Fo.NomContact, Fo.CodeFournisseur, A.CodeBar
FROM ArticleEnStock A
LEFT JOIN Familles F ON F.NoFamille = A.Famille
LEFT JOIN Tailles T ON T.NoTaille = A.Taille
LEFT JOIN Fournisseur Fo ON Fo.No = A.NoFournisseur
LEFT JOIN (SELECT Reference, COUNT(*) AS QteEnMachine FROM EmplacementsMachine1
           WHERE Reference IS NOT NULL GROUP BY Reference) M ON M.Reference = A.Reference;

CREATE VIEW Stock AS
SELECT A.Reference, A.RefFournisseur, A.Designation, A.Norme, A.Descriptif, A.FicheTech,
       A.QteEnStock, A.Image, A.PrixAchatUnit, F.NomFamille, Fo.CodeFournisseur, Fo.Societe,
       T.Taille, A.CodeArticle, A.Famille
FROM ArticleEnStock A
LEFT JOIN Familles F ON F.NoFamille = A.Famille
LEFT JOIN Tailles T ON T.NoTaille = A.Taille
LEFT JOIN Fournisseur Fo ON Fo.No = A.NoFournisseur;

CREATE VIEW GrUtilisateur AS
SELECT U.NoBadge, U.NoUtilisateur, U.Nom, U.Prenom, U.MatriculeSalarie, U.Site, U.Service,
       U.Quota, U.TailleChaussure, U.TailleMain, U.MachineAutorise,
       S.NoSite, S.NomSite, Se.NoService, Se.NomService, P.Profile,
       TC.Taille AS TailleCh, TM.Taille AS TailleM, TM.Ordre AS OrdreM
FROM Utilisateurs U
LEFT JOIN Sites S ON S.NoSite = U.Site
LEFT JOIN Services Se ON Se.NoService = U.Service
LEFT JOIN ProfileQuota P ON P.NoQuota = U.Quota
LEFT JOIN Tailles TC ON TC.NoTaille = U.TailleChaussure
LEFT JOIN Tailles TM ON TM.NoTaille = U.TailleMain;

-- The employee view takes additions and changes of the employee's own columns.
CREATE TRIGGER GrUtilisateurInsert INSTEAD OF INSERT ON GrUtilisateur
BEGIN
    INSERT INTO Utilisateurs (NoBadge, NoUtilisateur, Nom, Prenom, MatriculeSalarie, Site,
                              Service, Quota, TailleChaussure, TailleMain, MachineAutorise)
    VALUES (NEW.NoBadge, NEW.NoUtilisateur, NEW.Nom, NEW.Prenom, NEW.MatriculeSalarie, NEW.Site,
            NEW.Service, NEW.Quota, NEW.TailleChaussure, NEW.TailleMain, NEW.MachineAutorise);
END;

CREATE TRIGGER GrUtilisateurUpdate INSTEAD OF UPDATE ON GrUtilisateur
BEGIN
    UPDATE Utilisateurs SET NoBadge = NEW.NoBadge, NoUtilisateur = NEW.NoUtilisateur,
        Nom = NEW.Nom, Prenom = NEW.Prenom, MatriculeSalarie = NEW.MatriculeSalarie,
        Site = NEW.Site, Service = NEW.Service, Quota = NEW.Quota,
        TailleChaussure = NEW.TailleChaussure, TailleMain = NEW.TailleMain,
        MachineAutorise = NEW.MachineAutorise
    WHERE NoBadge = OLD.NoBadge;
END;

CREATE TRIGGER GrUtilisateurDelete INSTEAD OF DELETE ON GrUtilisateur
BEGIN
    DELETE FROM Utilisateurs WHERE NoBadge = OLD.NoBadge;
END;

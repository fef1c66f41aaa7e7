#pragma once

#include <QString>
#include <QVariant>
#include <memory>

class Database;
class Recordset;

// The company record of the main window (rsADOp on "InfoSociete"): the fields of the
// company panel, the application password and the company e-mail address.
class CompanyRecord {
public:
    explicit CompanyRecord(Database& db);
    ~CompanyRecord();

    static const QStringList& panelFields(); // Nom Adresse Ville CodePostal Tel Fax

    bool hasRow() const;
    QString field(const QString& name) const; // the empty text for null or no row
    QVariant motPasse() const;                // null when no row
    QVariant adEmail() const;

    // Writes the panel's fields into the record and saves it; with no row, adds one.
    void save(const QMap<QString, QString>& fields);
    // Closing: AdEmail takes the company e-mail (the empty text rather than null).
    void writeEmail(const QString& email);

    Recordset& recordset() { return *m_rs; }

private:
    std::unique_ptr<Recordset> m_rs;
};

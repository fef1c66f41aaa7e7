#include "CompanyRecord.h"

#include "Database.h"
#include "Recordset.h"

CompanyRecord::CompanyRecord(Database& db)
    : m_rs(std::make_unique<Recordset>(db, QStringLiteral("InfoSociete")))
{
}

CompanyRecord::~CompanyRecord() = default;

const QStringList& CompanyRecord::panelFields()
{
    static const QStringList fields = {QStringLiteral("Nom"),        QStringLiteral("Adresse"),
                                       QStringLiteral("Ville"),      QStringLiteral("CodePostal"),
                                       QStringLiteral("Tel"),        QStringLiteral("Fax")};
    return fields;
}

bool CompanyRecord::hasRow() const
{
    return !m_rs->isBOF() && !m_rs->isEOF();
}

QString CompanyRecord::field(const QString& name) const
{
    if (!hasRow())
        return QString();
    const QVariant v = m_rs->value(name);
    return v.isNull() ? QString() : v.toString();
}

QVariant CompanyRecord::motPasse() const
{
    return hasRow() ? m_rs->value(QStringLiteral("MotPasse")) : QVariant();
}

QVariant CompanyRecord::adEmail() const
{
    return hasRow() ? m_rs->value(QStringLiteral("AdEmail")) : QVariant();
}

void CompanyRecord::save(const QMap<QString, QString>& fields)
{
    if (!hasRow())
        m_rs->AddNew();
    for (auto it = fields.begin(); it != fields.end(); ++it)
        if (field(it.key()) != it.value() || m_rs->isNewRow())
            m_rs->setValue(it.key(), it.value());
    m_rs->Update();
}

void CompanyRecord::writeEmail(const QString& email)
{
    if (!hasRow())
        return;
    m_rs->setValue(QStringLiteral("AdEmail"), email.isNull() ? QString(QLatin1String("")) : email);
    m_rs->Update();
}

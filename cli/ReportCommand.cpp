#include "AppException.h"
#include "AppSettings.h"
#include "Commands.h"
#include "Database.h"
#include "FnZidurad.h"
#include "Recordset.h"
#include "ReportLayout.h"
#include "ReportTemplate.h"
#include "Secrets.h"

#include <QFileInfo>
#include <QTextStream>

namespace Commands {

// Renders a report to PDF without a display: the data sources are attached as the
// viewer attaches them, InfoEtat gets the title and the period.
int rapport(const QStringList& args)
{
    QTextStream err(stderr);
    QString templateName, table, du, au, titre, pdf;
    bool tableGiven = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == QLatin1String("--table") && hasValue) {
            table = args[++i];
            tableGiven = true;
        } else if (a == QLatin1String("--du") && hasValue) {
            du = args[++i];
        } else if (a == QLatin1String("--au") && hasValue) {
            au = args[++i];
        } else if (a == QLatin1String("--titre") && hasValue) {
            titre = args[++i];
        } else if (a == QLatin1String("--pdf") && hasValue) {
            pdf = args[++i];
        } else if (a == QLatin1String("--dossier") && hasValue) {
            qputenv("AUTOMAT_HOME", args[++i].toLocal8Bit());
        } else if (templateName.isEmpty() && !a.startsWith(QLatin1String("--"))) {
            templateName = a;
        } else {
            templateName.clear();
            break;
        }
    }
    if (templateName.isEmpty() || !tableGiven || pdf.isEmpty()) {
        err << "usage : automat-cmd rapport MODELE --table T [--du JJ/MM/AAAA --au JJ/MM/AAAA] --titre TEXTE --pdf FICHIER [--dossier DOSSIER]\n";
        return 64;
    }
    const QString folder = FnZidurad::ApplicationFolder();
    const AppSettings settings = AppSettings::load(folder, Secrets::load(folder), AppSettings::SystemDecimalSeparator());
    QString templatePath = templateName;
    if (!QFileInfo(templatePath).isFile())
        templatePath = FnZidurad::RealFilePath(folder + QStringLiteral("/RPT SQL"), templateName);
    ReportTemplate t;
    QString error;
    if (templatePath.isEmpty() || !ReportTemplate::parse(templatePath, &t, &error)) {
        err << (error.isEmpty() ? QStringLiteral("Le modèle « %1 » est introuvable.").arg(templateName) : error) << '\n';
        return 1;
    }
    try {
        auto db = Database::open(settings);
        Recordset info(*db, QStringLiteral("InfoEtat"));
        if (info.RecordCount() == 0)
            info.AddNew();
        info.setValue(QStringLiteral("Titre"), titre);
        info.setValue(QStringLiteral("Periode"), du.isEmpty() ? QString() : QStringLiteral("Période du %1 au %2").arg(du, au));
        info.Update();
        QStringList sources;
        if (table.contains(QLatin1String("CA")) && QFileInfo(templatePath).fileName().compare(QLatin1String("ConsUnSalarie.rpt"), Qt::CaseInsensitive) != 0) {
            if (!du.isEmpty())
                db->execute(QStringLiteral("EXEC EtatCA '%1 00:00:00' ,'%2 23:59:59'").arg(QString(du).replace(u'\'', QStringLiteral("''")),
                                                                                          QString(au).replace(u'\'', QStringLiteral("''"))));
            sources = {QStringLiteral("CA"), QStringLiteral("InfoEtat"), QStringLiteral("InfoSociete")};
        } else if (table.isEmpty()) {
            sources = {QStringLiteral("ArticleEnStock"), QStringLiteral("Familles"), QStringLiteral("Fournisseur"),
                       QStringLiteral("InfoSociete"), QStringLiteral("InfoEtat")};
        } else if (table == QLatin1String("GrUtilisateur")) {
            sources = {QStringLiteral("GrUtilisateur"), QStringLiteral("InfoSociete")};
        } else {
            sources = {table, QStringLiteral("InfoEtat"), QStringLiteral("InfoSociete")};
        }
        QList<ResultTable> tables;
        for (const QString& s : sources)
            tables << db->query(QStringLiteral("SELECT * FROM ") + s);
        ReportLayout layout;
        if (!ReportLayout::build(t, tables, &layout, &error) || !layout.writePdf(pdf, &error)) {
            err << error << '\n';
            return 1;
        }
        QTextStream(stdout) << layout.pages.size() << " page(s) : " << pdf << '\n';
    } catch (const AppException& e) {
        err << e.description() << ' ' << e.number() << '\n';
        return 1;
    }
    return 0;
}

} // namespace Commands

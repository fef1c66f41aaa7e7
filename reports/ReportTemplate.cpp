#include "ReportTemplate.h"

#include <QFile>
#include <QRegularExpression>

namespace {

Qt::Alignment alignment(const QString& word, bool* ok)
{
    *ok = true;
    if (word == QLatin1String("gauche"))
        return Qt::AlignLeft;
    if (word == QLatin1String("droite"))
        return Qt::AlignRight;
    if (word == QLatin1String("centre"))
        return Qt::AlignHCenter;
    *ok = false;
    return Qt::AlignLeft;
}

QStringList list(const QString& value)
{
    QStringList out;
    for (const QString& part : value.split(u',', Qt::SkipEmptyParts))
        out << part.trimmed();
    return out;
}

} // namespace

bool ReportTemplate::parse(const QString& path, ReportTemplate* out, QString* error)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("Le modèle « %1 » est introuvable.").arg(path);
        return false;
    }
    return parseText(QString::fromUtf8(f.readAll()), path, out, error);
}

bool ReportTemplate::parseText(const QString& text, const QString& fileName, ReportTemplate* out, QString* error)
{
    ReportTemplate t;
    t.fileName = fileName;
    QString section;
    int lineNo = 0;
    const auto fail = [&](const QString& why) {
        *error = QStringLiteral("%1, ligne %2 : %3").arg(fileName).arg(lineNo).arg(why);
        return false;
    };
    for (const QString& raw : text.split(u'\n')) {
        ++lineNo;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return fail(QStringLiteral("section mal fermée"));
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            static const QStringList known = {QStringLiteral("rapport"), QStringLiteral("entete"),
                                              QStringLiteral("colonnes"), QStringLiteral("groupe"),
                                              QStringLiteral("total"), QStringLiteral("graphique"),
                                              QStringLiteral("etiquettes")};
            if (!known.contains(section))
                return fail(QStringLiteral("section inconnue « %1 »").arg(section));
            if (section == QLatin1String("groupe"))
                t.groups.append(Group());
            if (section == QLatin1String("graphique"))
                t.chart = Chart();
            if (section == QLatin1String("etiquettes"))
                t.labels = Labels();
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0)
            return fail(QStringLiteral("« clé = valeur » attendu"));
        const QString key = line.left(eq).trimmed().toLower();
        const QString value = line.mid(eq + 1).trimmed();
        const QStringList parts = [&] {
            QStringList p;
            for (const QString& s : value.split(u'|'))
                p << s.trimmed();
            return p;
        }();
        if (section.isEmpty())
            return fail(QStringLiteral("clé « %1 » hors de toute section").arg(key));
        if (section == QLatin1String("rapport")) {
            if (key == QLatin1String("tables")) {
                t.tables = list(value);
            } else if (key == QLatin1String("page")) {
                const QStringList words = value.toLower().split(u' ', Qt::SkipEmptyParts);
                if (words.value(0) != QLatin1String("a4"))
                    return fail(QStringLiteral("page « %1 » : seule la page A4 est connue").arg(value));
                if (words.value(1) == QLatin1String("paysage"))
                    t.landscape = true;
                else if (!words.value(1).isEmpty() && words.value(1) != QLatin1String("portrait"))
                    return fail(QStringLiteral("orientation « %1 » inconnue").arg(words.value(1)));
            } else if (key == QLatin1String("marges")) {
                const QStringList m = value.split(u' ', Qt::SkipEmptyParts);
                if (m.size() != 4)
                    return fail(QStringLiteral("quatre marges attendues (haut droite bas gauche)"));
                for (int i = 0; i < 4; ++i) {
                    bool ok = false;
                    t.margins[i] = m[i].toDouble(&ok);
                    if (!ok || t.margins[i] < 0)
                        return fail(QStringLiteral("marge « %1 » incorrecte").arg(m[i]));
                }
            } else if (key == QLatin1String("tri")) {
                t.sort = list(value);
            } else if (key == QLatin1String("taille")) {
                bool ok = false;
                t.fontSize = value.toDouble(&ok);
                if (!ok || t.fontSize <= 0)
                    return fail(QStringLiteral("taille « %1 » incorrecte").arg(value));
            } else {
                return fail(QStringLiteral("clé « %1 » inconnue dans [rapport]").arg(key));
            }
        } else if (section == QLatin1String("graphique")) {
            if (key == QLatin1String("categorie"))
                t.chart->category = value;
            else if (key == QLatin1String("valeur"))
                t.chart->value = value;
            else if (key == QLatin1String("titre"))
                t.chart->title = value;
            else if (key == QLatin1String("hauteur")) {
                bool ok = false;
                t.chart->height = value.toDouble(&ok);
                if (!ok || t.chart->height <= 10)
                    return fail(QStringLiteral("hauteur « %1 » incorrecte").arg(value));
            } else
                return fail(QStringLiteral("clé « %1 » inconnue dans [graphique]").arg(key));
        } else if (section == QLatin1String("etiquettes") && key != QLatin1String("ligne")) {
            Labels& l = *t.labels;
            if (key == QLatin1String("modele")) {
                l.model = value.toUpper();
                if (l.model == QLatin1String("L7161")) {
                    l.rows = 6;
                    l.height = l.pitchY = 46.6;
                    l.top = 8.85;
                } else if (l.model == QLatin1String("L7060")) {
                    l.rows = 7;
                    l.height = l.pitchY = 38.1;
                    l.top = 15.15;
                } else {
                    return fail(QStringLiteral("modèle d'étiquettes « %1 » inconnu (L7161 ou L7060)").arg(value));
                }
            } else if (key == QLatin1String("image")) {
                l.picture = value;
            } else if (key == QLatin1String("codebarre")) {
                l.barcode = value;
            } else {
                return fail(QStringLiteral("clé « %1 » inconnue dans [etiquettes]").arg(key));
            }
        } else if (section == QLatin1String("entete") || section == QLatin1String("etiquettes")) {
            if (key != QLatin1String("ligne"))
                return fail(QStringLiteral("clé « %1 » inconnue dans [entete]").arg(key));
            Line l;
            l.text = parts.value(0);
            for (const QString& word : parts.value(1).split(u' ', Qt::SkipEmptyParts)) {
                bool ok = false;
                const double size = word.toDouble(&ok);
                if (ok)
                    l.size = size;
                else if (word == QLatin1String("gras"))
                    l.bold = true;
                else
                    return fail(QStringLiteral("style « %1 » inconnu").arg(word));
            }
            if (!parts.value(2).isEmpty()) {
                bool ok = false;
                l.align = alignment(parts.value(2), &ok);
                if (!ok)
                    return fail(QStringLiteral("alignement « %1 » inconnu").arg(parts.value(2)));
            }
            if (section == QLatin1String("etiquettes"))
                t.labels->lines.append(l);
            else
                t.heading.append(l);
        } else if (section == QLatin1String("colonnes")) {
            if (key != QLatin1String("colonne"))
                return fail(QStringLiteral("clé « %1 » inconnue dans [colonnes]").arg(key));
            if (parts.size() < 3)
                return fail(QStringLiteral("colonne : champ | titre | largeur [| alignement | format] attendu"));
            Column c;
            c.field = parts[0];
            c.caption = parts[1];
            bool ok = false;
            c.width = parts[2].toDouble(&ok);
            if (!ok || c.width <= 0)
                return fail(QStringLiteral("largeur « %1 » incorrecte").arg(parts[2]));
            if (!parts.value(3).isEmpty()) {
                c.align = alignment(parts[3], &ok);
                if (!ok)
                    return fail(QStringLiteral("alignement « %1 » inconnu").arg(parts[3]));
            }
            c.format = parts.value(4);
            t.columns.append(c);
        } else if (section == QLatin1String("groupe")) {
            Group& g = t.groups.last();
            if (key == QLatin1String("champ"))
                g.field = value;
            else if (key == QLatin1String("entete"))
                g.header = value;
            else if (key == QLatin1String("pied"))
                g.footer = value;
            else if (key == QLatin1String("sommes"))
                g.sums = list(value);
            else
                return fail(QStringLiteral("clé « %1 » inconnue dans [groupe]").arg(key));
        } else if (section == QLatin1String("total")) {
            if (key == QLatin1String("texte"))
                t.totalText = value;
            else if (key == QLatin1String("sommes"))
                t.totalSums = list(value);
            else
                return fail(QStringLiteral("clé « %1 » inconnue dans [total]").arg(key));
        }
    }
    for (int i = 0; i < t.groups.size(); ++i)
        if (t.groups[i].field.isEmpty()) {
            *error = QStringLiteral("%1 : le groupe %2 n'a pas de champ").arg(fileName).arg(i + 1);
            return false;
        }
    if (t.tables.isEmpty()) {
        *error = QStringLiteral("%1 : la section [rapport] ne nomme aucune table").arg(fileName);
        return false;
    }
    *out = t;
    return true;
}

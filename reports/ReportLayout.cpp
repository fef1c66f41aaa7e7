#include "ReportLayout.h"

#include <QDateTime>
#include <QLocale>
#include <QPageLayout>
#include <QPageSize>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>
#include <QFileInfo>
#include <QDir>
#include <algorithm>
#include <numeric>

namespace {

constexpr double kPtToMm = 25.4 / 72.0;

double lineHeight(double size)
{
    return size * kPtToMm * 1.45;
}

int compare(const QVariant& a, const QVariant& b)
{
    const bool an = a.isNull(), bn = b.isNull();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    if (a.typeId() == QMetaType::QDateTime && b.typeId() == QMetaType::QDateTime)
        return a.toDateTime() < b.toDateTime() ? -1 : (a.toDateTime() > b.toDateTime() ? 1 : 0);
    bool x = false, y = false;
    const double da = a.toDouble(&x), db = b.toDouble(&y);
    if (x && y && a.typeId() != QMetaType::QString && b.typeId() != QMetaType::QString)
        return da < db ? -1 : (da > db ? 1 : 0);
    return QString::localeAwareCompare(a.toString().toUpper(), b.toString().toUpper());
}

QString format(const QVariant& v, const QString& fmt)
{
    if (v.isNull() || !v.isValid())
        return QString();
    // "0" and "0.00" as in a spreadsheet: French decimal comma, no thousands grouping.
    QLocale fr(QLocale::French, QLocale::France);
    fr.setNumberOptions(QLocale::OmitGroupSeparator);
    if (v.typeId() == QMetaType::QDateTime) {
        const QDateTime d = v.toDateTime();
        if (!fmt.isEmpty())
            return d.toString(fmt);
        return d.time() == QTime(0, 0) ? d.toString(QStringLiteral("dd/MM/yyyy")) : d.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
    }
    if (fmt == QLatin1String("0") || fmt == QLatin1String("0.00")) {
        bool ok = false;
        const double d = v.toDouble(&ok);
        if (ok) {
            QString s = fr.toString(d, 'f', fmt == QLatin1String("0") ? 0 : 2);
            return s.replace(QChar(0x202F), u' ').replace(QChar(0xA0), u' ');
        }
    }
    if (v.typeId() == QMetaType::Double)
        return fr.toString(v.toDouble(), 'g', 12);
    return v.toString();
}

const char* const kL[10] = {"0001101", "0011001", "0010011", "0111101", "0100011",
                            "0110001", "0101111", "0111011", "0110111", "0001011"};
const char* const kG[10] = {"0100111", "0110011", "0011011", "0100001", "0011101",
                            "0111001", "0000101", "0010001", "0001001", "0010111"};
const char* const kParity[10] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                 "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};

} // namespace

QString ReportLayout::ean13Modules(const QString& code)
{
    QString digits;
    const QString c = code.trimmed();
    static const QRegularExpression thirteen(QStringLiteral("^[0-9]{13}$"));
    static const QRegularExpression font(QStringLiteral("^[0-9][A-J][A-T]{5}\\*[a-j]{6}\\+$"));
    if (thirteen.match(c).hasMatch()) {
        digits = c;
    } else if (font.match(c).hasMatch()) {
        // The barcode-font text: first digit, sets A/B, centre guard, set C, end guard.
        digits += c[0];
        for (int i = 1; i <= 6; ++i) {
            const int u = c[i].unicode();
            digits += QChar(u'0' + (u >= 'K' ? u - 'K' : u - 'A'));
        }
        for (int i = 8; i <= 13; ++i)
            digits += QChar(u'0' + (c[i].unicode() - 'a'));
    } else {
        return QString();
    }
    const auto d = [&](int i) { return digits[i].unicode() - u'0'; };
    QString m = QStringLiteral("101");
    for (int i = 1; i <= 6; ++i)
        m += QLatin1String(kParity[d(0)][i - 1] == 'L' ? kL[d(i)] : kG[d(i)]);
    m += QStringLiteral("01010");
    for (int i = 7; i <= 12; ++i) {
        QString r = QLatin1String(kL[d(i)]);
        for (QChar& ch : r)
            ch = ch == u'0' ? u'1' : u'0';
        m += r;
    }
    m += QStringLiteral("101");
    return m;
}

bool ReportLayout::build(const ReportTemplate& t, const QList<ResultTable>& tables, ReportLayout* out, QString* error)
{
    if (tables.isEmpty()) {
        *error = QStringLiteral("%1 : aucune table de données.").arg(t.fileName);
        return false;
    }
    const ResultTable& data = tables.first();
    const auto column = [&](const QString& field, const QString& where) -> int {
        const int c = data.columnIndex(field);
        if (c < 0)
            *error = QStringLiteral("%1 : le champ « %2 » (%3) n'existe pas dans la table %4.")
                         .arg(t.fileName, field, where, t.tables.value(0));
        return c;
    };
    // Every field the template names must exist before anything is drawn.
    QList<int> columnIndex;
    for (const auto& c : t.columns) {
        columnIndex << column(c.field, QStringLiteral("colonne"));
        if (columnIndex.last() < 0)
            return false;
    }
    QList<int> groupIndex;
    for (const auto& g : t.groups) {
        groupIndex << column(g.field, QStringLiteral("groupe"));
        if (groupIndex.last() < 0)
            return false;
        for (const QString& s : g.sums)
            if (column(s, QStringLiteral("somme")) < 0)
                return false;
    }
    for (const QString& s : t.totalSums)
        if (column(s, QStringLiteral("total")) < 0)
            return false;
    if (t.chart && (column(t.chart->category, QStringLiteral("graphique")) < 0 || column(t.chart->value, QStringLiteral("graphique")) < 0))
        return false;
    if (t.labels && ((!t.labels->picture.isEmpty() && column(t.labels->picture, QStringLiteral("image")) < 0) ||
                     (!t.labels->barcode.isEmpty() && column(t.labels->barcode, QStringLiteral("codebarre")) < 0)))
        return false;
    struct SortKey {
        int col;
        bool desc;
    };
    QList<SortKey> keys;
    for (int gi : groupIndex)
        keys.append({gi, false});
    for (const QString& s : t.sort) {
        const QStringList w = s.split(u' ', Qt::SkipEmptyParts);
        const int c = column(w.value(0), QStringLiteral("tri"));
        if (c < 0)
            return false;
        keys.append({c, w.value(1).compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0});
    }
    QList<int> order(data.rows.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        for (const SortKey& k : keys) {
            const int r = compare(data.rows[a][k.col], data.rows[b][k.col]);
            if (r != 0)
                return k.desc ? r > 0 : r < 0;
        }
        return false;
    });

    // {Field} is the current row's; {Table.Field} the first row of that table.
    static const QRegularExpression ref(QStringLiteral(R"(\{([^{}]+)\})"));
    QString missing;
    const auto substitute = [&](const QString& text, int row) {
        QString outText;
        qsizetype last = 0;
        for (auto it = ref.globalMatch(text); it.hasNext();) {
            const auto m = it.next();
            outText += text.mid(last, m.capturedStart() - last);
            last = m.capturedEnd();
            const QString name = m.captured(1).trimmed();
            const qsizetype dot = name.indexOf(u'.');
            QVariant v;
            bool found = false;
            if (dot > 0) {
                const int ti = int(t.tables.indexOf(name.left(dot)));
                if (ti >= 0 && ti < tables.size()) {
                    const int c = tables[ti].columnIndex(name.mid(dot + 1));
                    if (c >= 0) {
                        found = true;
                        if (!tables[ti].rows.isEmpty())
                            v = tables[ti].rows.first()[c];
                    }
                }
            } else {
                const int c = data.columnIndex(name);
                if (c >= 0) {
                    found = true;
                    if (row >= 0)
                        v = data.rows[row][c];
                }
            }
            if (!found && missing.isEmpty())
                missing = name;
            outText += format(v, QString());
        }
        return outText + text.mid(last);
    };

    ReportLayout layout;
    layout.pageSize = t.landscape ? QSizeF(297, 210) : QSizeF(210, 297);
    const double left = t.margins[3];
    const double right = layout.pageSize.width() - t.margins[1];
    const double bottom = layout.pageSize.height() - t.margins[2] - lineHeight(8);
    const double rowH = lineHeight(t.fontSize);
    double y = 0;
    const auto text = [&](double x, double w, double h, const QString& s, double size, bool bold, Qt::Alignment a) {
        Item it;
        it.rect = QRectF(x, y, w, h);
        it.text = s;
        it.size = size;
        it.bold = bold;
        it.align = a;
        layout.pages.last().items.append(it);
    };
    const auto line = [&](double yy) {
        Item it;
        it.kind = Item::Line;
        it.rect = QRectF(QPointF(left, yy), QPointF(right, yy));
        layout.pages.last().items.append(it);
    };
    const auto newPage = [&] {
        layout.pages.append(Page());
        y = t.margins[0];
        for (const auto& l : t.heading) {
            const double h = lineHeight(l.size);
            text(left, right - left, h, substitute(l.text, order.isEmpty() ? -1 : order.first()), l.size, l.bold, l.align);
            y += h;
        }
        y += 2;
        if (t.columns.isEmpty())
            return;
        double x = left;
        for (const auto& c : t.columns) {
            text(x, c.width, rowH, c.caption, t.fontSize, true, c.align);
            x += c.width;
        }
        y += rowH;
        line(y);
        y += 1;
    };
    const auto room = [&](double h) {
        if (y + h > bottom)
            newPage();
    };
    // A line of sums under the summed columns.
    const auto sumsLine = [&](const QString& caption, const QStringList& sums, const QList<double>& values) {
        room(rowH + 1);
        line(y);
        y += 0.5;
        text(left, right - left, rowH, caption, t.fontSize, true, Qt::AlignLeft);
        double x = left;
        for (int i = 0; i < t.columns.size(); ++i) {
            const int si = int(sums.indexOf(t.columns[i].field));
            if (si >= 0)
                text(x, t.columns[i].width, rowH, format(values[si], t.columns[i].format.isEmpty() ? QStringLiteral("0.00") : t.columns[i].format),
                     t.fontSize, true, Qt::AlignRight);
            x += t.columns[i].width;
        }
        y += rowH + 1;
    };

    if (t.labels) {
        // A sheet of labels: a grid per page, one label per row of table 1.
        const ReportTemplate::Labels& L = *t.labels;
        const int perPage = L.columns * L.rows;
        const int pic = L.picture.isEmpty() ? -1 : data.columnIndex(L.picture);
        const int bar = L.barcode.isEmpty() ? -1 : data.columnIndex(L.barcode);
        for (int k = 0; k < order.size(); ++k) {
            const int r = order[k];
            if (k % perPage == 0)
                layout.pages.append(Page());
            const int idx = k % perPage;
            const double x0 = L.left + (idx % L.columns) * L.pitchX + 3;
            const double y0 = L.top + (idx / L.columns) * L.pitchY + 3;
            const double w = L.width - 6, h = L.height - 6;
            double textX = x0;
            if (pic >= 0) {
                const QByteArray bytes = data.rows[r][pic].toByteArray();
                // A picture that does not decode is left out, not drawn broken.
                if (!bytes.isEmpty() && !QImage::fromData(bytes).isNull()) {
                    Item it;
                    it.kind = Item::Picture;
                    const double side = qMin(h * 0.55, w * 0.35);
                    it.rect = QRectF(x0, y0, side, side);
                    it.picture = bytes;
                    layout.pages.last().items.append(it);
                    textX = x0 + side + 2;
                }
            }
            y = y0;
            for (const auto& l : L.lines) {
                const double lh = lineHeight(l.size);
                text(textX, x0 + w - textX, lh, substitute(l.text, r), l.size, l.bold, l.align);
                y += lh;
            }
            if (bar >= 0) {
                const QString code = data.rows[r][bar].toString();
                const QString modules = ean13Modules(code);
                if (!modules.isEmpty()) {
                    const double module = qMin(0.33, w / 105.0);
                    const double barH = qMin(12.0, h * 0.3);
                    const double bx = x0 + (w - 95 * module) / 2;
                    const double by = y0 + h - barH - lineHeight(7);
                    for (int m = 0; m < modules.size();) {
                        if (modules[m] != u'1') {
                            ++m;
                            continue;
                        }
                        int run = 1;
                        while (m + run < modules.size() && modules[m + run] == u'1')
                            ++run;
                        Item it;
                        it.kind = Item::Bar;
                        it.rect = QRectF(bx + m * module, by, run * module, barH);
                        layout.pages.last().items.append(it);
                        m += run;
                    }
                    y = by + barH;
                    text(bx, 95 * module, lineHeight(7), code.size() == 13 ? code : QString(), 7, false, Qt::AlignHCenter);
                }
            }
        }
        if (layout.pages.isEmpty())
            layout.pages.append(Page());
        if (!missing.isEmpty()) {
            *error = QStringLiteral("%1 : le champ « %2 » n'existe pas.").arg(t.fileName, missing);
            return false;
        }
        *out = layout;
        return true;
    }

    newPage();
    if (t.chart) {
        // Bars of the value summed by category, in the order the categories come.
        const int cc = data.columnIndex(t.chart->category);
        const int vc = data.columnIndex(t.chart->value);
        QStringList categories;
        QList<double> values;
        for (int r : order) {
            const QString c = format(data.rows[r][cc], QString());
            qsizetype i = categories.indexOf(c);
            if (i < 0) {
                categories << c;
                values << 0.0;
                i = categories.size() - 1;
            }
            values[i] += data.rows[r][vc].toDouble();
        }
        room(t.chart->height + 20);
        y += 2;
        if (!t.chart->title.isEmpty()) {
            text(left, right - left, lineHeight(11), t.chart->title, 11, true, Qt::AlignHCenter);
            y += lineHeight(11) + 2;
        }
        const double axisX = left + 12;
        const double top = y + lineHeight(7);
        const double base = y + t.chart->height;
        const double maxValue = values.isEmpty() ? 0 : *std::max_element(values.begin(), values.end());
        Item axis;
        axis.kind = Item::Line;
        axis.rect = QRectF(QPointF(axisX, top), QPointF(axisX, base));
        layout.pages.last().items.append(axis);
        line(base);
        const double slot = categories.isEmpty() ? 0 : (right - axisX) / categories.size();
        for (int i = 0; i < categories.size(); ++i) {
            const double hgt = maxValue > 0 ? (base - top) * values[i] / maxValue : 0;
            Item b;
            b.kind = Item::Bar;
            b.text = QStringLiteral("#4f81bd");
            b.rect = QRectF(axisX + i * slot + slot * 0.2, base - hgt, slot * 0.6, hgt);
            layout.pages.last().items.append(b);
            y = base - hgt - lineHeight(7);
            text(axisX + i * slot, slot, lineHeight(7), format(values[i], QStringLiteral("0")), 7, false, Qt::AlignHCenter);
            y = base + 0.5;
            text(axisX + i * slot, slot, lineHeight(7), categories[i], 7, false, Qt::AlignHCenter);
        }
        y = base + lineHeight(7) + 4;
    }
    QList<QList<double>> groupSums;
    for (const auto& g : t.groups)
        groupSums.append(QList<double>(g.sums.size(), 0.0));
    QList<double> totals(t.totalSums.size(), 0.0);
    QList<QVariant> current(t.groups.size());
    const auto closeGroups = [&](int from, int lastRow) {
        for (int gi = int(t.groups.size()) - 1; gi >= from; --gi) {
            if (!t.groups[gi].footer.isEmpty() || !t.groups[gi].sums.isEmpty())
                sumsLine(substitute(t.groups[gi].footer, lastRow), t.groups[gi].sums, groupSums[gi]);
            groupSums[gi].fill(0.0);
        }
    };
    int previous = -1;
    for (int k = 0; k < order.size(); ++k) {
        const int r = order[k];
        int changed = -1;
        for (int gi = 0; gi < t.groups.size() && changed < 0; ++gi)
            if (previous < 0 || compare(data.rows[r][groupIndex[gi]], current[gi]) != 0)
                changed = gi;
        if (changed >= 0) {
            if (previous >= 0)
                closeGroups(changed, previous);
            for (int gi = changed; gi < t.groups.size(); ++gi) {
                current[gi] = data.rows[r][groupIndex[gi]];
                if (!t.groups[gi].header.isEmpty()) {
                    room(rowH * 2);
                    y += 1;
                    text(left, right - left, rowH, substitute(t.groups[gi].header, r), t.fontSize + 1, true, Qt::AlignLeft);
                    y += rowH;
                }
            }
        }
        room(rowH);
        double x = left;
        for (int i = 0; i < t.columns.size(); ++i) {
            text(x, t.columns[i].width, rowH, format(data.rows[r][columnIndex[i]], t.columns[i].format), t.fontSize, false,
                 t.columns[i].align);
            x += t.columns[i].width;
        }
        y += rowH;
        for (int gi = 0; gi < t.groups.size(); ++gi)
            for (int s = 0; s < t.groups[gi].sums.size(); ++s)
                groupSums[gi][s] += data.rows[r][data.columnIndex(t.groups[gi].sums[s])].toDouble();
        for (int s = 0; s < t.totalSums.size(); ++s)
            totals[s] += data.rows[r][data.columnIndex(t.totalSums[s])].toDouble();
        previous = r;
    }
    if (previous >= 0)
        closeGroups(0, previous);
    if (!t.totalText.isEmpty() || !t.totalSums.isEmpty())
        sumsLine(substitute(t.totalText, -1), t.totalSums, totals);
    if (!missing.isEmpty()) {
        *error = QStringLiteral("%1 : le champ « %2 » n'existe pas.").arg(t.fileName, missing);
        return false;
    }
    // Page numbers, now that their count is known.
    for (int p = 0; p < layout.pages.size(); ++p) {
        Item it;
        it.rect = QRectF(left, layout.pageSize.height() - t.margins[2] - lineHeight(8), right - left, lineHeight(8));
        it.text = QStringLiteral("Page %1 / %2").arg(p + 1).arg(layout.pages.size());
        it.size = 8;
        it.align = Qt::AlignRight;
        layout.pages[p].items.append(it);
    }
    *out = layout;
    return true;
}

QString ReportLayout::toText() const
{
    QString s;
    const auto mm = [](double v) { return QString::number(v, 'f', 1); };
    for (int p = 0; p < pages.size(); ++p) {
        s += QStringLiteral("page %1 (%2 x %3)\n").arg(p + 1).arg(mm(pageSize.width()), mm(pageSize.height()));
        for (const Item& it : pages[p].items) {
            if (it.kind == Item::Line) {
                s += QStringLiteral("  ligne %1,%2 %3,%4\n").arg(mm(it.rect.left()), mm(it.rect.top()), mm(it.rect.right()), mm(it.rect.bottom()));
                continue;
            }
            if (it.kind == Item::Bar) {
                s += QStringLiteral("  barre %1,%2 %3x%4\n").arg(mm(it.rect.left()), mm(it.rect.top()), QString::number(it.rect.width(), 'f', 2), mm(it.rect.height()));
                continue;
            }
            if (it.kind == Item::Picture) {
                s += QStringLiteral("  image %1,%2 %3x%4\n").arg(mm(it.rect.left()), mm(it.rect.top()), mm(it.rect.width()), mm(it.rect.height()));
                continue;
            }
            const QString align = it.align & Qt::AlignRight ? QStringLiteral("droite")
                                  : it.align & Qt::AlignHCenter ? QStringLiteral("centre") : QStringLiteral("gauche");
            s += QStringLiteral("  texte %1,%2 %3x%4 %5 %6%7 « %8 »\n")
                     .arg(mm(it.rect.left()), mm(it.rect.top()), mm(it.rect.width()), mm(it.rect.height()), align)
                     .arg(it.size)
                     .arg(it.bold ? QStringLiteral(" gras") : QString(), it.text);
        }
    }
    return s;
}

void ReportLayout::paint(int page, QPainter& painter, double resolution) const
{
    if (page < 0 || page >= pages.size())
        return;
    const double k = resolution / 25.4;
    for (const Item& it : pages[page].items) {
        const QRectF r(it.rect.left() * k, it.rect.top() * k, it.rect.width() * k, it.rect.height() * k);
        if (it.kind == Item::Line) {
            painter.setPen(QPen(Qt::black, qMax(1.0, 0.2 * k)));
            painter.drawLine(r.topLeft(), r.bottomRight());
            continue;
        }
        if (it.kind == Item::Bar) {
            painter.fillRect(r, it.text.isEmpty() ? QColor(Qt::black) : QColor(it.text));
            continue;
        }
        if (it.kind == Item::Picture) {
            QImage image;
            if (image.loadFromData(it.picture)) {
                const QSizeF fitted = QSizeF(image.size()).scaled(r.size(), Qt::KeepAspectRatio);
                painter.drawImage(QRectF(r.topLeft() + QPointF((r.width() - fitted.width()) / 2, (r.height() - fitted.height()) / 2), fitted), image);
            }
            continue;
        }
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(qMax(1, int(it.size * resolution / 72.0)));
        f.setBold(it.bold);
        painter.setFont(f);
        painter.setPen(Qt::black);
        const QString shown = painter.fontMetrics().elidedText(it.text, Qt::ElideRight, int(r.width()));
        painter.drawText(r, int(it.align | Qt::AlignVCenter) | Qt::TextSingleLine, shown);
    }
}

bool ReportLayout::writePdf(const QString& path, QString* error) const
{
    // QPdfWriter writes a file by name: write beside the target, then rename over it.
    const QFileInfo target(path);
    QTemporaryFile temp(target.absoluteDir().filePath(QStringLiteral(".rapport-XXXXXX.pdf")));
    if (!temp.open()) {
        *error = QStringLiteral("Le PDF « %1 » ne peut pas être écrit : %2").arg(path, temp.errorString());
        return false;
    }
    temp.close();
    {
        QPdfWriter pdf(temp.fileName());
        pdf.setResolution(300);
        pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), pageSize.width() > pageSize.height()
                                                                     ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0)));
        pdf.setTitle(QStringLiteral("Rapport"));
        QPainter painter;
        if (!painter.begin(&pdf)) {
            *error = QStringLiteral("Le PDF « %1 » ne peut pas être écrit.").arg(path);
            return false;
        }
        for (int p = 0; p < pages.size(); ++p) {
            if (p > 0)
                pdf.newPage();
            paint(p, painter, 300);
        }
        painter.end();
    }
    QFile::remove(path);
    if (!QFile::rename(temp.fileName(), path)) {
        *error = QStringLiteral("Le PDF « %1 » ne peut pas être écrit.").arg(path);
        return false;
    }
    temp.setAutoRemove(false);
    return true;
}

#include "XlsWorkbook.h"

#include "LittleEndian.h"

#include <QBuffer>
#include <QColor>
#include <QFileInfo>
#include <QMap>
#include <QSaveFile>
#include <QtEndian>
#include <cmath>

namespace {

constexpr auto u8 = LittleEndian::append8;
constexpr auto u16 = LittleEndian::append16;
constexpr auto u32 = LittleEndian::append32;
void f64(QByteArray& b, double v)
{
    quint64 bits;
    memcpy(&bits, &v, 8);
    for (int i = 0; i < 8; ++i)
        b.append(char((bits >> (8 * i)) & 0xff));
}
void patch32(QByteArray& b, qsizetype at, quint32 v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = char((v >> (8 * i)) & 0xff);
}

void record(QByteArray& out, quint16 type, const QByteArray& data)
{
    u16(out, type);
    u16(out, quint16(data.size()));
    out.append(data);
}

bool latin1(const QString& s)
{
    for (QChar c : s)
        if (c.unicode() > 0xFF)
            return false;
    return true;
}

void chars(QByteArray& b, const QString& s, bool compressed)
{
    for (QChar c : s) {
        if (compressed)
            u8(b, quint8(c.unicode()));
        else
            u16(b, c.unicode());
    }
}

// ShortXLUnicodeString (8-bit length) and XLUnicodeString (16-bit length).
QByteArray shortString(const QString& s)
{
    QByteArray b;
    const bool c = latin1(s);
    u8(b, quint8(s.size()));
    u8(b, c ? 0 : 1);
    chars(b, s, c);
    return b;
}
QByteArray longString(const QString& s)
{
    QByteArray b;
    const bool c = latin1(s);
    u16(b, quint16(s.size()));
    u8(b, c ? 0 : 1);
    chars(b, s, c);
    return b;
}

// The BIFF8 default palette, indexes 8 to 63.
const quint32 kPalette[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

constexpr int kRecordLimit = 8224;

} // namespace

struct XlsWorkbook::Sheet {
    QString name;
    QMap<int, QByteArray> rows; // encoded cell records by row
    QMap<int, double> widths;
    int minRow = -1, maxRow = -1, minCol = -1, maxCol = -1;
};

struct XlsWorkbook::Impl {
    QList<Sheet> sheets;
    int current = -1;
    QList<Style> styles;
    QHash<QString, int> sst;
    QList<QString> strings;
    quint32 sstTotal = 0;
    int dateStyle = -1;
    int dateTimeStyle = -1;
    // The row cells were last added to: most cells follow the one before.
    QByteArray* lastBytes = nullptr;
    int lastSheet = -1;
    int lastRow = -1;
};

XlsWorkbook::XlsWorkbook() : d(std::make_unique<Impl>()) {}
XlsWorkbook::~XlsWorkbook() = default;

int XlsWorkbook::addSheet(const QString& name)
{
    QString n = name;
    for (QChar& c : n)
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = u'_';
    n = n.left(31);
    if (n.isEmpty())
        n = QStringLiteral("Feuil%1").arg(d->sheets.size() + 1);
    Sheet s;
    s.name = n;
    d->sheets.append(s);
    d->lastBytes = nullptr;
    d->lastSheet = -1;
    d->current = int(d->sheets.size() - 1);
    return d->current;
}

int XlsWorkbook::sheetCount() const
{
    return int(d->sheets.size());
}

void XlsWorkbook::setColumnWidth(int column, double characters)
{
    if (d->current < 0 || column < 0 || column >= MaxColumns)
        return;
    d->sheets[d->current].widths.insert(column, characters);
}

int XlsWorkbook::style(const Style& s)
{
    for (int i = 0; i < d->styles.size(); ++i)
        if (d->styles[i] == s)
            return i;
    d->styles.append(s);
    return int(d->styles.size() - 1);
}

double XlsWorkbook::serial(const QDateTime& dt)
{
    const QDate epoch(1899, 12, 30);
    const double days = double(epoch.daysTo(dt.date()));
    return days + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

bool XlsWorkbook::setCell(int row, int column, const QVariant& value, int styleIndex)
{
    if (d->current < 0)
        addSheet(QString());
    if (row < 0 || row >= MaxRows || column < 0 || column >= MaxColumns)
        return false;
    Sheet& sh = d->sheets[d->current];
    QVariant v = value;
    int st = styleIndex;
    const int type = v.typeId();
    if (type == QMetaType::QDate && !v.isNull()) {
        if (st < 0) {
            if (d->dateStyle < 0)
                d->dateStyle = style({QStringLiteral("Arial"), 10, false, QStringLiteral("dd/mm/yyyy"), -1});
            st = d->dateStyle;
        }
        v = serial(QDateTime(v.toDate(), QTime(0, 0)));
    } else if (type == QMetaType::QDateTime && !v.isNull()) {
        if (st < 0) {
            if (d->dateTimeStyle < 0)
                d->dateTimeStyle = style({QStringLiteral("Arial"), 10, false, QStringLiteral("dd/mm/yyyy hh:mm:ss"), -1});
            st = d->dateTimeStyle;
        }
        v = serial(v.toDateTime());
    }
    const quint16 xf = quint16(st < 0 ? 15 : 16 + st);
    if (d->lastSheet != d->current || d->lastRow != row) {
        d->lastBytes = &sh.rows[row];
        d->lastSheet = d->current;
        d->lastRow = row;
    }
    QByteArray& out = *d->lastBytes;
    const auto head = [&](quint16 recordType, quint16 length) {
        u16(out, recordType);
        u16(out, length);
        u16(out, quint16(row));
        u16(out, quint16(column));
        u16(out, xf);
    };
    if (!v.isValid() || v.isNull()) {
        head(0x0201, 6); // BLANK
    } else if (v.typeId() == QMetaType::Bool) {
        head(0x0205, 8); // BOOLERR
        u8(out, v.toBool() ? 1 : 0);
        u8(out, 0);
    } else if (v.typeId() == QMetaType::QString || v.typeId() == QMetaType::QByteArray) {
        const QString text = v.toString().left(MaxTextLength);
        auto it = d->sst.find(text);
        int index;
        if (it == d->sst.end()) {
            index = int(d->strings.size());
            d->sst.insert(text, index);
            d->strings.append(text);
        } else {
            index = it.value();
        }
        ++d->sstTotal;
        head(0x00FD, 10); // LABELSST
        u32(out, quint32(index));
    } else {
        bool ok = false;
        const double number = v.toDouble(&ok);
        if (!ok)
            return false;
        head(0x0203, 14); // NUMBER
        f64(out, number);
    }
    sh.minRow = sh.minRow < 0 ? row : qMin(sh.minRow, row);
    sh.maxRow = qMax(sh.maxRow, row);
    sh.minCol = sh.minCol < 0 ? column : qMin(sh.minCol, column);
    sh.maxCol = qMax(sh.maxCol, column);
    return true;
}

namespace {

// A font of the workbook, by name, size and weight.
struct FontKey {
    QString name;
    double size;
    bool bold;
    bool operator==(const FontKey& o) const { return name == o.name && size == o.size && bold == o.bold; }
};

QByteArray fontRecord(const FontKey& f)
{
    QByteArray b;
    u16(b, quint16(std::lround(f.size * 20)));
    u16(b, 0);
    u16(b, 0x7FFF);
    u16(b, f.bold ? 700 : 400);
    u16(b, 0);
    u8(b, 0);
    u8(b, 0);
    u8(b, 0);
    u8(b, 0);
    b.append(shortString(f.name));
    return b;
}

QByteArray xfRecord(quint16 font, quint16 format, bool styleXf, int fillIndex)
{
    QByteArray b;
    u16(b, font);
    u16(b, format);
    u16(b, styleXf ? 0xFFF5 : 0x0001); // locked; a style XF has parent 0xFFF
    u8(b, 0x20);                        // bottom aligned
    u8(b, 0);
    u8(b, 0);
    u8(b, styleXf ? 0 : 0xF8); // the cell states its own number, font, alignment, border, fill
    u16(b, 0);
    u16(b, 0);
    quint32 colours = 0;
    if (fillIndex >= 0)
        colours |= quint32(1) << 26; // solid pattern
    u32(b, colours);
    const quint16 fore = quint16(fillIndex >= 0 ? fillIndex : 64);
    u16(b, quint16(fore | (65 << 7)));
    return b;
}

} // namespace

bool XlsWorkbook::write(QIODevice& device)
{
    if (d->sheets.isEmpty())
        addSheet(QStringLiteral("Feuil1"));

    // Fonts, formats and palette colours of the styles.
    QList<FontKey> fonts = {{QStringLiteral("Arial"), 10, false}, {QStringLiteral("Arial"), 10, false},
                            {QStringLiteral("Arial"), 10, false}, {QStringLiteral("Arial"), 10, false}};
    QMap<QString, int> formats;
    QList<quint32> palette(std::begin(kPalette), std::end(kPalette));
    QHash<int, int> colourIndex; // workstation colour -> palette index
    int nextCustom = 63;
    struct Resolved {
        quint16 font, format;
        int fill;
    };
    QList<Resolved> resolved;
    for (const Style& s : d->styles) {
        const FontKey key{s.fontName, s.fontSize, s.bold};
        int fi = int(fonts.indexOf(key));
        if (fi < 0) {
            fonts.append(key);
            fi = int(fonts.size() - 1);
        }
        const quint16 fontIndex = quint16(fi < 4 ? fi : fi + 1); // index 4 does not exist
        quint16 format = 0;
        if (s.numberFormat == QLatin1String("0"))
            format = 1;
        else if (s.numberFormat == QLatin1String("0.00"))
            format = 2;
        else if (!s.numberFormat.isEmpty()) {
            if (!formats.contains(s.numberFormat))
                formats.insert(s.numberFormat, 164 + int(formats.size()));
            format = quint16(formats.value(s.numberFormat));
        }
        int fill = -1;
        if (s.fillColour >= 0) {
            // Workstation colours are red + green * 256 + blue * 65536.
            const quint32 rgb = quint32((s.fillColour & 0xFF) << 16 | (s.fillColour & 0xFF00) | ((s.fillColour >> 16) & 0xFF));
            if (colourIndex.contains(s.fillColour)) {
                fill = colourIndex.value(s.fillColour);
            } else {
                const int existing = int(palette.indexOf(rgb));
                if (existing >= 0) {
                    fill = 8 + existing;
                } else if (nextCustom >= 8) {
                    palette[nextCustom - 8] = rgb;
                    fill = nextCustom--;
                }
                colourIndex.insert(s.fillColour, fill);
            }
        }
        resolved.append({fontIndex, format, fill});
    }

    QByteArray g;
    QByteArray bof;
    u16(bof, 0x0600);
    u16(bof, 0x0005);
    u16(bof, 0x0DBB);
    u16(bof, 0x07CC);
    u32(bof, 0);
    u32(bof, 0x0006);
    record(g, 0x0809, bof);
    QByteArray cp;
    u16(cp, 1200);
    record(g, 0x0042, cp);
    QByteArray w1;
    u16(w1, 0);
    u16(w1, 0);
    u16(w1, 0x4000);
    u16(w1, 0x2000);
    u16(w1, 0x0038);
    u16(w1, 0);
    u16(w1, 0);
    u16(w1, 1);
    u16(w1, 0x0258);
    record(g, 0x003D, w1);
    for (const FontKey& f : fonts)
        record(g, 0x0031, fontRecord(f));
    for (auto it = formats.begin(); it != formats.end(); ++it) {
        QByteArray f;
        u16(f, quint16(it.value()));
        f.append(longString(it.key()));
        record(g, 0x041E, f);
    }
    record(g, 0x00E0, xfRecord(0, 0, true, -1));
    for (int i = 1; i < 15; ++i)
        record(g, 0x00E0, xfRecord(i < 3 ? 1 : (i < 5 ? 2 : 0), 0, true, -1));
    record(g, 0x00E0, xfRecord(0, 0, false, -1));
    for (const Resolved& r : resolved)
        record(g, 0x00E0, xfRecord(r.font, r.format, false, r.fill));
    QByteArray styleRec;
    u16(styleRec, 0x8000);
    u8(styleRec, 0);
    u8(styleRec, 0xFF);
    record(g, 0x0293, styleRec);
    QByteArray pal;
    u16(pal, 56);
    for (quint32 c : palette) {
        u8(pal, quint8(c >> 16));
        u8(pal, quint8(c >> 8));
        u8(pal, quint8(c));
        u8(pal, 0);
    }
    record(g, 0x0092, pal);
    QList<qsizetype> sheetOffsets;
    for (const Sheet& s : d->sheets) {
        QByteArray bs;
        sheetOffsets.append(g.size() + 4);
        u32(bs, 0); // patched below
        u8(bs, 0);
        u8(bs, 0);
        bs.append(shortString(s.name));
        record(g, 0x0085, bs);
    }

    // Shared strings, continued over CONTINUE records, with the bucket index of EXTSST.
    const int perBucket = qMax(8, int((d->strings.size() + 127) / 128));
    QByteArray extsst;
    u16(extsst, quint16(perBucket));
    qsizetype recordStart = g.size();
    u16(g, 0x00FC);
    u16(g, 0);
    u32(g, d->sstTotal);
    u32(g, quint32(d->strings.size()));
    const auto closeRecord = [&] { qToLittleEndian<quint16>(quint16(g.size() - recordStart - 4), g.data() + recordStart + 2); };
    const auto openContinue = [&] {
        closeRecord();
        recordStart = g.size();
        u16(g, 0x003C);
        u16(g, 0);
    };
    const auto room = [&] { return kRecordLimit - (g.size() - recordStart - 4); };
    for (int i = 0; i < d->strings.size(); ++i) {
        const QString& s = d->strings[i];
        const bool compressed = latin1(s);
        const int width = compressed ? 1 : 2;
        if (room() < 3 + width)
            openContinue();
        if (i % perBucket == 0) {
            u32(extsst, quint32(g.size()));
            u16(extsst, quint16(g.size() - recordStart));
            u16(extsst, 0);
        }
        u16(g, quint16(s.size()));
        u8(g, compressed ? 0 : 1);
        qsizetype done = 0;
        while (done < s.size()) {
            qsizetype n = qMin<qsizetype>(s.size() - done, room() / width);
            if (n == 0) {
                openContinue();
                u8(g, compressed ? 0 : 1); // a string goes on with its flags again
                continue;
            }
            chars(g, s.mid(done, n), compressed);
            done += n;
        }
    }
    closeRecord();
    record(g, 0x00FF, extsst);
    QByteArray eof;
    record(g, 0x000A, eof);

    // Sheets: a small head and tail each, the cells' bytes between them, written as
    // they are kept (no second copy of the cells).
    struct Piece {
        QByteArray head, tail;
    };
    QList<Piece> pieces;
    qint64 offset = g.size();
    for (int i = 0; i < d->sheets.size(); ++i) {
        const Sheet& s = d->sheets[i];
        patch32(g, sheetOffsets[i], quint32(offset));
        Piece p;
        QByteArray sb;
        u16(sb, 0x0600);
        u16(sb, 0x0010);
        u16(sb, 0x0DBB);
        u16(sb, 0x07CC);
        u32(sb, 0);
        u32(sb, 0x0006);
        record(p.head, 0x0809, sb);
        for (auto it = s.widths.begin(); it != s.widths.end(); ++it) {
            QByteArray c;
            u16(c, quint16(it.key()));
            u16(c, quint16(it.key()));
            u16(c, quint16(qBound(0.0, it.value() * 256.0, 65535.0)));
            u16(c, 15);
            u16(c, 0);
            u16(c, 0);
            record(p.head, 0x007D, c);
        }
        QByteArray dim;
        u32(dim, quint32(qMax(0, s.minRow)));
        u32(dim, quint32(s.maxRow + 1));
        u16(dim, quint16(qMax(0, s.minCol)));
        u16(dim, quint16(s.maxCol + 1));
        u16(dim, 0);
        record(p.head, 0x0200, dim);
        QByteArray w2;
        u16(w2, i == 0 ? 0x06B6 : 0x00B6);
        u16(w2, 0);
        u16(w2, 0);
        u16(w2, 64);
        u16(w2, 0);
        u16(w2, 0);
        u16(w2, 0);
        u32(w2, 0);
        record(p.tail, 0x023E, w2);
        record(p.tail, 0x000A, eof);
        qint64 cells = 0;
        for (const QByteArray& row : s.rows)
            cells += row.size();
        offset += p.head.size() + cells + p.tail.size();
        pieces.append(p);
    }

    // The compound file: the Workbook stream, one directory sector, the FAT, the DIFAT.
    const qint64 biffSize = offset;
    const quint32 streamSize = quint32(qMax<qint64>(biffSize, 4096));
    const qint64 padded = (qint64(streamSize) + 511) / 512 * 512;
    const quint32 nStream = quint32(padded / 512);
    quint32 nFat = 1, nDifat = 0;
    for (;;) {
        const quint32 need = nStream + 1 + nFat + nDifat;
        const quint32 fat = (need + 127) / 128;
        const quint32 difat = fat > 109 ? (fat - 109 + 126) / 127 : 0;
        if (fat == nFat && difat == nDifat)
            break;
        nFat = fat;
        nDifat = difat;
    }
    const quint32 dirSector = nStream;
    const quint32 fatStart = dirSector + 1;
    const quint32 difatStart = fatStart + nFat;
    const quint32 END = 0xFFFFFFFE, FREE = 0xFFFFFFFF, FATSECT = 0xFFFFFFFD, DIFSECT = 0xFFFFFFFC;

    QByteArray header;
    header.append("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    header.append(QByteArray(16, '\0'));
    u16(header, 0x003E);
    u16(header, 0x0003);
    u16(header, 0xFFFE);
    u16(header, 9);
    u16(header, 6);
    header.append(QByteArray(6, '\0'));
    u32(header, 0);
    u32(header, nFat);
    u32(header, dirSector);
    u32(header, 0);
    u32(header, 4096);
    u32(header, END);
    u32(header, 0);
    u32(header, nDifat ? difatStart : END);
    u32(header, nDifat);
    for (quint32 i = 0; i < 109; ++i)
        u32(header, i < nFat ? fatStart + i : FREE);

    QByteArray dir;
    const auto entry = [&](const QString& name, quint8 type, quint32 child, quint32 start, quint32 size) {
        QByteArray e;
        for (QChar c : name)
            u16(e, c.unicode());
        e.append(QByteArray(64 - e.size(), '\0'));
        u16(e, quint16(name.isEmpty() ? 0 : (name.size() + 1) * 2));
        u8(e, type);
        u8(e, 1);
        u32(e, FREE);
        u32(e, FREE);
        u32(e, child);
        e.append(QByteArray(16 + 4 + 16, '\0'));
        u32(e, start);
        u32(e, size);
        u32(e, 0);
        dir.append(e);
    };
    entry(QStringLiteral("Root Entry"), 5, 1, END, 0);
    entry(QStringLiteral("Workbook"), 2, FREE, 0, streamSize);
    entry(QString(), 0, FREE, 0, 0);
    entry(QString(), 0, FREE, 0, 0);

    QByteArray fat;
    for (quint32 i = 0; i < nStream; ++i)
        u32(fat, i + 1 < nStream ? i + 1 : END);
    u32(fat, END);
    for (quint32 i = 0; i < nFat; ++i)
        u32(fat, FATSECT);
    for (quint32 i = 0; i < nDifat; ++i)
        u32(fat, DIFSECT);
    while (fat.size() < qsizetype(nFat) * 512)
        u32(fat, FREE);

    QByteArray difat;
    for (quint32 k = 0; k < nDifat; ++k) {
        for (quint32 j = 0; j < 127; ++j) {
            const quint32 fatNo = 109 + k * 127 + j;
            u32(difat, fatNo < nFat ? fatStart + fatNo : FREE);
        }
        u32(difat, k + 1 < nDifat ? difatStart + k + 1 : END);
    }

    bool ok = device.write(header) == header.size() && device.write(g) == g.size();
    for (int i = 0; i < d->sheets.size() && ok; ++i) {
        ok = device.write(pieces[i].head) == pieces[i].head.size();
        for (const QByteArray& row : d->sheets[i].rows)
            ok = ok && device.write(row) == row.size();
        ok = ok && device.write(pieces[i].tail) == pieces[i].tail.size();
    }
    const QByteArray padding(padded - biffSize, '\0');
    ok = ok && device.write(padding) == padding.size() && device.write(dir) == dir.size() &&
         device.write(fat) == fat.size() && device.write(difat) == difat.size();
    return ok;
}

QByteArray XlsWorkbook::toBytes()
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return buffer.data();
}

bool XlsWorkbook::save(const QString& path, QString* error)
{
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Le classeur « %1 » ne peut pas être écrit : %2").arg(path, out.errorString());
        return false;
    }
    if (!write(out))
        out.cancelWriting();
    if (!out.commit()) {
        if (error)
            *error = QStringLiteral("Le classeur « %1 » ne peut pas être écrit : %2").arg(path, out.errorString());
        return false;
    }
    return true;
}

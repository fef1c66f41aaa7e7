#include "SqlDialect.h"

#include <QDateTime>
#include <QLocale>
#include <QSet>
#include <vector>

namespace {

struct Tok {
    enum Kind { Space, Word, Quoted, String, Number, Punct, Comment };
    Kind kind;
    QString text;
};

using Toks = std::vector<Tok>;

bool isWordStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'@' || c == u'#';
}
bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'@' || c == u'#' || c == u'$';
}

Toks tokenize(const QString& s)
{
    Toks out;
    const qsizetype n = s.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = s[i];
        qsizetype j = i + 1;
        if (c.isSpace()) {
            while (j < n && s[j].isSpace())
                ++j;
            out.push_back({Tok::Space, s.mid(i, j - i)});
        } else if (c == u'-' && j < n && s[j] == u'-') {
            while (j < n && s[j] != u'\n')
                ++j;
            out.push_back({Tok::Comment, s.mid(i, j - i)});
        } else if (c == u'/' && j < n && s[j] == u'*') {
            const qsizetype end = s.indexOf(QStringLiteral("*/"), j + 1);
            j = end < 0 ? n : end + 2;
            out.push_back({Tok::Comment, s.mid(i, j - i)});
        } else if (c == u'\'') {
            while (j < n) {
                if (s[j] == u'\'') {
                    if (j + 1 < n && s[j + 1] == u'\'') {
                        j += 2;
                        continue;
                    }
                    ++j;
                    break;
                }
                ++j;
            }
            out.push_back({Tok::String, s.mid(i, j - i)});
        } else if (c == u'[') {
            while (j < n && s[j] != u']')
                ++j;
            const QString name = s.mid(i + 1, j - i - 1);
            j = qMin(j + 1, n);
            out.push_back({Tok::Quoted, u'"' + QString(name).replace(u'"', QStringLiteral("\"\"")) + u'"'});
        } else if (c == u'"') {
            while (j < n && s[j] != u'"')
                ++j;
            j = qMin(j + 1, n);
            out.push_back({Tok::Quoted, s.mid(i, j - i)});
        } else if (c.isDigit() || (c == u'.' && j < n && s[j].isDigit())) {
            while (j < n && (s[j].isDigit() || s[j] == u'.'))
                ++j;
            out.push_back({Tok::Number, s.mid(i, j - i)});
        } else if (isWordStart(c)) {
            while (j < n && isWordChar(s[j]))
                ++j;
            // N'text': the prefix goes, the text stays.
            if (j - i == 1 && (c == u'N' || c == u'n') && j < n && s[j] == u'\'') {
                i = j;
                continue;
            }
            out.push_back({Tok::Word, s.mid(i, j - i)});
        } else {
            static const QStringList two = {QStringLiteral("<="), QStringLiteral(">="),
                                            QStringLiteral("<>"), QStringLiteral("!="),
                                            QStringLiteral("||")};
            if (j < n && two.contains(s.mid(i, 2)))
                ++j;
            out.push_back({Tok::Punct, s.mid(i, j - i)});
        }
        i = j;
    }
    return out;
}

QString join(const Toks& toks, size_t from = 0, size_t to = SIZE_MAX)
{
    QString out;
    to = qMin(to, toks.size());
    for (size_t k = from; k < to; ++k)
        out += toks[k].text;
    return out;
}

bool isWord(const Tok& t, const char* w)
{
    return t.kind == Tok::Word && t.text.compare(QLatin1String(w), Qt::CaseInsensitive) == 0;
}
bool isPunct(const Tok& t, const char* p)
{
    return t.kind == Tok::Punct && t.text == QLatin1String(p);
}
bool significant(const Tok& t)
{
    return t.kind != Tok::Space && t.kind != Tok::Comment;
}

size_t nextSig(const Toks& t, size_t i)
{
    while (i < t.size() && !significant(t[i]))
        ++i;
    return i;
}
long prevSig(const Toks& t, long i)
{
    while (i >= 0 && !significant(t[size_t(i)]))
        --i;
    return i;
}

// Index of the ")" that closes the "(" at open, or toks.size().
size_t closing(const Toks& t, size_t open)
{
    int depth = 0;
    for (size_t k = open; k < t.size(); ++k) {
        if (isPunct(t[k], "("))
            ++depth;
        else if (isPunct(t[k], ")") && --depth == 0)
            return k;
    }
    return t.size();
}

// Splits the tokens between "(" and ")" at top-level commas.
std::vector<Toks> arguments(const Toks& t, size_t open, size_t close)
{
    std::vector<Toks> args(1);
    int depth = 0;
    for (size_t k = open + 1; k < close; ++k) {
        if (isPunct(t[k], "("))
            ++depth;
        else if (isPunct(t[k], ")"))
            --depth;
        if (depth == 0 && isPunct(t[k], ",")) {
            args.emplace_back();
            continue;
        }
        args.back().push_back(t[k]);
    }
    return args;
}

QString trimmedText(const Toks& t)
{
    return join(t).trimmed();
}

const QSet<QString> kTextFunctions = {
    QStringLiteral("tsql_char"), QStringLiteral("substr"), QStringLiteral("upper"),
    QStringLiteral("lower"), QStringLiteral("tsql_monthname"), QStringLiteral("tsql_dayname"),
    QStringLiteral("trim"), QStringLiteral("ltrim"), QStringLiteral("rtrim"),
    QStringLiteral("tsql_text"), QStringLiteral("replace")};

class Rewriter {
public:
    explicit Rewriter(SqlDialect::Engine engine) : m_engine(engine) {}

    QString run(const QString& sql)
    {
        Toks t = tokenize(sql);
        t = dropSchema(t);
        t = escapes(t);
        t = functions(t);
        t = top(t);
        t = concatenation(t);
        t = joins(t);
        return join(t);
    }

private:
    SqlDialect::Engine m_engine;

    // "dbo." goes: the embedded database has no schemas.
    Toks dropSchema(const Toks& t)
    {
        Toks out;
        for (size_t k = 0; k < t.size(); ++k) {
            const bool dbo = isWord(t[k], "dbo") ||
                             (t[k].kind == Tok::Quoted && t[k].text.compare(QLatin1String("\"dbo\""), Qt::CaseInsensitive) == 0);
            if (dbo && k + 1 < t.size() && isPunct(t[k + 1], ".")) {
                ++k;
                continue;
            }
            out.push_back(t[k]);
        }
        return out;
    }

    // ODBC escapes "{ fn X(...) }": the braces and "fn" go.
    Toks escapes(const Toks& t)
    {
        Toks out;
        int open = 0;
        for (size_t k = 0; k < t.size(); ++k) {
            if (isPunct(t[k], "{")) {
                const size_t f = nextSig(t, k + 1);
                if (f < t.size() && isWord(t[f], "fn")) {
                    k = f;
                    ++open;
                    continue;
                }
            }
            if (open > 0 && isPunct(t[k], "}")) {
                --open;
                continue;
            }
            out.push_back(t[k]);
        }
        return out;
    }

    QString rewriteExpr(const Toks& t) { return join(functions(t)).trimmed(); }

    QString typeName(const Toks& t, int* length)
    {
        *length = -1;
        QString name;
        for (size_t k = 0; k < t.size(); ++k) {
            if (t[k].kind == Tok::Word && name.isEmpty())
                name = t[k].text.toLower();
            else if (t[k].kind == Tok::Number && *length < 0)
                *length = t[k].text.toInt();
        }
        return name;
    }

    QString castTo(const QString& expr, const QString& type, int length)
    {
        if (type == QLatin1String("char") || type == QLatin1String("nchar"))
            return QStringLiteral("tsql_char(%1, %2)").arg(expr).arg(length < 0 ? 1 : length);
        if (type == QLatin1String("varchar") || type == QLatin1String("nvarchar")) {
            if (length < 0)
                return QStringLiteral("CAST(%1 AS TEXT)").arg(expr);
            return QStringLiteral("substr(CAST(%1 AS TEXT), 1, %2)").arg(expr).arg(length);
        }
        if (type == QLatin1String("text") || type == QLatin1String("ntext"))
            return QStringLiteral("CAST(%1 AS TEXT)").arg(expr);
        if (type == QLatin1String("datetime") || type == QLatin1String("smalldatetime") ||
            type == QLatin1String("date"))
            return QStringLiteral("tsql_datetime(%1, 0)").arg(expr);
        if (type == QLatin1String("int") || type == QLatin1String("bigint") ||
            type == QLatin1String("smallint") || type == QLatin1String("tinyint") ||
            type == QLatin1String("bit"))
            return QStringLiteral("CAST(%1 AS INTEGER)").arg(expr);
        return QStringLiteral("CAST(%1 AS REAL)").arg(expr);
    }

    // Function calls whose T-SQL form the engine does not know.
    Toks functions(const Toks& t)
    {
        Toks out;
        for (size_t k = 0; k < t.size(); ++k) {
            const Tok& tok = t[k];
            const size_t open = nextSig(t, k + 1);
            if (tok.kind != Tok::Word || open >= t.size() || !isPunct(t[open], "(")) {
                out.push_back(tok);
                continue;
            }
            const QString name = tok.text.toUpper();
            const size_t close = closing(t, open);
            auto args = arguments(t, open, close);
            QString replacement;
            if (name == QLatin1String("CONVERT") && args.size() >= 2) {
                int length = -1;
                const QString type = typeName(args[0], &length);
                const QString expr = rewriteExpr(args[1]);
                const QString style = args.size() > 2 ? trimmedText(args[2]) : QStringLiteral("0");
                if (type.contains(QLatin1String("date")))
                    replacement = QStringLiteral("tsql_datetime(%1, %2)").arg(expr, style);
                else if (type.contains(QLatin1String("char")))
                    replacement = QStringLiteral("tsql_text(%1, %2, %3)").arg(expr).arg(length < 0 ? 30 : length).arg(style);
                else
                    replacement = castTo(expr, type, length);
            } else if (name == QLatin1String("CAST") && args.size() == 1) {
                // "expr AS type": split at the last top-level AS.
                const Toks& a = args[0];
                long as = -1;
                int depth = 0;
                for (size_t i = 0; i < a.size(); ++i) {
                    if (isPunct(a[i], "("))
                        ++depth;
                    else if (isPunct(a[i], ")"))
                        --depth;
                    else if (depth == 0 && isWord(a[i], "AS"))
                        as = long(i);
                }
                if (as >= 0) {
                    int length = -1;
                    const QString type = typeName(Toks(a.begin() + as + 1, a.end()), &length);
                    replacement = castTo(rewriteExpr(Toks(a.begin(), a.begin() + as)).trimmed(), type, length);
                }
            } else if (name == QLatin1String("DATENAME") && args.size() == 2) {
                const QString part = trimmedText(args[0]).toLower();
                const QString expr = rewriteExpr(args[1]);
                if (part == QLatin1String("month") || part == QLatin1String("mm") || part == QLatin1String("m"))
                    replacement = QStringLiteral("tsql_monthname(%1)").arg(expr);
                else if (part == QLatin1String("weekday") || part == QLatin1String("dw"))
                    replacement = QStringLiteral("tsql_dayname(%1)").arg(expr);
                else if (part == QLatin1String("year") || part == QLatin1String("yy") || part == QLatin1String("yyyy"))
                    replacement = QStringLiteral("substr(%1, 1, 4)").arg(expr);
            } else if (name == QLatin1String("GETDATE") && args.size() == 1 && trimmedText(args[0]).isEmpty()) {
                replacement = QStringLiteral("tsql_getdate()");
            }
            if (!replacement.isEmpty()) {
                out.push_back({Tok::Word, replacement});
                k = close;
                continue;
            }
            static const QHash<QString, QString> renamed = {
                {QStringLiteral("UCASE"), QStringLiteral("UPPER")},
                {QStringLiteral("LCASE"), QStringLiteral("LOWER")},
                {QStringLiteral("ISNULL"), QStringLiteral("IFNULL")},
                {QStringLiteral("LEN"), QStringLiteral("LENGTH")},
            };
            out.push_back(renamed.contains(name) ? Tok{Tok::Word, renamed.value(name)} : tok);
        }
        // The replacements are re-tokenized so that later passes see their parts.
        return tokenize(join(out));
    }

    // TOP n PERCENT goes; TOP n becomes LIMIT n at the end of its SELECT.
    Toks top(Toks t)
    {
        for (size_t k = 0; k < t.size(); ++k) {
            if (!isWord(t[k], "TOP"))
                continue;
            const size_t num = nextSig(t, k + 1);
            if (num >= t.size() || t[num].kind != Tok::Number)
                continue;
            const QString n = t[num].text;
            size_t after = num + 1;
            const size_t pct = nextSig(t, after);
            const bool percent = pct < t.size() && isWord(t[pct], "PERCENT");
            if (percent)
                after = pct + 1;
            // Find where this SELECT ends: the ")" that closes the level it is on.
            int depth = 0;
            size_t end = t.size();
            for (size_t i = after; i < t.size(); ++i) {
                if (isPunct(t[i], "("))
                    ++depth;
                else if (isPunct(t[i], ")") && --depth < 0) {
                    end = i;
                    break;
                } else if (depth == 0 && isPunct(t[i], ";")) {
                    end = i;
                    break;
                }
            }
            if (!percent) {
                t.insert(t.begin() + long(end), {Tok::Word, QStringLiteral(" LIMIT ") + n});
            }
            t.erase(t.begin() + long(k), t.begin() + long(after));
            t.insert(t.begin() + long(k), {Tok::Space, QStringLiteral(" ")});
        }
        return t;
    }

    bool textualOperandBefore(const Toks& t, long i)
    {
        const long p = prevSig(t, i - 1);
        if (p < 0)
            return false;
        if (t[size_t(p)].kind == Tok::String)
            return true;
        if (isPunct(t[size_t(p)], ")")) {
            int depth = 0;
            for (long k = p; k >= 0; --k) {
                if (isPunct(t[size_t(k)], ")"))
                    ++depth;
                else if (isPunct(t[size_t(k)], "(") && --depth == 0) {
                    const long f = prevSig(t, k - 1);
                    return f >= 0 && t[size_t(f)].kind == Tok::Word &&
                           kTextFunctions.contains(t[size_t(f)].text.toLower());
                }
            }
        }
        return false;
    }

    bool textualOperandAfter(const Toks& t, size_t i)
    {
        const size_t n = nextSig(t, i + 1);
        if (n >= t.size())
            return false;
        if (t[n].kind == Tok::String)
            return true;
        const size_t open = nextSig(t, n + 1);
        return t[n].kind == Tok::Word && kTextFunctions.contains(t[n].text.toLower()) &&
               open < t.size() && isPunct(t[open], "(");
    }

    // "+" between texts joins them.
    Toks concatenation(Toks t)
    {
        for (size_t k = 0; k < t.size(); ++k)
            if (isPunct(t[k], "+") && (textualOperandBefore(t, long(k)) || textualOperandAfter(t, k)))
                t[k].text = QStringLiteral("||");
        return t;
    }

    // --- FROM clauses with nested joins: "A JOIN B JOIN C ON x ON y" is parenthesized.
    struct Parser {
        const Toks& t;
        size_t pos;
        size_t end;

        bool atJoin(size_t i) const
        {
            i = nextSigBounded(i);
            if (i >= end)
                return false;
            return isWord(t[i], "JOIN") || isWord(t[i], "INNER") || isWord(t[i], "LEFT") ||
                   isWord(t[i], "RIGHT") || isWord(t[i], "FULL") || isWord(t[i], "CROSS");
        }
        size_t nextSigBounded(size_t i) const
        {
            while (i < end && !significant(t[i]))
                ++i;
            return i;
        }

        // table [AS] [alias] | ( source )
        bool primary(QString* out)
        {
            size_t i = nextSigBounded(pos);
            if (i >= end)
                return false;
            if (isPunct(t[i], "(")) {
                const size_t close = closing(t, i);
                if (close >= end)
                    return false;
                // A derived table or a parenthesized join: kept as written, joins inside
                // rewritten separately.
                *out = join(t, i, close + 1);
                pos = close + 1;
            } else if (t[i].kind == Tok::Word || t[i].kind == Tok::Quoted) {
                QString text = t[i].text;
                size_t k = i + 1;
                // qualified names a.b
                while (k + 1 < end && isPunct(t[k], ".") &&
                       (t[k + 1].kind == Tok::Word || t[k + 1].kind == Tok::Quoted)) {
                    text += u'.' + t[k + 1].text;
                    k += 2;
                }
                pos = k;
                *out = text;
            } else {
                return false;
            }
            // alias
            size_t a = nextSigBounded(pos);
            if (a < end && isWord(t[a], "AS")) {
                const size_t name = nextSigBounded(a + 1);
                *out += QStringLiteral(" AS ") + t[name].text;
                pos = name + 1;
            } else if (a < end && (t[a].kind == Tok::Word || t[a].kind == Tok::Quoted) && !isKeyword(t[a])) {
                *out += u' ' + t[a].text;
                pos = a + 1;
            }
            return true;
        }

        static bool isKeyword(const Tok& tok)
        {
            static const char* kw[] = {"JOIN", "INNER", "LEFT", "RIGHT", "FULL", "CROSS", "OUTER",
                                       "ON", "WHERE", "GROUP", "HAVING", "ORDER", "UNION", "LIMIT"};
            for (const char* k : kw)
                if (isWord(tok, k))
                    return true;
            return false;
        }

        bool joinType(QString* out)
        {
            QStringList words;
            size_t i = nextSigBounded(pos);
            while (i < end && t[i].kind == Tok::Word && !isWord(t[i], "JOIN")) {
                words << t[i].text.toUpper();
                i = nextSigBounded(i + 1);
            }
            if (i >= end || !isWord(t[i], "JOIN"))
                return false;
            words << QStringLiteral("JOIN");
            *out = words.join(u' ');
            pos = i + 1;
            return true;
        }

        // The condition after ON: up to a join keyword, another ON, or the clause end.
        QString condition()
        {
            const size_t start = pos;
            int depth = 0;
            size_t i = pos;
            for (; i < end; ++i) {
                if (isPunct(t[i], "("))
                    ++depth;
                else if (isPunct(t[i], ")"))
                    --depth;
                else if (depth == 0 && (isWord(t[i], "ON") || atJoin(i)))
                    break;
            }
            pos = i;
            return join(t, start, i).trimmed();
        }

        // source := primary { joinType source ON condition }
        bool source(QString* out, bool* nested)
        {
            QString left;
            if (!primary(&left))
                return false;
            bool anyJoin = false;
            while (atJoin(pos)) {
                QString type;
                if (!joinType(&type))
                    return false;
                if (type.startsWith(QLatin1String("CROSS"))) {
                    QString right;
                    if (!primary(&right))
                        return false;
                    left = left + u' ' + type + u' ' + right;
                    anyJoin = true;
                    continue;
                }
                QString right;
                bool rightJoins = false;
                if (!source(&right, &rightJoins))
                    return false;
                const size_t on = nextSigBounded(pos);
                if (on >= end || !isWord(t[on], "ON"))
                    return false;
                pos = on + 1;
                const QString cond = condition();
                if (rightJoins) {
                    *nested = true;
                    right = u'(' + right + u')';
                }
                left = left + u' ' + type + u' ' + right + QStringLiteral(" ON ") + cond;
                anyJoin = true;
            }
            *nested = *nested || anyJoin;
            *out = left;
            return true;
        }
    };

    Toks joins(const Toks& t)
    {
        Toks out;
        for (size_t k = 0; k < t.size(); ++k) {
            out.push_back(t[k]);
            if (!isWord(t[k], "FROM"))
                continue;
            // The clause ends at WHERE/GROUP/HAVING/ORDER/UNION/LIMIT/";" or the ")" of its level.
            int depth = 0;
            size_t end = t.size();
            for (size_t i = k + 1; i < t.size(); ++i) {
                if (isPunct(t[i], "("))
                    ++depth;
                else if (isPunct(t[i], ")") && --depth < 0) {
                    end = i;
                    break;
                }
                if (depth == 0 && (isWord(t[i], "WHERE") || isWord(t[i], "GROUP") ||
                                   isWord(t[i], "HAVING") || isWord(t[i], "ORDER") ||
                                   isWord(t[i], "UNION") || isWord(t[i], "LIMIT") ||
                                   isPunct(t[i], ";") || isPunct(t[i], ","))) {
                    end = i;
                    break;
                }
            }
            Parser p{t, k + 1, end};
            QString rebuilt;
            bool nested = false;
            bool ok = p.source(&rebuilt, &nested);
            if (ok && p.nextSigBounded(p.pos) == end && nested) {
                out.push_back({Tok::Space, QStringLiteral(" ")});
                out.push_back({Tok::Word, rebuilt});
                out.push_back({Tok::Space, QStringLiteral(" ")});
                k = end - 1;
            }
        }
        return out;
    }
};

} // namespace

QString SqlDialect::rewrite(const QString& tsql) const
{
    if (m_engine == Engine::SqlServer)
        return tsql;
    return Rewriter(m_engine).run(tsql);
}

bool SqlDialect::parseExec(const QString& tsql, Exec* exec)
{
    const Toks t = tokenize(tsql);
    size_t i = nextSig(t, 0);
    if (i >= t.size() || !(isWord(t[i], "EXEC") || isWord(t[i], "EXECUTE")))
        return false;
    i = nextSig(t, i + 1);
    if (i >= t.size() || (t[i].kind != Tok::Word && t[i].kind != Tok::Quoted))
        return false;
    QString name = t[i].text;
    ++i;
    while (i + 1 < t.size() && isPunct(t[i], ".")) {
        name = t[i + 1].text; // keep the last part: "dbo.EtatCA" is EtatCA
        i += 2;
    }
    name.remove(u'"');
    exec->procedure = name;
    exec->arguments.clear();
    QString current;
    bool has = false;
    for (; i < t.size(); ++i) {
        if (!significant(t[i]))
            continue;
        if (isPunct(t[i], ",")) {
            exec->arguments << current;
            current.clear();
            has = false;
            continue;
        }
        if (isPunct(t[i], ";"))
            break;
        if (t[i].kind == Tok::String) {
            QString v = t[i].text.mid(1, t[i].text.size() - 2);
            current += v.replace(QStringLiteral("''"), QStringLiteral("'"));
        } else {
            current += t[i].text;
        }
        has = true;
    }
    if (has)
        exec->arguments << current;
    return true;
}

bool SqlDialect::returnsRows(const QString& tsql)
{
    const Toks t = tokenize(tsql);
    const size_t i = nextSig(t, 0);
    if (i >= t.size())
        return false;
    return isWord(t[i], "SELECT") || isWord(t[i], "WITH") || isWord(t[i], "EXEC") ||
           isWord(t[i], "EXECUTE") || isWord(t[i], "PRAGMA") || isWord(t[i], "VALUES");
}

namespace Sql {

QString Text(const QString& value)
{
    return u'\'' + QString(value).replace(u'\'', QStringLiteral("''")) + u'\'';
}

QString NText(const QString& value)
{
    return u'N' + Text(value);
}

QString Number(double value)
{
    return QLocale::c().toString(value, 'g', 15);
}

QString Number(qint64 value)
{
    return QString::number(value);
}

QString DateTime103(const QDateTime& value)
{
    return QStringLiteral("CONVERT(DATETIME, ") +
           Text(value.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"))) + QStringLiteral(", 103)");
}

QString LikeText(const QString& value)
{
    QString escaped;
    for (QChar c : value) {
        if (c == u'*' || c == u'%' || c == u'[')
            escaped += u'[' + QString(c) + u']';
        else if (c == u'\'')
            escaped += QStringLiteral("''");
        else
            escaped += c;
    }
    return escaped;
}

} // namespace Sql

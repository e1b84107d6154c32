#include "db/statementadapter.h"

#include "db/sqlitefunctions.h"

#include <QRegularExpression>
#include <QSet>
#include <vector>

namespace fee {

namespace {

    enum class Kind { Space, Comment, Word, Number, Text, QuotedName, Punct };

    struct Token {
        Kind kind;
        QString text;
    };

    using Tokens = std::vector<Token>;

    bool isWordChar(QChar c)
    {
        return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('@') || c == QLatin1Char('#')
            || c == QLatin1Char('$');
    }

    // Reads a run delimited by `close`, where a doubled `close` stands for one.
    qsizetype delimitedEnd(const QString& s, qsizetype start, QChar close)
    {
        qsizetype i = start + 1;
        while (i < s.size()) {
            if (s.at(i) == close) {
                if (i + 1 < s.size() && s.at(i + 1) == close) {
                    i += 2;
                    continue;
                }
                return i + 1;
            }
            ++i;
        }
        return s.size();
    }

    Tokens tokenize(const QString& s)
    {
        Tokens tokens;
        qsizetype i = 0;
        const qsizetype n = s.size();
        while (i < n) {
            const QChar c = s.at(i);
            qsizetype end = i + 1;
            Kind kind = Kind::Punct;
            if (c.isSpace()) {
                while (end < n && s.at(end).isSpace())
                    ++end;
                kind = Kind::Space;
            } else if (c == QLatin1Char('\'')) {
                end = delimitedEnd(s, i, c);
                kind = Kind::Text;
            } else if (c == QLatin1Char('"')) {
                end = delimitedEnd(s, i, c);
                kind = Kind::QuotedName;
            } else if (c == QLatin1Char('[')) {
                end = delimitedEnd(s, i, QLatin1Char(']'));
                kind = Kind::QuotedName;
            } else if (c == QLatin1Char('-') && i + 1 < n && s.at(i + 1) == QLatin1Char('-')) {
                end = s.indexOf(QLatin1Char('\n'), i);
                end = end < 0 ? n : end;
                kind = Kind::Comment;
            } else if (c == QLatin1Char('/') && i + 1 < n && s.at(i + 1) == QLatin1Char('*')) {
                end = s.indexOf(QLatin1String("*/"), i + 2);
                end = end < 0 ? n : end + 2;
                kind = Kind::Comment;
            } else if (c.isDigit()) {
                while (end < n && (s.at(end).isDigit() || s.at(end) == QLatin1Char('.')))
                    ++end;
                if (end < n && (s.at(end) == QLatin1Char('e') || s.at(end) == QLatin1Char('E'))) {
                    qsizetype e = end + 1;
                    if (e < n && (s.at(e) == QLatin1Char('+') || s.at(e) == QLatin1Char('-')))
                        ++e;
                    if (e < n && s.at(e).isDigit()) {
                        while (e < n && s.at(e).isDigit())
                            ++e;
                        end = e;
                    }
                }
                kind = Kind::Number;
            } else if (isWordChar(c)) {
                while (end < n && isWordChar(s.at(end)))
                    ++end;
                kind = Kind::Word;
            }
            tokens.push_back({ kind, s.mid(i, end - i) });
            i = end;
        }
        return tokens;
    }

    bool isBlank(const Token& t) { return t.kind == Kind::Space || t.kind == Kind::Comment; }
    bool isPunct(const Token& t, char c) { return t.kind == Kind::Punct && t.text == QLatin1Char(c); }

    // Words after which a "+" cannot be binary.
    bool isOperatorKeyword(const QString& word)
    {
        static const QSet<QString> kKeywords = { QStringLiteral("select"), QStringLiteral("where"),
            QStringLiteral("and"), QStringLiteral("or"), QStringLiteral("not"), QStringLiteral("on"),
            QStringLiteral("when"), QStringLiteral("then"), QStringLiteral("else"), QStringLiteral("in"),
            QStringLiteral("by"), QStringLiteral("case"), QStringLiteral("between"), QStringLiteral("like"),
            QStringLiteral("is"), QStringLiteral("from"), QStringLiteral("having"), QStringLiteral("union"),
            QStringLiteral("all"), QStringLiteral("distinct"), QStringLiteral("return"), QStringLiteral("set"),
            QStringLiteral("values"), QStringLiteral("top"), QStringLiteral("as"), QStringLiteral("join") };
        return kKeywords.contains(word.toLower());
    }

    bool endsOperand(const Token& t)
    {
        switch (t.kind) {
        case Kind::Word:
            return !isOperatorKeyword(t.text);
        case Kind::Text:
        case Kind::QuotedName:
            return true;
        case Kind::Punct:
            return t.text == QLatin1Char(')');
        default:
            return false;
        }
    }

    class Rewriter {
    public:
        explicit Rewriter(Tokens tokens)
            : m_t(std::move(tokens))
        {
        }

        QString run() { return rewrite(0, static_cast<int>(m_t.size())); }

    private:
        int nextSolid(int i, int end) const
        {
            while (i < end && isBlank(m_t[i]))
                ++i;
            return i;
        }

        int prevSolid(int i, int begin) const
        {
            while (i >= begin && isBlank(m_t[i]))
                --i;
            return i;
        }

        // Index of the ")" closing the "(" at `open`, or -1.
        int closing(int open, int end) const
        {
            int depth = 0;
            for (int i = open; i < end; ++i) {
                if (isPunct(m_t[i], '('))
                    ++depth;
                else if (isPunct(m_t[i], ')') && --depth == 0)
                    return i;
            }
            return -1;
        }

        // The tokens' text as written.
        QString written(int begin, int end) const
        {
            QString out;
            for (int i = begin; i < end; ++i)
                out += m_t[i].text;
            return out;
        }

        // Trimmed arguments between `open` and `close`, split at top-level
        // commas: rewritten, or as written (enough to decide whether the call
        // is rewritten: a call left as written has its arguments rewritten
        // with the rest of the text, and rewriting them beforehand too would
        // double the work at every level of nested calls).
        QStringList arguments(int open, int close, bool rewritten) const
        {
            auto piece
                = [&](int from, int to) { return (rewritten ? rewrite(from, to) : written(from, to)).trimmed(); };
            QStringList args;
            int depth = 0;
            int start = open + 1;
            for (int i = open + 1; i < close; ++i) {
                if (isPunct(m_t[i], '('))
                    ++depth;
                else if (isPunct(m_t[i], ')'))
                    --depth;
                else if (depth == 0 && isPunct(m_t[i], ',')) {
                    args.append(piece(start, i));
                    start = i + 1;
                }
            }
            if (start < close || !args.isEmpty())
                args.append(piece(start, close));
            return args;
        }

        // convert(char(n), x, 112) on the ISO date texts of the embedded database.
        static QString convertStyle112(const QStringList& args)
        {
            static const QRegularExpression kCharType(
                QStringLiteral("^n?(var)?char\\s*\\(\\s*(\\d+)\\s*\\)$"), QRegularExpression::CaseInsensitiveOption);
            if (args.size() != 3 || args[2] != QLatin1String("112"))
                return {};
            const QRegularExpressionMatch m = kCharType.match(args[0]);
            if (!m.hasMatch())
                return {};
            const int length = m.captured(2).toInt();
            const QString& x = args[1];
            if (length == 4)
                return QStringLiteral("substr(") + x + QStringLiteral(",1,4)");
            if (length == 6)
                return QStringLiteral("replace(substr(") + x + QStringLiteral(",1,7),'-','')");
            const QString yyyymmdd = QStringLiteral("replace(substr(") + x + QStringLiteral(",1,10),'-','')");
            if (length >= 8)
                return yyyymmdd;
            return QStringLiteral("substr(") + yyyymmdd + QStringLiteral(",1,") + QString::number(length)
                + QLatin1Char(')');
        }

        // A call rewritten as a whole, or an empty text when it stays as written.
        QString call(const QString& name, const QStringList& args) const
        {
            if (name == QLatin1String("left") && args.size() == 2)
                return QStringLiteral("substr(") + args[0] + QStringLiteral(",1,") + args[1] + QLatin1Char(')');
            if (name == QLatin1String("right") && args.size() == 2)
                return QStringLiteral("substr(") + args[0] + QStringLiteral(",-(") + args[1] + QStringLiteral("),")
                    + args[1] + QLatin1Char(')');
            if (name == QLatin1String("len") && args.size() == 1)
                return QStringLiteral("length(rtrim(") + args[0] + QStringLiteral(",' '))");
            if (name == QLatin1String("convert"))
                return convertStyle112(args);
            if (name == QLatin1String("getdate") && args.isEmpty())
                return QStringLiteral("datetime('now','localtime')");
            return {};
        }

        static bool endsClauseList(const Token& t)
        {
            if (t.kind == Kind::Punct)
                return t.text == QLatin1Char(')') || t.text == QLatin1Char(';');
            if (t.kind != Kind::Word)
                return false;
            static const QSet<QString> kEnds = { QStringLiteral("order"), QStringLiteral("group"),
                QStringLiteral("having"), QStringLiteral("union"), QStringLiteral("except"),
                QStringLiteral("intersect"), QStringLiteral("limit"), QStringLiteral("window"),
                QStringLiteral("select"), QStringLiteral("from"), QStringLiteral("where") };
            return kEnds.contains(t.text.toLower());
        }

        // The terms of "group by" and "order by" compare texts the way SQL
        // Server does (letter case and trailing blanks ignored), also where a
        // term is an expression or a subquery's column and so has lost the
        // collation declared on the table. Without it, two spellings of one
        // office code make two groups, and the reports read only the first.
        // Returns the index after the list.
        int collatedList(int first, int end, bool ordering, QString& out) const
        {
            int depth = 0;
            int termStart = first;
            int i = first;
            auto flush = [&](int termEnd) {
                int solidEnd = prevSolid(termEnd - 1, termStart);
                if (solidEnd < termStart) {
                    out += rewrite(termStart, termEnd);
                    return;
                }
                // Keep ASC / DESC / NULLS FIRST after the collation.
                int exprEnd = solidEnd + 1;
                if (ordering) {
                    for (int k = termStart; k <= solidEnd; ++k) {
                        if (m_t[k].kind != Kind::Word)
                            continue;
                        const QString w = m_t[k].text.toLower();
                        if (w == QLatin1String("asc") || w == QLatin1String("desc") || w == QLatin1String("nulls")) {
                            exprEnd = prevSolid(k - 1, termStart) + 1;
                            break;
                        }
                    }
                }
                const int exprFirst = nextSolid(termStart, exprEnd);
                const bool positional = ordering && exprFirst + 1 == exprEnd && m_t[exprFirst].kind == Kind::Number;
                out += rewrite(termStart, exprEnd);
                if (!positional && exprFirst < exprEnd)
                    out += QStringLiteral(" COLLATE ") + QLatin1String(kSqliteCollation);
                out += rewrite(exprEnd, termEnd);
            };
            for (; i < end; ++i) {
                const Token& t = m_t[i];
                if (isPunct(t, '(')) {
                    ++depth;
                } else if (depth == 0 && endsClauseList(t)) {
                    break;
                } else if (isPunct(t, ')')) {
                    --depth;
                } else if (depth == 0 && isPunct(t, ',')) {
                    flush(i);
                    out += t.text;
                    termStart = i + 1;
                }
            }
            flush(i);
            return i;
        }

        QString rewrite(int begin, int end) const
        {
            QString out;
            for (int i = begin; i < end; ++i) {
                const Token& t = m_t[i];
                if (t.kind == Kind::Word) {
                    const QString lower = t.text.toLower();
                    if (lower == QLatin1String("group") || lower == QLatin1String("order")) {
                        const int by = nextSolid(i + 1, end);
                        if (by < end && m_t[by].kind == Kind::Word && m_t[by].text.toLower() == QLatin1String("by")) {
                            for (int k = i; k <= by; ++k)
                                out += m_t[k].text;
                            i = collatedList(by + 1, end, lower == QLatin1String("order"), out) - 1;
                            continue;
                        }
                    }
                    if (lower == QLatin1String("n") && i + 1 < end && m_t[i + 1].kind == Kind::Text)
                        continue; // N'...' is a plain literal here
                    if (lower == QLatin1String("isnull")) {
                        const int open = nextSolid(i + 1, end);
                        if (open < end && isPunct(m_t[open], '(')) {
                            out += QStringLiteral("ifnull");
                            continue;
                        }
                    }
                    static const QSet<QString> kCalls = { QStringLiteral("left"), QStringLiteral("right"),
                        QStringLiteral("len"), QStringLiteral("convert"), QStringLiteral("getdate") };
                    if (kCalls.contains(lower)) {
                        const int open = nextSolid(i + 1, end);
                        const int close = open < end && isPunct(m_t[open], '(') ? closing(open, end) : -1;
                        if (close > 0 && !call(lower, arguments(open, close, false)).isEmpty()) {
                            const QString replaced = call(lower, arguments(open, close, true));
                            if (!replaced.isEmpty()) {
                                out += replaced;
                                i = close;
                                continue;
                            }
                        }
                    }
                } else if (isPunct(t, '+')) {
                    // Every binary + of the reports joins texts; SQLite would add them as numbers.
                    const int prev = prevSolid(i - 1, begin);
                    const int next = nextSolid(i + 1, end);
                    const bool binary = prev >= begin && endsOperand(m_t[prev]);
                    const bool nearNumber = next < end && m_t[next].kind == Kind::Number;
                    if (binary && !nearNumber) {
                        out += QStringLiteral("||");
                        continue;
                    }
                }
                out += t.text;
            }
            return out;
        }

        Tokens m_t;
    };

} // namespace

QString adaptStatementForSqlite(const QString& tsql) { return Rewriter(tokenize(tsql)).run(); }

} // namespace fee

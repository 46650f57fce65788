#include "agenda/agendafilter.h"

#include "common/dates.h"
#include "common/textfunctions.h"
#include "db/core/datetimes.h"

#include <QStringList>

namespace {

QString dateText(QDate date)
{
    return ScriviDataItaliana(date);
}

bool searches(const QString &text)
{
    return !text.isEmpty() && text != u"*";
}

// The begins-with searches that narrow the list, by the column each reads.
QList<std::pair<QString, QString>> textSearches(const AgendaSearch &s)
{
    QList<std::pair<QString, QString>> found;
    const std::pair<const QString *, const char *> texts[] = {
        {&s.tipologia, "TipologiaCalendario"}, {&s.contatto, "Cliente"}, {&s.note, "Note"}};
    for (const auto &[text, column] : texts) {
        if (searches(*text))
            found.append({QString::fromLatin1(column), *text});
    }
    return found;
}

// The days the search keeps: from `from` on, before `before` (the clicked day) or through the
// whole of `through`.
struct DateRange
{
    std::optional<QDate> from;
    std::optional<QDate> before;
    std::optional<QDate> through;
};

DateRange dateRange(const AgendaSearch &s)
{
    if (s.dayMode && s.day.isValid())
        return {s.day, s.day.addDays(1), std::nullopt};
    return {fullDate(s.daData), std::nullopt, fullDate(s.aData)};
}

// The columns of Calendario, as the grid's sort text may name them in any letter case.
const QStringList kColumns = {QStringLiteral("Id"),         QStringLiteral("Data"),
                              QStringLiteral("DataAvviso"), QStringLiteral("Cliente_ID"),
                              QStringLiteral("Cliente"),    QStringLiteral("TipologiaCalendario"),
                              QStringLiteral("Note"),       QStringLiteral("Conclusa"),
                              QStringLiteral("Storico"),    QStringLiteral("Personale")};

// The grid's filter reads * and % in a search as any text and every other character as itself;
// the pattern escapes what LIKE would read otherwise.
QString beginsWithPattern(const QString &text)
{
    QString pattern;
    for (const QChar c : text) {
        if (c == u'*' || c == u'%') {
            pattern += u'%';
            continue;
        }
        if (c == u'_' || c == u'\\')
            pattern += u'\\';
        pattern += c;
    }
    return pattern + u'%';
}

// The column of Calendario a sort key names; empty for none.
QString columnNamed(const QString &name)
{
    for (const QString &column : kColumns) {
        if (column.compare(name, Qt::CaseInsensitive) == 0)
            return column;
    }
    return {};
}

// The ORDER BY terms of a data-set sort text ("Cliente DESC, Data"), each column written as the
// table names it, never as the text does; the agenda's own order follows for the rows the sort
// leaves level, as the grid's stable sort keeps them.
QStringList orderTerms(const QString &sort)
{
    QStringList terms;
    QStringList used;
    const auto add = [&](const QString &column, bool descending) {
        if (column.isEmpty() || used.contains(column))
            return;
        used.append(column);
        terms.append(column + (descending ? QStringLiteral(" DESC") : QString()));
    };
    for (const QString &key : sort.split(u',', Qt::SkipEmptyParts)) {
        const QStringList words = key.simplified().split(u' ');
        add(columnNamed(words.value(0)), words.value(1).compare(u"DESC", Qt::CaseInsensitive) == 0);
    }
    add(QStringLiteral("Data"), true);
    add(QStringLiteral("Personale"), false);
    return terms;
}

} // namespace

std::optional<QDate> fullDate(const QString &text)
{
    const db::Result<QDate> date = LeggiCasellaData(text);
    return date && date->isValid() ? std::optional<QDate>(*date) : std::nullopt;
}

QString composeAgendaFilter(const AgendaSearch &s)
{
    QStringList clauses;
    for (const auto &[column, text] : textSearches(s))
        clauses << column + QStringLiteral(" like '") + RaddoppiaApici(text) + QStringLiteral("*'");
    const DateRange range = dateRange(s);
    if (range.from && range.before) {
        clauses << QStringLiteral("Data >= #") + dateText(*range.from) +
                       QStringLiteral("# and Data <#") + dateText(*range.before) + u'#';
    } else {
        if (range.from)
            clauses << QStringLiteral("Data >= #") + dateText(*range.from) + u'#';
        if (range.through)
            clauses << QStringLiteral("Data <= #") + dateText(*range.through) +
                           QStringLiteral(" 23.59.59#");
    }
    return clauses.join(QStringLiteral(" and "));
}

AgendaQuery composeAgendaQuery(const AgendaListing &listing)
{
    AgendaQuery query;
    QStringList where{QStringLiteral("Storico=false")};
    for (const auto &[column, text] : textSearches(listing.search)) {
        where << column + QStringLiteral(" LIKE ? ESCAPE '\\'");
        query.values << beginsWithPattern(text);
    }
    const DateRange range = dateRange(listing.search);
    if (range.from) {
        where << QStringLiteral("Data >= ?");
        query.values << db::naiveDateTime(*range.from);
    }
    if (range.before) {
        where << QStringLiteral("Data < ?");
        query.values << db::naiveDateTime(*range.before);
    }
    if (range.through) {
        where << QStringLiteral("Data <= ?");
        query.values << db::naiveDateTime(*range.through, QTime(23, 59, 59));
    }
    query.sql = QStringLiteral("SELECT Data, Cliente, TipologiaCalendario, Note, Conclusa, "
                               "DataAvviso FROM Calendario WHERE ") +
                where.join(QStringLiteral(" AND ")) + QStringLiteral(" ORDER BY ") +
                orderTerms(listing.sort).join(QStringLiteral(", "));
    return query;
}

#include "agenda/agendafilter.h"

#include "common/dates.h"
#include "common/textfunctions.h"

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

} // namespace

std::optional<QDate> fullDate(const QString &text)
{
    const db::Result<QDate> date = LeggiCasellaData(text);
    return date && date->isValid() ? std::optional<QDate>(*date) : std::nullopt;
}

QString composeAgendaFilter(const AgendaSearch &s)
{
    QStringList clauses;
    const std::pair<const QString *, const char *> texts[] = {
        {&s.tipologia, "TipologiaCalendario"}, {&s.contatto, "Cliente"}, {&s.note, "Note"}};
    for (const auto &[text, column] : texts) {
        if (searches(*text))
            clauses << QString::fromLatin1(column) + QStringLiteral(" like '") +
                           RaddoppiaApici(*text) + QStringLiteral("*'");
    }
    if (s.dayMode && s.day.isValid()) {
        clauses << QStringLiteral("Data >= #") + dateText(s.day) + QStringLiteral("# and Data <#") +
                       dateText(s.day.addDays(1)) + u'#';
    } else {
        if (const std::optional<QDate> from = fullDate(s.daData))
            clauses << QStringLiteral("Data >= #") + dateText(*from) + u'#';
        if (const std::optional<QDate> to = fullDate(s.aData))
            clauses << QStringLiteral("Data <= #") + dateText(*to) + QStringLiteral(" 23.59.59#");
    }
    return clauses.join(QStringLiteral(" and "));
}

#include "reference/capfinder.h"

#include "common/textfunctions.h"

#include <QStringList>

QString capShortcutSql(const QString &comune)
{
    return QStringLiteral(
               "SELECT Indirizzi.CAP,Indirizzi.Frazione FROM Indirizzi INNER JOIN Comuni "
               "ON Indirizzi.Comune_ID = Comuni.ID where Comuni.Comune = '") +
           RaddoppiaApici(comune) + u'\'';
}

QString streetListSql(const QString &comune)
{
    return QStringLiteral("SELECT id_cap, Frazione, NumeroCivico, Indirizzi.Cap, Comune_ID, "
                          "Indirizzo, Comuni.Comune FROM Indirizzi INNER JOIN Comuni ON "
                          "Indirizzi.Comune_ID = Comuni.ID where Comune = '") +
           RaddoppiaApici(comune) + QStringLiteral("' order by Frazione, Indirizzo");
}

QString composeStreetFilter(const QString &frazione, const QString &indirizzo)
{
    const auto narrows = [](const QString &text) { return !text.isEmpty() && text != u"*"; };
    QStringList clauses;
    if (narrows(frazione))
        clauses << QStringLiteral("Frazione like '") + RaddoppiaApici(frazione) +
                       QStringLiteral("*'");
    if (narrows(indirizzo))
        clauses << QStringLiteral("Indirizzo like '") + RaddoppiaApici(indirizzo) +
                       QStringLiteral("*'");
    return clauses.join(QStringLiteral(" and "));
}

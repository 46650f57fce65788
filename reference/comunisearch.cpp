#include "reference/comunisearch.h"

#include "common/textfunctions.h"

#include <QStringList>

bool capSearchedAmongAllCodes(const QString &cap)
{
    if (cap.isEmpty() || cap.size() > 5)
        return false;
    for (const QChar c : cap) {
        if (!c.isDigit())
            return false;
    }
    return true;
}

QString composeComuniFilter(const ComuniSearch &s)
{
    const std::pair<const char *, const QString *> boxes[] = {
        {"Comune", &s.descrizione},  {"COD_ISTAT", &s.codiceIstat}, {"CODICE_F", &s.codiceBelfiore},
        {"Provincia", &s.provincia}, {"PrefNaz", &s.prefisso},      {"Cap", &s.cap},
    };
    QStringList clauses;
    for (const auto &[column, text] : boxes) {
        if (text->isEmpty() || *text == u"*")
            continue;
        QString clause = QString::fromLatin1(column) + QStringLiteral(" like '") +
                         RaddoppiaApici(*text) + QStringLiteral("*'");
        if (text == &s.cap && !s.altriCap.isEmpty()) {
            for (const qint64 id : s.altriCap)
                clause += QStringLiteral(" or ID = ") + QString::number(id);
            clause = u'(' + clause + u')';
        }
        clauses << clause;
    }
    return clauses.join(QStringLiteral(" and "));
}

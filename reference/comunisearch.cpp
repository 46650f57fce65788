#include "reference/comunisearch.h"

#include "common/textfunctions.h"

#include <QStringList>

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
        clauses << QString::fromLatin1(column) + QStringLiteral(" like '") + RaddoppiaApici(*text) +
                       QStringLiteral("*'");
    }
    return clauses.join(QStringLiteral(" and "));
}

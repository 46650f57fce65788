#include "contacts/contactsearch.h"

#include "common/colours.h"
#include "common/textfunctions.h"

#include <QStringList>

namespace {

bool searches(const QString &box)
{
    return !box.isEmpty() && box != u"*";
}

} // namespace

QString composeContactFilter(const ContactSearch &s)
{
    QStringList conditions;
    const auto like = [](const QString &column, const QString &text) {
        return column + QStringLiteral(" like '") + text + QStringLiteral("*'");
    };
    const auto either = [&](const QString &a, const QString &b, const QString &text) {
        return u'(' + like(a, text) + QStringLiteral(" or ") + like(b, text) + u')';
    };
    if (searches(s.nominativo))
        conditions << like(QStringLiteral("NominativoDocumenti"), RaddoppiaApici(s.nominativo));
    if (searches(s.fax))
        conditions << like(QStringLiteral("fax"), RaddoppiaApici(s.fax));
    if (searches(s.note))
        conditions << like(QStringLiteral("Note"), RaddoppiaApici(s.note));
    if (searches(s.telefoni))
        conditions << either(QStringLiteral("AbitazioneTelefono"),
                             QStringLiteral("UfficioTelefono"), RaddoppiaApici(s.telefoni));
    if (searches(s.cellulari))
        conditions << either(QStringLiteral("cellulare"), QStringLiteral("UfficioCellulare"),
                             RaddoppiaApici(s.cellulari));
    // A category or profession may hold an apostrophe too ("Dell'Orto & C."): doubled like the
    // typed texts, or the filter would not parse.
    if (!s.categoria.isEmpty())
        conditions << QStringLiteral("Categoria = '") + RaddoppiaApici(s.categoria) + u'\'';
    if (!s.sesso.isEmpty())
        conditions << QStringLiteral("Sesso = '") + RaddoppiaApici(s.sesso) + u'\'';
    if (!s.professione.isEmpty())
        conditions << QStringLiteral("Professione = '") + RaddoppiaApici(s.professione) + u'\'';
    if (searches(s.email))
        conditions << either(QStringLiteral("email"), QStringLiteral("secEmail"),
                             RaddoppiaApici(s.email));
    return conditions.join(QStringLiteral(" and "));
}

qint64 contactRowColour(qint64 numeroColore, qint64 coloreCategoria)
{
    const auto own = [](qint64 v) { return v >= 1 && v != kBianco; };
    if (own(numeroColore))
        return numeroColore;
    if (own(coloreCategoria))
        return coloreCategoria;
    return kBianco;
}

#include "notices/noticequery.h"

#include "common/dates.h"
#include "common/textfunctions.h"

namespace notices {

db::Result<QDate> readBirthDate(QStringView shown)
{
    const db::Result<QDate> date = LeggiCasellaData(shown);
    if (!date)
        return db::Error{QStringLiteral("La data di nascita \"%1\" non è valida: va scritta come "
                                        "gg/mm/aaaa, per esempio 07/03/1960.")
                             .arg(shown.toString().replace(u'_', u' ').trimmed())};
    return date;
}

db::Result<QString> composeNoticeQuery(const NoticeFilter &filter)
{
    const db::Result<QDate> from = readBirthDate(filter.daData);
    if (!from)
        return from.error();
    const db::Result<QDate> to = readBirthDate(filter.aData);
    if (!to)
        return to.error();
    const bool provincia = !filter.provincia.isEmpty();
    QString sql = QStringLiteral(
        "SELECT distinct Contatti.NominativoVisualizzato, Contatti.Cognome, "
        "Contatti.Nome,Contatti.DataNascita,Contatti.CFisc, Contatti.PIva, Contatti.Id FROM "
        "Contatti");
    if (provincia)
        sql += QStringLiteral(" INNER JOIN Comuni ON Contatti.Citta_ID = Comuni.Id");
    sql += QStringLiteral(" WHERE Contatti.Annullato=False");
    if (filter.professione > 0)
        sql +=
            QStringLiteral(" and Contatti.Professione_id=") + QString::number(filter.professione);
    if (filter.categoria > 0)
        sql += QStringLiteral(" and Contatti.Categoria_ID=") + QString::number(filter.categoria);
    if (filter.comune > 0)
        sql += QStringLiteral(" and Contatti.Citta_ID=") + QString::number(filter.comune);
    if (provincia)
        sql +=
            QStringLiteral(" and Comuni.Provincia ='") + RaddoppiaApici(filter.provincia) + u'\'';
    if (!filter.note.isEmpty())
        sql += QStringLiteral(" and Contatti.Note like '") + PreparaRicerca(filter.note) +
               QStringLiteral("%'");
    // The dates were checked above: the conversion cannot fail.
    if (from->isValid())
        sql += QStringLiteral(" and Contatti.DataNascita >=#") +
               *DataSql(ScriviDataItaliana(*from)) + u'#';
    if (to->isValid())
        sql += QStringLiteral(" and Contatti.DataNascita <=#") + *DataSql(ScriviDataItaliana(*to)) +
               QStringLiteral(" 23.59.59#");
    return sql;
}

QString templateFilter(const QString &search)
{
    if (search.isEmpty() || search == u"*")
        return {};
    return QStringLiteral("Descrizione like '") + RaddoppiaApici(search) + QStringLiteral("*'");
}

} // namespace notices

#include "contacts/sheetexport.h"

#include "db/core/privatefiles.h"
#include "sheets/csvfile.h"
#include "sheets/xlsxfile.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace {

// The columns read, in the order of exportedSheetFields(), then the key.
const char kSelect[] =
    "SELECT Contatti.Cognome, Contatti.Nome, Contatti.RagioneSociale, Titoli.descrizione, "
    "Contatti.Indirizzo, Contatti.Numero, Contatti.Cap, Comuni.Comune, Comuni.Provincia, "
    "Contatti.UfficioIndirizzo, Contatti.UfficioNumero, Contatti.UfficioCap, "
    "Comuni_1.Comune, Comuni_1.Provincia, Contatti.Telefono, Contatti.Cellulare, "
    "Contatti.secTelefono, Contatti.SecondoCell, Contatti.Fax, Contatti.email, "
    "Contatti.secEmail, Contatti.Pec, Contatti.Internet, Contatti.CFisc, Contatti.PIva, "
    "Contatti.DataNascita, Categorie.descrizione, Professioni.descrizione, Contatti.Note, "
    "Contatti.ID "
    "FROM ((((Contatti LEFT JOIN Categorie ON Contatti.Categoria_ID = Categorie.Id) "
    "LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID) "
    "LEFT JOIN Professioni ON Contatti.Professione_id = Professioni.Id) "
    "LEFT JOIN Comuni AS Comuni_1 ON Contatti.UfficioComune_id = Comuni_1.ID) "
    "LEFT JOIN Titoli ON Contatti.Titolo_id = Titoli.id";

// Beyond this many contacts the whole table is read once rather than a contact at a time.
constexpr qsizetype kOneByOne = 1000;

QVariantList rowOf(const QVariantList &read)
{
    QVariantList row;
    const QList<SheetField> fields = exportedSheetFields();
    row.reserve(fields.size());
    for (qsizetype i = 0; i < fields.size(); ++i) {
        const QVariant &value = read[i];
        if (fields[i] == SheetField::DataNascita)
            row << (value.isValid() && !value.isNull() ? QVariant(value.toDateTime().date())
                                                       : QVariant());
        else
            row << (value.toString().isEmpty() ? QVariant() : QVariant(value.toString()));
    }
    return row;
}

} // namespace

db::Result<sheets::SheetRows> contactSheetRows(db::Connection &connection, const QList<qint64> &ids,
                                               int *missing)
{
    sheets::SheetRows rows;
    QVariantList header;
    for (SheetField field : exportedSheetFields())
        header << sheetFieldTitle(field);
    rows << header;
    const int key = int(exportedSheetFields().size());
    QHash<qint64, QVariantList> byKey;
    db::Transaction reading(connection, db::Transaction::Kind::Reading);
    if (!reading.started())
        return reading.started().error();
    if (ids.size() > kOneByOne) {
        const db::Result<db::RowSet> all = connection.run(QString::fromLatin1(kSelect));
        if (!all)
            return all.error();
        const QSet<qint64> wanted(ids.cbegin(), ids.cend());
        for (const QVariantList &read : all->rows) {
            if (const qint64 id = read[key].toLongLong(); wanted.contains(id))
                byKey.insert(id, rowOf(read));
        }
    } else {
        const db::Result<QString> sql =
            connection.translate(QLatin1String(kSelect) + QStringLiteral(" WHERE Contatti.ID = ?"));
        if (!sql)
            return sql.error();
        for (qint64 id : ids) {
            const db::Result<db::RowSet> one = connection.runNative(*sql, {id});
            if (!one)
                return one.error();
            if (!one->rows.isEmpty())
                byKey.insert(id, rowOf(one->rows.first()));
        }
    }
    if (db::Status ended = reading.commit(); !ended)
        return ended.error();
    int gone = 0;
    for (qint64 id : ids) {
        const auto found = byKey.constFind(id);
        if (found == byKey.cend())
            ++gone;
        else
            rows << *found;
    }
    if (missing)
        *missing = gone;
    return rows;
}

db::Status writeSheetFile(const QString &path, const sheets::SheetRows &rows)
{
    switch (sheetKindOf(path)) {
    case SheetKind::Csv:
        return db::writePrivateFile(path, sheets::writeCsv(rows));
    case SheetKind::Xlsx:
        return sheets::writeXlsx(path, rows);
    case SheetKind::Unknown:
        break;
    }
    return db::Error{
        QStringLiteral("Il file %1 deve finire con .csv o .xlsx.").arg(QFileInfo(path).fileName())};
}

QString sheetFileName(const QString &chosen, const QString &extension)
{
    if (QFileInfo(chosen).fileName().contains(u'.'))
        return chosen;
    return chosen + extension;
}

QString sheetExportMessage(qsizetype written, int missing, const QString &path)
{
    QString text = written == 1 ? QStringLiteral("Esportato 1 contatto nel file %1.")
                                      .arg(QDir::toNativeSeparators(path))
                                : QStringLiteral("Esportati %1 contatti nel file %2.")
                                      .arg(written)
                                      .arg(QDir::toNativeSeparators(path));
    if (missing > 0)
        text += QStringLiteral("\n%1 contatti non sono più in archivio (eliminati da un'altra "
                               "postazione).")
                    .arg(missing);
    return text;
}

// calvetra-csv: the contacts in from a spreadsheet (CSV or .xlsx) and out to one, through the
// same code as the contact list's "Importa foglio…" and "Esporta foglio…".

#include "common/toolinfo.h"
#include "contacts/contactstore.h"
#include "contacts/sheetexport.h"
#include "contacts/sheetimport.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "db/datasets/dataset.h"
#include "sheets/csvfile.h"

#include <QCoreApplication>
#include <QFile>
#include <QTextStream>

namespace {

const char kUsage[] =
    "Uso:\n"
    "  calvetra-csv import ARCHIVIO FILE [--azione 1|2]\n"
    "        importa i contatti del FILE (.csv o .xlsx), riconoscendo le colonne dalla riga\n"
    "        d'intestazione; un contatto già presente è saltato (1, il modo predefinito) o\n"
    "        aggiornato (2); stampa quanti contatti sono nuovi, aggiornati, saltati e perché\n"
    "  calvetra-csv export ARCHIVIO [--filter FILTRO] [-o FILE]\n"
    "        scrive i contatti dell'elenco dei contatti, nel suo ordine, nel FILE (.csv o\n"
    "        .xlsx, secondo il nome) o, in CSV, sull'uscita standard; FILTRO scelto come nei\n"
    "        filtri dell'elenco (per esempio \"Cognome like 'Rossi*'\")\n"
    "  Esce con 0 quando è fatto, 1 quando non è stato possibile (nulla è scritto), 2 per un\n"
    "  uso errato.\n";

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

int fail(const QString &message)
{
    err() << message << Qt::endl;
    return 1;
}

int usage(const QString &message = {})
{
    if (!message.isEmpty())
        err() << message << Qt::endl;
    err() << kUsage;
    err().flush();
    return 2;
}

int importFile(const QStringList &args)
{
    QStringList positional;
    AzioneImportazioneVCard azione = AzioneImportazioneVCard::Salta;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--azione") {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("Manca il valore di --azione"));
            const QString value = args[++i];
            if (value == u"1")
                azione = AzioneImportazioneVCard::Salta;
            else if (value == u"2")
                azione = AzioneImportazioneVCard::Aggiorna;
            else
                return usage(
                    QStringLiteral("--azione vale 1 (salta) o 2 (aggiorna): %1").arg(value));
        } else if (args[i].startsWith(u"--")) {
            return usage(QStringLiteral("Argomento non previsto: %1").arg(args[i]));
        } else {
            positional << args[i];
        }
    }
    if (positional.size() != 2)
        return usage();
    if (sheetKindOf(positional[1]) == SheetKind::Unknown)
        return usage(QStringLiteral("Il file deve finire con .csv o .xlsx: %1").arg(positional[1]));
    const db::Result<sheets::SheetRows> rows = readSheetFile(positional[1]);
    if (!rows)
        return fail(rows.message());
    auto connection = db::openArchive(positional[0]);
    if (!connection)
        return fail(connection.message());
    const db::Result<SheetImportSummary> done =
        importSheet(**connection, *rows, {}, azione, db::clock::today());
    if (!done)
        return fail(done.message());
    QTextStream(stdout) << done->testo() << Qt::endl;
    return 0;
}

int exportFile(const QStringList &args)
{
    QString archive, filter, output;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const bool takesValue = args[i] == u"--filter" || args[i] == u"-o";
        if (takesValue) {
            if (i + 1 >= args.size())
                return usage(QStringLiteral("Manca il valore di %1").arg(args[i]));
            (args[i] == u"-o" ? output : filter) = args[i + 1];
            ++i;
        } else if (args[i].startsWith(u'-') || !archive.isEmpty()) {
            return usage(QStringLiteral("Argomento non previsto: %1").arg(args[i]));
        } else {
            archive = args[i];
        }
    }
    if (archive.isEmpty())
        return usage();
    if (!output.isEmpty() && sheetKindOf(output) == SheetKind::Unknown)
        return usage(QStringLiteral("Il file deve finire con .csv o .xlsx: %1").arg(output));
    auto connection = db::openArchive(archive);
    if (!connection)
        return fail(connection.message());
    // The contact list's rows, in its order and with its filter, as the window lists them.
    db::DataSet list(**connection);
    list.setSql(ContactStore::contactListSql());
    if (db::Status opened = list.open(); !opened)
        return fail(opened.message());
    if (db::Status filtered = list.setFilter(filter); !filtered)
        return fail(filtered.message());
    const int key = list.columnIndex(u"Ide");
    if (key < 0)
        return fail(QStringLiteral("Manca la chiave dei contatti nell'elenco."));
    QList<qint64> ids;
    ids.reserve(list.recordCount());
    for (int r = 0; r < list.recordCount(); ++r)
        ids << list.valueAt(r, key).toLongLong();
    int missing = 0;
    const db::Result<sheets::SheetRows> rows = contactSheetRows(**connection, ids, &missing);
    if (!rows)
        return fail(rows.message());
    if (output.isEmpty()) {
        const QByteArray bytes = sheets::writeCsv(*rows);
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size() ||
            !out.flush())
            return fail(QStringLiteral("Impossibile scrivere sull'uscita standard."));
        return 0;
    }
    if (db::Status written = writeSheetFile(output, *rows); !written)
        return fail(written.message());
    err() << sheetExportMessage(rows->size() - 1, missing, output) << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerHelpOrVersion(
            argc, argv, QStringLiteral("calvetra-csv"), QString::fromUtf8(kUsage)))
        return *answered;
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    if (args[0] == u"import")
        return importFile(args.mid(1));
    if (args[0] == u"export")
        return exportFile(args.mid(1));
    return usage(QStringLiteral("Comando sconosciuto: %1").arg(args[0]));
}

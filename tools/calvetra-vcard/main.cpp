// calvetra-vcard: the vCard export and import of the contact list, from the command line, for
// scripts and for moving contacts between offices.

#include "common/toolinfo.h"
#include "contacts/vcardexport.h"
#include "contacts/vcardimport.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "vcard/vcardreader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

namespace {

const char kUsage[] =
    "Uso:\n"
    "  calvetra-vcard export ARCHIVIO ID [ID...] [-o FILE]\n"
    "        scrive le Vcard dei contatti con quelle chiavi, nell'ordine dato, nel FILE\n"
    "        (o sull'uscita standard)\n"
    "  calvetra-vcard import ARCHIVIO FILE [--azione 1|2]\n"
    "        importa le Vcard del FILE; un contatto già presente è saltato (1, il modo\n"
    "        predefinito) o aggiornato (2); stampa quanti contatti sono nuovi, aggiornati,\n"
    "        saltati\n";

int fail(const QString &message)
{
    QTextStream(stderr) << message << Qt::endl;
    return 1;
}

int usage()
{
    QTextStream(stderr) << kUsage;
    return 2;
}

int exportCards(const QStringList &args)
{
    QString archive, output;
    QList<qint64> ids;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"-o" && i + 1 < args.size() && output.isEmpty()) {
            output = args[++i];
        } else if (archive.isEmpty()) {
            archive = args[i];
        } else {
            bool number = false;
            const qint64 id = args[i].toLongLong(&number);
            if (!number || id <= 0)
                return fail(QStringLiteral("Chiave di contatto non valida: %1").arg(args[i]));
            ids << id;
        }
    }
    if (archive.isEmpty() || ids.isEmpty())
        return usage();
    auto connection = db::openArchive(archive);
    if (!connection)
        return fail(connection.message());
    const db::Result<EsportazioneVCard> exported = esportaVCard(**connection, ids);
    if (!exported)
        return fail(exported.message());
    if (!exported->notFound.isEmpty()) {
        QStringList keys;
        for (qint64 id : exported->notFound)
            keys << QString::number(id);
        return fail(QStringLiteral("Nessun contatto con la chiave %1: nessun file scritto.")
                        .arg(keys.join(QStringLiteral(", "))));
    }
    if (output.isEmpty()) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) ||
            out.write(exported->file) != exported->file.size() || !out.flush())
            return fail(QStringLiteral("Impossibile scrivere sull'uscita standard."));
        return 0;
    }
    if (db::Status written = scriviFileVCard(output, exported->file); !written)
        return fail(written.message());
    return 0;
}

int importCards(const QStringList &args)
{
    QStringList positional;
    AzioneImportazioneVCard azione = AzioneImportazioneVCard::Salta;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == u"--azione" && i + 1 < args.size()) {
            const QString value = args[++i];
            if (value == u"1")
                azione = AzioneImportazioneVCard::Salta;
            else if (value == u"2")
                azione = AzioneImportazioneVCard::Aggiorna;
            else
                return usage();
        } else if (args[i].startsWith(u"--")) {
            return usage();
        } else {
            positional << args[i];
        }
    }
    if (positional.size() != 2)
        return usage();
    auto connection = db::openArchive(positional[0]);
    if (!connection)
        return fail(connection.message());
    const db::Result<QList<DatiVCard>> cards = LeggiVCardFile(positional[1]);
    if (!cards)
        return fail(cards.message());
    if (cards->isEmpty()) {
        return fail(QStringLiteral("Il file %1 non contiene nessuna Vcard.")
                        .arg(QFileInfo(positional[1]).fileName()));
    }
    // Nobody to ask: the action is given on the command line.
    const db::Result<RiepilogoImportazioneVCard> done =
        importaVCard(**connection, *cards, azione, {}, db::clock::today());
    if (!done)
        return fail(done.message());
    QTextStream(stdout) << done->testo() << Qt::endl;
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerHelpOrVersion(
            argc, argv, QStringLiteral("calvetra-vcard"), QString::fromUtf8(kUsage)))
        return *answered;
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty())
        return usage();
    if (args[0] == u"export")
        return exportCards(args.mid(1));
    if (args[0] == u"import")
        return importCards(args.mid(1));
    return usage();
}

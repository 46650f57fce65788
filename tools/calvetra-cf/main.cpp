// calvetra-cf: checks codici fiscali and partite IVA from the command line and tells what a
// personal code encodes.

#include "common/dates.h"
#include "common/toolinfo.h"
#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "schema/referencedata.h"
#include "taxcode/codicefiscale.h"

#include <QCoreApplication>
#include <QTextStream>

#include <memory>

namespace {

const char kUsage[] =
    "Uso:\n"
    "  calvetra-cf [--archivio ARCHIVIO] CODICE [CODICE...]\n"
    "        dice per ogni codice fiscale (16 caratteri o 11 cifre) o partita IVA (11 cifre,\n"
    "        anche con IT davanti) se è valido e, di un codice personale, la data di nascita,\n"
    "        il sesso e il luogo di nascita (codice catastale e comune, dall'elenco nazionale o,\n"
    "        con --archivio, dai comuni dell'archivio). Esce con 0 quando tutti i codici\n"
    "        sono validi, 1 quando almeno uno non lo è, 2 per una riga di comando errata o un\n"
    "        archivio che non si apre.\n";

int usage(int code)
{
    (code == 0 ? QTextStream(stdout) : QTextStream(stderr)) << kUsage;
    return code;
}

// "comune F205 Milano (MI)": from the archive's municipalities when there is one, else from the
// national list the program ships.
QString place(const TaxCodeCheck &check, db::Connection *archive)
{
    if (check.bornAbroad())
        return QStringLiteral("stato estero %1").arg(check.placeCode);
    QString text = QStringLiteral("comune %1").arg(check.placeCode);
    if (!archive) {
        const std::optional<schema::ShippedMunicipality> shipped =
            schema::shippedMunicipality(check.placeCode);
        if (!shipped)
            return text + QStringLiteral(" (non presente nell'elenco dei comuni)");
        return text + QStringLiteral(" %1 (%2)").arg(shipped->name, shipped->sigla);
    }
    const db::Result<db::RowSet> found = archive->runNative(
        QStringLiteral("SELECT Comune, Provincia FROM Comuni WHERE CODICE_F = ? ORDER BY ID"),
        {check.placeCode});
    if (!found || found->rows.isEmpty())
        return text + QStringLiteral(" (non presente nell'archivio)");
    text += u' ' + found->value(0, u"Comune").toString();
    const QString provincia = found->value(0, u"Provincia").toString();
    if (!provincia.isEmpty())
        text += QStringLiteral(" (%1)").arg(provincia);
    return text;
}

QString describe(const QString &argument, db::Connection *archive)
{
    const QString code = normalizedTaxCode(argument);
    const TaxCodeCheck check = code.startsWith(u"IT") && code.size() == 13
                                   ? checkPartitaIva(code)
                                   : checkCodiceFiscale(code, db::clock::today());
    QStringList fields{code.isEmpty() ? QStringLiteral("(vuoto)") : code};
    if (check.kind == TaxCodeCheck::Kind::Empty)
        return (fields << QStringLiteral("non valido") << QStringLiteral("codice vuoto"))
            .join(u'\t');
    if (!check.valid)
        return (fields << QStringLiteral("non valido") << check.reason).join(u'\t');
    fields << QStringLiteral("valido");
    if (check.kind == TaxCodeCheck::Kind::Numeric) {
        fields << QStringLiteral("codice numerico");
    } else {
        fields << QStringLiteral("nascita %1").arg(ScriviDataItaliana(check.birthDate))
               << QStringLiteral("sesso %1").arg(check.sex) << place(check, archive);
    }
    return fields.join(u'\t');
}

} // namespace

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerHelpOrVersion(
            argc, argv, QStringLiteral("calvetra-cf"), QString::fromUtf8(kUsage)))
        return *answered;
    QCoreApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    QString archivePath;
    QStringList codes;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (optionsEnded || !args[i].startsWith(u"-"))
            codes << args[i];
        else if (args[i] == u"-h" || args[i] == u"--help")
            return usage(0);
        else if (args[i] == u"--archivio" && i + 1 < args.size() && archivePath.isEmpty())
            archivePath = args[++i];
        else if (args[i] == u"--")
            optionsEnded = true;
        else
            return usage(2);
    }
    if (codes.isEmpty())
        return usage(2);
    std::unique_ptr<db::Connection> archive;
    if (!archivePath.isEmpty()) {
        auto opened = db::openArchiveToRead(archivePath);
        if (!opened) {
            QTextStream(stderr) << opened.message() << Qt::endl;
            return 2;
        }
        archive = std::move(*opened);
    }
    QTextStream out(stdout);
    int status = 0;
    for (const QString &code : codes) {
        const QString line = describe(code, archive.get());
        out << line << Qt::endl;
        if (line.section(u'\t', 1, 1) != u"valido")
            status = 1;
    }
    return status;
}

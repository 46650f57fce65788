// A person's data on request and their erasure, through calvetra-privacy as an office runs it:
// the copy holds every datum of the person and nothing of anybody else; after the erasure no
// byte of the person is left in the archive's files, and everybody else is as before.

#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <sys/stat.h>

namespace {

// The person, with texts found nowhere else in the archive.
const QString kSurname = QStringLiteral("Quarantotti");
const QString kName = QStringLiteral("Ersilia");
const QString kTaxCode = QStringLiteral("QRNRSL70A41D704X");
const QString kNote = QStringLiteral("Preferisce essere chiamata dopo le diciotto");
const QString kPayment = QStringLiteral("Saldo parcella dichiarazione Quarantotti");
const QString kAppointment = QStringLiteral("Firma del rogito in studio");
// Somebody else.
const QString kOtherSurname = QStringLiteral("Bellavista");
const QString kOtherPayment = QStringLiteral("Acconto Bellavista");

struct Office
{
    FreshArchive archive;
    qint64 person = 0;
    qint64 other = 0;

    Office()
    {
        const auto town = [&](const char *name) {
            return archive
                .native(QStringLiteral("select ID from Comuni where Comune = ?"),
                        {QString::fromUtf8(name)})
                .rows[0][0];
        };
        archive.native(QStringLiteral("insert into Categorie (Id, Descrizione, ColoreCategoria) "
                                      "values (31, 'Clienti dello studio', 255)"));
        archive.native(
            QStringLiteral("insert into Professioni (Id, Descrizione) values (32, 'Notaio')"));
        archive.native(
            QStringLiteral("insert into Titoli (Id, Descrizione) values (33, 'Dott.ssa')"));
        const QString contact = QStringLiteral(
            "insert into Contatti (ID, Cognome, Nome, NominativoDocumenti, "
            "NominativoVisualizzato, Sesso, Categoria_ID, Professione_id, Titolo_id, Telefono, "
            "email, Citta_ID, Indirizzo, Numero, Cap, CFisc, DataNascita, LuogoNascita_Id, Note, "
            "PrivacyFirmata, Annullato) values (?, ?, ?, ?, ?, 'F', 31, 32, 33, ?, ?, ?, ?, ?, "
            "?, ?, '1970-01-01 00:00:00', ?, ?, ?, false)");
        person = 501;
        archive.native(contact,
                       {person, kSurname, kName, kSurname + u' ' + kName, kSurname + u' ' + kName,
                        "0543 998877", "ersilia@quarantotti.it", town("Forlì"), "Via dei Mille",
                        "12", "47121", kTaxCode, town("Forlì"), kNote, true});
        other = 502;
        archive.native(contact,
                       {other, kOtherSurname, "Gino", kOtherSurname + QStringLiteral(" Gino"),
                        kOtherSurname + QStringLiteral(" Gino"), "06 1", "gino@bellavista.it",
                        town("Roma"), "Via Appia", "1", "00184", "BLLGNI60A01H501X", town("Roma"),
                        "Cliente storico", false});
        const QString payment = QStringLiteral(
            "insert into Pagamenti (Contatto_ID, data, Descrizione, Importo) values (?, ?, ?, ?)");
        archive.native(payment, {person, "2026-03-02 00:00:00", kPayment, 1250.5});
        archive.native(payment, {person, "2026-04-02 00:00:00", "Seconda rata", 300});
        archive.native(payment, {other, "2026-03-05 00:00:00", kOtherPayment, 99});
        const QString appointment =
            QStringLiteral("insert into Calendario (Data, DataAvviso, Cliente_ID, Cliente, "
                           "TipologiaCalendario, Note, Conclusa, Storico) values (?, ?, ?, ?, "
                           "'Incontro', ?, false, false)");
        archive.native(appointment, {"2026-12-15 10:30:00", "2026-12-14 00:00:00", person,
                                     kSurname + u' ' + kName, kAppointment});
        archive.native(appointment, {"2026-12-16 09:00:00", QVariant(), other,
                                     kOtherSurname + QStringLiteral(" Gino"), "Ritiro documenti"});
        // Scratch rows that name the person: a notice recipient, the privacy form's job.
        archive.native(QStringLiteral("insert into TempAvvisiContatti (NomeComputer, "
                                      "Contatto_ID) values ('PC1', ?), ('PC2', ?)"),
                       {person, other});
        archive.native(
            QStringLiteral("insert into TempStampa (NomeComputer, Query) values "
                           "('PC1', ?)"),
            {QStringLiteral("SELECT * FROM Contatti Where Contatti.Id = %1").arg(person)});
        // The copy the phones' sync agreed on.
        archive.native(QStringLiteral("CREATE TABLE IF NOT EXISTS SincroniaElementi (Tipo TEXT "
                                      "NOT NULL, Locale INTEGER NOT NULL, Href TEXT NOT NULL, "
                                      "ETag TEXT, Accordato TEXT, PRIMARY KEY (Tipo, Locale))"));
        archive.native(QStringLiteral("insert into SincroniaElementi (Tipo, Locale, Href, ETag, "
                                      "Accordato) values ('contatti', ?, '/c/501.vcf', 'e1', ?)"),
                       {person, QStringLiteral("BEGIN:VCARD\r\nN:%1;%2;;;\r\nNOTE:%3\r\n"
                                               "END:VCARD\r\n")
                                    .arg(kSurname, kName, kNote)});
    }

    ToolRun privacy(const QStringList &arguments, const QByteArray &input = {})
    {
        return runTool(QStringLiteral("calvetra-privacy"), QStringList{archive.path()} + arguments,
                       input, 120);
    }
    int count(const QString &sql) { return archive.native(sql).rows.value(0).value(0).toInt(); }
};

unsigned modeOf(const QString &path)
{
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? unsigned(st.st_mode & 0777) : 0;
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-raw"), pdf, QStringLiteral("-")});
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

} // namespace

class TestPrivacy : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theCopyHoldsThePersonAndNobodyElse()
    {
        Office o;
        QTemporaryDir dir;
        const QString json = dir.filePath(QStringLiteral("dati.json"));
        const ToolRun run = o.privacy(
            {QStringLiteral("--esporta"), QString::number(o.person), QStringLiteral("-o"), json});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(QStringLiteral("2 pagamenti, 1 appuntamenti")));
        QCOMPARE(modeOf(json), 0600U);
        QFile file(json);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        const QJsonObject root = QJsonDocument::fromJson(bytes).object();
        const QJsonObject contact = root.value(u"contatto").toObject();
        QCOMPARE(contact.value(u"Cognome").toString(), kSurname);
        QCOMPARE(contact.value(u"Codice fiscale").toString(), kTaxCode);
        QCOMPARE(contact.value(u"Comune").toString(), QStringLiteral("Forlì"));
        QCOMPARE(contact.value(u"Luogo di nascita").toString(), QStringLiteral("Forlì"));
        QCOMPARE(contact.value(u"Categoria").toString(), QStringLiteral("Clienti dello studio"));
        QCOMPARE(contact.value(u"Professione").toString(), QStringLiteral("Notaio"));
        QCOMPARE(contact.value(u"Titolo").toString(), QStringLiteral("Dott.ssa"));
        QCOMPARE(contact.value(u"Sesso").toString(), QStringLiteral("Femmina"));
        QCOMPARE(contact.value(u"Data di nascita").toString(), QStringLiteral("1970-01-01"));
        QCOMPARE(contact.value(u"Note").toString(), kNote);
        QCOMPARE(root.value(u"consensoPrivacy").toBool(), true);
        const QJsonArray payments = root.value(u"pagamenti").toArray();
        QCOMPARE(payments.size(), 2);
        QCOMPARE(payments[0].toObject().value(u"descrizione").toString(), kPayment);
        QCOMPARE(payments[0].toObject().value(u"importo").toDouble(), 1250.5);
        const QJsonArray appointments = root.value(u"appuntamenti").toArray();
        QCOMPARE(appointments.size(), 1);
        QCOMPARE(appointments[0].toObject().value(u"note").toString(), kAppointment);
        QCOMPARE(appointments[0].toObject().value(u"data").toString(),
                 QStringLiteral("2026-12-15T10:30:00"));
        for (const QString &foreign : {kOtherSurname, kOtherPayment, QStringLiteral("Roma")})
            QVERIFY2(!bytes.contains(foreign.toUtf8()), qPrintable(foreign));

        // For the person: the same, printed.
        const QString pdf = dir.filePath(QStringLiteral("dati.pdf"));
        const ToolRun printed = o.privacy(
            {QStringLiteral("--esporta"), QString::number(o.person), QStringLiteral("-o"), pdf});
        QVERIFY2(printed.exitCode == 0, qPrintable(printed.err));
        QCOMPARE(modeOf(pdf), 0600U);
        const QString text = pdfText(pdf);
        for (const QString &own : {kSurname, kTaxCode, kNote, kPayment, kAppointment,
                                   QStringLiteral("Forlì (FC)"), QStringLiteral("1.250,50 €"),
                                   QStringLiteral("Pagamenti"), QStringLiteral("Appuntamenti")})
            QVERIFY2(text.contains(own), qPrintable(own + u'\n' + text));
        for (const QString &foreign : {kOtherSurname, kOtherPayment})
            QVERIFY2(!text.contains(foreign), qPrintable(foreign));
        // The archive keeps nothing of the copy.
        QCOMPARE(o.count(QStringLiteral("select count(*) from TempStampa")), 1);
    }

    void erasureLeavesNoByteOfThePerson()
    {
        Office o;
        const ToolRun run = o.privacy({QStringLiteral("--cancella"), QString::number(o.person),
                                       QStringLiteral("--conferma")});
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains(QStringLiteral("2 pagamenti")) &&
                     run.out.contains(QStringLiteral("1 appuntamento")) &&
                     run.out.contains(QStringLiteral("2 righe di lavoro")),
                 qPrintable(run.out));
        QCOMPARE(o.count(QStringLiteral("select count(*) from Contatti where ID = 501")), 0);
        QCOMPARE(o.count(QStringLiteral("select count(*) from Pagamenti where Contatto_ID = 501")),
                 0);
        QCOMPARE(o.count(QStringLiteral("select count(*) from Calendario where Cliente_ID = 501")),
                 0);
        QCOMPARE(o.count(QStringLiteral("select count(*) from TempAvvisiContatti")), 1);
        QCOMPARE(o.count(QStringLiteral("select count(*) from TempStampa")), 0);
        // The sync keeps the address on the server, to delete the card there, and no copy.
        QCOMPARE(o.count(QStringLiteral("select count(*) from SincroniaElementi where "
                                        "Accordato = ''")),
                 1);
        // Everybody else as before.
        QCOMPARE(o.count(QStringLiteral("select count(*) from Contatti where ID = 502")), 1);
        QCOMPARE(o.count(QStringLiteral("select count(*) from Pagamenti where Contatto_ID = 502")),
                 1);
        QCOMPARE(o.count(QStringLiteral("select count(*) from Calendario where Cliente_ID = 502")),
                 1);
        if (FreshArchive::onServer()) {
            QVERIFY2(run.out.contains(QStringLiteral("VACUUM")), qPrintable(run.out));
            return;
        }
        QCOMPARE(
            runTool(QStringLiteral("calvetra-sql"), {QStringLiteral("--check"), o.archive.path()})
                .exitCode,
            0);
        // Not a byte of the person in the archive's files.
        const QDir folder(o.archive.folder());
        const QString base = QFileInfo(o.archive.path()).fileName();
        const QStringList files = folder.entryList({base + u'*'}, QDir::Files);
        QVERIFY(files.contains(base));
        for (const QString &name : files) {
            QFile file(folder.filePath(name));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            for (const QString &own : {kSurname, kTaxCode, kNote, kPayment, kAppointment,
                                       QStringLiteral("ersilia@quarantotti.it")})
                QVERIFY2(!bytes.contains(own.toUtf8()),
                         qPrintable(QStringLiteral("%1 in %2").arg(own, name)));
            if (name == base)
                QVERIFY(bytes.contains(kOtherPayment.toUtf8()));
        }
    }

    void refusals()
    {
        Office o;
        const QString id = QString::number(o.person);
        for (const QByteArray &answer : {QByteArray("n\n"), QByteArray()}) {
            const ToolRun refused = o.privacy({QStringLiteral("--cancella"), id}, answer);
            QCOMPARE(refused.exitCode, 1);
            QVERIFY(refused.out.contains(QStringLiteral("Continuare? [s/N]")));
            QVERIFY(refused.out.contains(kSurname));
            QVERIFY(refused.err.contains(QStringLiteral("Nulla è stato cancellato")));
        }
        QCOMPARE(o.count(QStringLiteral("select count(*) from Contatti where ID = 501")), 1);
        QCOMPARE(o.count(QStringLiteral("select count(*) from Pagamenti where Contatto_ID = 501")),
                 2);

        const ToolRun unknown = o.privacy(
            {QStringLiteral("--cancella"), QStringLiteral("999"), QStringLiteral("--conferma")});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY(unknown.err.contains(QStringLiteral("Nessun contatto ha il codice 999")));
        QTemporaryDir dir;
        const ToolRun noOne = o.privacy({QStringLiteral("--esporta"), QStringLiteral("999"),
                                         QStringLiteral("-o"), dir.filePath("x.json")});
        QCOMPARE(noOne.exitCode, 1);
        QVERIFY(!QFile::exists(dir.filePath("x.json")));
        const ToolRun badKind = o.privacy(
            {QStringLiteral("--esporta"), id, QStringLiteral("-o"), dir.filePath("x.txt")});
        QCOMPARE(badKind.exitCode, 1);
        QVERIFY(badKind.err.contains(QStringLiteral(".json")));

        for (const QStringList &wrong :
             {QStringList{}, QStringList{QStringLiteral("--cancella")},
              QStringList{QStringLiteral("--cancella"), QStringLiteral("x")},
              QStringList{QStringLiteral("--esporta"), id},
              QStringList{QStringLiteral("--esporta"), id, QStringLiteral("--cancella"), id},
              QStringList{QStringLiteral("--cancella"), id, QStringLiteral("-o"), "f.json"}})
            QCOMPARE(o.privacy(wrong).exitCode, 2);
        QCOMPARE(o.count(QStringLiteral("select count(*) from Contatti where ID = 501")), 1);
    }

    // The runner's rows files: anything but one is refused, and no PDF is left.
    void theRunnerRefusesWhatIsNotARowsFile()
    {
        Office o;
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("x.pdf"));
        const auto print = [&](const QByteArray &bytes) {
            const QString rows = dir.filePath(QStringLiteral("righe.json"));
            QFile file(rows);
            if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
                qFatal("cannot write the rows file");
            file.close();
            return runTool(QStringLiteral("stampa"),
                           {QStringLiteral("--archive"), o.archive.path(), QStringLiteral("--dati"),
                            rows, QStringLiteral("--layout"), QStringLiteral("DatiPersonali.rpt"),
                            QStringLiteral("--pdf"), pdf},
                           {}, 60);
        };
        for (const QByteArray &bad :
             {QByteArray("%PDF-1.4 binario"),
              QByteArray("{\"calvetraRows\": 2, \"columns\": [], \"rows\": []}"),
              QByteArray("{\"calvetraRows\": 1, \"columns\": [\"A\", \"B\"], \"rows\": [[1]]}"),
              QByteArray(
                  "{\"calvetraRows\": 1, \"columns\": [\"A\"], \"rows\": [[{\"x\": 1}]]}")}) {
            const ToolRun run = print(bad);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(QStringLiteral("non si può usare")), qPrintable(run.err));
            QVERIFY(!QFile::exists(pdf));
        }
        const ToolRun half = runTool(QStringLiteral("stampa"),
                                     {QStringLiteral("--dati"), dir.filePath(QStringLiteral("r")),
                                      QStringLiteral("--pdf"), pdf});
        QCOMPARE(half.exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestPrivacy)
#include "tst_privacy.moc"

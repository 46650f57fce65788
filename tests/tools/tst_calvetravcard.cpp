// calvetra-vcard as a user runs it: a separate process, its output and its exit code.

#include "testsupport.h"
#include "vobjectcheck.h"

#include <QFile>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

namespace {

struct Run
{
    int exitCode;
    QByteArray out;
    QString err;
};

Run calvetraVcard(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(CALVETRA_BIN_DIR "/calvetra-vcard"), arguments);
    if (!process.waitForFinished(30000))
        return {-1, {}, QStringLiteral("timeout")};
    return {process.exitCode(), process.readAllStandardOutput(),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct Office
{
    FreshArchive archive;
    Office()
    {
        const QString contact = QStringLiteral(
            "insert into Contatti (ID, RagioneSociale, Cognome, Nome, NominativoDocumenti) "
            "values (?, ?, ?, ?, ?)");
        archive.native(contact, {1, QVariant(), "Rossi", "Mario", "Rossi Mario"});
        archive.native(contact,
                       {2, "Bianchi Impianti", QVariant(), QVariant(), "Bianchi Impianti"});
    }
    QString file(const QString &name) const { return archive.folder() + u'/' + name; }
};

} // namespace

class TestCalvetraVcard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void exportsTheContactsInTheOrderGiven()
    {
        Office o;
        const QString path = o.file(QStringLiteral("uscita.vcf"));
        const Run toFile =
            calvetraVcard({QStringLiteral("export"), o.archive.path(), QStringLiteral("2"),
                           QStringLiteral("1"), QStringLiteral("-o"), path});
        QCOMPARE(toFile.exitCode, 0);
        const QByteArray written = readAll(path);
        QString error;
        const QJsonArray cards = vobjectCards(written, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(cards[0][QStringLiteral("fn")].toString(), QStringLiteral("Bianchi Impianti"));
        QCOMPARE(cards[1][QStringLiteral("fn")].toString(), QStringLiteral("Mario Rossi"));
        const Run toOutput = calvetraVcard(
            {QStringLiteral("export"), o.archive.path(), QStringLiteral("2"), QStringLiteral("1")});
        QCOMPARE(toOutput.exitCode, 0);
        QCOMPARE(toOutput.out, written);

        const Run unknown = calvetraVcard({QStringLiteral("export"), o.archive.path(),
                                           QStringLiteral("1"), QStringLiteral("9"),
                                           QStringLiteral("-o"), o.file(QStringLiteral("no.vcf"))});
        QCOMPARE(unknown.exitCode, 1);
        QVERIFY(unknown.err.startsWith(QStringLiteral("Nessun contatto con la chiave 9")));
        QVERIFY(!QFile::exists(o.file(QStringLiteral("no.vcf"))));
        QCOMPARE(calvetraVcard({QStringLiteral("export"), o.archive.path(), QStringLiteral("x")})
                     .exitCode,
                 1);
    }

    void importsSkippingOrUpdating()
    {
        Office o;
        const QString path = o.file(QStringLiteral("entrata.vcf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("BEGIN:VCARD\nVERSION:3.0\nN:Rossi;Mario;;;\nTEL:06 1\nEND:VCARD\n"
                   "BEGIN:VCARD\nVERSION:3.0\nN:Neri;Nero;;;\nEND:VCARD\n");
        file.close();
        const Run skipping = calvetraVcard({QStringLiteral("import"), o.archive.path(), path});
        QCOMPARE(skipping.exitCode, 0);
        QCOMPARE(skipping.out, QByteArray("1 nuovi, 0 aggiornati, 1 saltati\n"));
        const Run updating = calvetraVcard({QStringLiteral("import"), o.archive.path(), path,
                                            QStringLiteral("--azione"), QStringLiteral("2")});
        QCOMPARE(updating.out, QByteArray("0 nuovi, 2 aggiornati, 0 saltati\n"));
        QCOMPARE(o.archive.run(QStringLiteral("select Telefono from Contatti where ID = 1"))
                     .value(0, u"Telefono"),
                 QVariant(QStringLiteral("06 1")));
    }

    void refusesWhatItCannotRead()
    {
        Office o;
        const QString empty = o.file(QStringLiteral("vuoto.vcf"));
        QFile file(empty);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("nessuna scheda qui\n");
        file.close();
        const Run noCards = calvetraVcard({QStringLiteral("import"), o.archive.path(), empty});
        QCOMPARE(noCards.exitCode, 1);
        QCOMPARE(noCards.err, QStringLiteral("Il file vuoto.vcf non contiene nessuna Vcard.\n"));
        const Run missing = calvetraVcard(
            {QStringLiteral("import"), o.archive.path(), o.file(QStringLiteral("manca.vcf"))});
        QCOMPARE(missing.exitCode, 1);
        QVERIFY(missing.err.startsWith(QStringLiteral("Impossibile leggere il file manca.vcf")));
        const Run notAnArchive = calvetraVcard({QStringLiteral("import"), empty, empty});
        QCOMPARE(notAnArchive.exitCode, 1);
        QVERIFY(!notAnArchive.err.isEmpty());
        QCOMPARE(calvetraVcard({QStringLiteral("import"), o.archive.path(), empty,
                                QStringLiteral("--azione"), QStringLiteral("0")})
                     .exitCode,
                 2);
        QCOMPARE(calvetraVcard({}).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestCalvetraVcard)
#include "tst_calvetravcard.moc"

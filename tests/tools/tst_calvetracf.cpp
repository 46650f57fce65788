// calvetra-cf as a user runs it: a separate process, its lines and its exit code.

#include "testsupport.h"

#include <QProcess>
#include <QTest>

namespace {

struct Run
{
    int exitCode;
    QStringList lines;
    QString err;
};

Run calvetraCf(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(CALVETRA_BIN_DIR "/calvetra-cf"), arguments);
    if (!process.waitForFinished(30000))
        return {-1, {}, QStringLiteral("timeout")};
    return {process.exitCode(),
            QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class TestCalvetraCf : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyCodeValidExitsZero()
    {
        const Run run =
            calvetraCf({QStringLiteral("rssmra85t10 h501o"), QStringLiteral("IT01234560017"),
                        QStringLiteral("01234560017"), QStringLiteral("DRSGFR84B29Z404F")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(
            run.lines,
            QStringList({
                QStringLiteral(
                    "RSSMRA85T10H501O\tvalido\tnascita 10/12/1985\tsesso M\tcomune H501 Roma (RM)"),
                QStringLiteral("IT01234560017\tvalido\tcodice numerico"),
                QStringLiteral("01234560017\tvalido\tcodice numerico"),
                QStringLiteral(
                    "DRSGFR84B29Z404F\tvalido\tnascita 29/02/1984\tsesso M\tstato estero Z404"),
            }));
    }

    void oneCodeNotValidExitsOne()
    {
        const Run run = calvetraCf(
            {QStringLiteral("DNGLCU80A41F205O"), QStringLiteral("DNGLCU80A41F205K"), QString()});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(
            run.lines,
            QStringList({
                QStringLiteral("DNGLCU80A41F205O\tvalido\tnascita 01/01/1980\tsesso F\tcomune F205 "
                               "Milano (MI)"),
                QStringLiteral(
                    "DNGLCU80A41F205K\tnon valido\tcarattere di controllo errato: atteso O"),
                QStringLiteral("(vuoto)\tnon valido\tcodice vuoto"),
            }));
    }

    // Without an archive the national list names the place; a code it does not hold says so.
    void theShippedListNamesTheMunicipality()
    {
        const Run run =
            calvetraCf({QStringLiteral("RSSMRA85T10D969T"), QStringLiteral("RSSMRA85T10A000W")});
        QCOMPARE(run.lines.value(0).section(u'\t', 4), QStringLiteral("comune D969 Genova (GE)"));
        QCOMPARE(run.lines.value(1).section(u'\t', 4),
                 QStringLiteral("comune A000 (non presente nell'elenco dei comuni)"));
        QCOMPARE(run.exitCode, 0);
    }

    void theArchiveNamesTheMunicipality()
    {
        FreshArchive archive;
        archive.native(QStringLiteral("UPDATE Comuni SET CODICE_F = NULL WHERE CODICE_F = 'L219'"));
        const Run run = calvetraCf(
            {QStringLiteral("--archivio"), archive.path(), QStringLiteral("DNGLCU80A41F205O"),
             QStringLiteral("RSSMRA85T10L219G"), QStringLiteral("DRSGFR84B29Z404F")});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.lines.value(0).section(u'\t', 4), QStringLiteral("comune F205 Milano (MI)"));
        QCOMPARE(run.lines.value(1).section(u'\t', 4),
                 QStringLiteral("comune L219 (non presente nell'archivio)"));
        QCOMPARE(run.lines.value(2).section(u'\t', 4), QStringLiteral("stato estero Z404"));
    }

    void wrongCommandLines()
    {
        QCOMPARE(calvetraCf({}).exitCode, 2);
        QCOMPARE(calvetraCf({QStringLiteral("--nonso"), QStringLiteral("01234560017")}).exitCode,
                 2);
        const Run missing =
            calvetraCf({QStringLiteral("--archivio"), QStringLiteral("/nessuna/cartella/a.sqlite"),
                        QStringLiteral("01234560017")});
        QCOMPARE(missing.exitCode, 2);
        QVERIFY(!missing.err.isEmpty());
        QVERIFY(missing.lines.isEmpty());
        QCOMPARE(calvetraCf({QStringLiteral("--help")}).exitCode, 0);
    }
};

QTEST_GUILESS_MAIN(TestCalvetraCf)
#include "tst_calvetracf.moc"

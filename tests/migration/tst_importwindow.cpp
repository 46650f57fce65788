// The progress window of an import: the summary at the end, "Annulla" that stops it with nothing
// written, a failure told as it is.

#include "migration/archiveimport.h"
#include "migration/windows/frmimportazione.h"
#include "testsupport.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

namespace {

const QString kSample = QStringLiteral(CALVETRA_TEST_DATA "/jet/data/archivio-esempio.mdb");

} // namespace

class TestImportWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theSummarySaysWhatCameAcross()
    {
        ScriptedDialogs dialogs;
        QTemporaryDir dir;
        const QString target = dir.filePath(QStringLiteral("archivio.sqlite"));
        TfrmImportazione window;
        const bool done = window.esegui(
            kSample,
            [&](const migration::ImportProgress &progress) -> db::Result<migration::ImportSummary> {
                return migration::importArchive(kSample, target, progress);
            });
        QVERIFY(done);
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.kinds.value(0), MessageKind::Information);
        QVERIFY(dialogs.messages[0].contains(QStringLiteral("Contatti: 40")));
        QVERIFY(dialogs.messages[0].contains(QStringLiteral("Non importato: tabella TempStampa")));
    }

    void annullaStopsItAndSaysSo()
    {
        ScriptedDialogs dialogs;
        TfrmImportazione window;
        bool stoppedByUser = false;
        connect(&window, &TfrmImportazione::started, this, [&] {
            QTimer::singleShot(50, &window, [&] {
                QVERIFY(window.progressWindow());
                QTest::mouseClick(window.progressWindow()->findChild<QPushButton *>(),
                                  Qt::LeftButton);
            });
        });
        const bool done = window.esegui(
            kSample,
            [&](const migration::ImportProgress &progress) -> db::Result<migration::ImportSummary> {
                // An import that reports its rows until it is told to stop.
                for (qint64 rows = 0; rows < 1000000; rows += 100) {
                    if (!progress(rows, 1000000)) {
                        stoppedByUser = true;
                        return db::Error{QStringLiteral("Importazione annullata: l'archivio nuovo "
                                                        "non è stato creato.")};
                    }
                    QThread::msleep(5);
                }
                return migration::ImportSummary{};
            });
        QVERIFY(!done);
        QVERIFY(stoppedByUser);
        QCOMPARE(dialogs.kinds.value(0), MessageKind::Error);
        QVERIFY(dialogs.messages.value(0).contains(QStringLiteral("annullata")));
        QVERIFY(!window.progressWindow());
    }

    void aFailureIsToldAsItIs()
    {
        ScriptedDialogs dialogs;
        TfrmImportazione window;
        QVERIFY(!window.esegui(
            kSample, [](const migration::ImportProgress &) -> db::Result<migration::ImportSummary> {
                return db::Error{QStringLiteral("Il file X è danneggiato.")};
            }));
        QCOMPARE(dialogs.messages.size(), 1);
        QVERIFY(dialogs.messages[0].contains(QStringLiteral("Il file X è danneggiato.")));
    }
};

QTEST_MAIN(TestImportWindow)
#include "tst_importwindow.moc"

#include "common/dialogs.h"
#include "common/widgets/detailwindow.h"
#include "testsupport.h"

#include <QTest>

namespace {

// A detail window whose save and leave checks answer as the test says.
class Window final : public DetailWindow
{
public:
    bool saveSucceeds = true;
    bool leavingAllowed = true;
    int saves = 0;

protected:
    bool save() override
    {
        ++saves;
        if (!saveSucceeds)
            dialogs().error(QStringLiteral("Attenzione manca la Descrizione"));
        return saveSucceeds;
    }
    bool mayLeave() override { return leavingAllowed; }
};

} // namespace

class TestDetailWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void indietroSavesOnlyAPendingChange()
    {
        Window w;
        w.show();
        w.spdIndietroClick();
        QCOMPARE(w.saves, 0);
        QVERIFY(!w.isVisible());
        w.show();
        w.setModified(true);
        w.spdIndietroClick();
        QCOMPARE(w.saves, 1);
        QVERIFY(!w.modified());
        QVERIFY(!w.isVisible());
    }

    void aRefusedSaveKeepsTheWindowOpenUntilASaveSucceeds()
    {
        ScriptedDialogs dialogs;
        Window w;
        w.show();
        w.setModified(true);
        w.saveSucceeds = false;
        w.spdIndietroClick();
        QVERIFY(w.isVisible());
        QVERIFY(w.saveRefused());
        QVERIFY(w.modified()); // what was typed is still to be saved
        QCOMPARE(dialogs.kinds, QList<MessageKind>{MessageKind::Error});
        w.spdIndietroClick();
        QCOMPARE(w.saves, 2);
        QVERIFY(w.isVisible());
        w.saveSucceeds = true;
        w.spdIndietroClick();
        QVERIFY(!w.saveRefused());
        QVERIFY(!w.isVisible());
    }

    void aSaveElsewhereEndsARefusal()
    {
        // The contact editor saves when its page changes: the refusal of an earlier "Indietro"
        // must not keep blocking the way out once nothing is pending.
        ScriptedDialogs dialogs;
        Window w;
        w.show();
        w.setModified(true);
        w.saveSucceeds = false;
        w.spdIndietroClick();
        QVERIFY(w.saveRefused());
        w.setModified(false);
        w.spdIndietroClick();
        QVERIFY(!w.isVisible());
    }

    void theLeaveCheckComesFirst()
    {
        Window w;
        w.show();
        w.setModified(true);
        w.leavingAllowed = false;
        w.spdIndietroClick();
        QCOMPARE(w.saves, 0);
        QVERIFY(w.isVisible());
        QVERIFY(w.modified());
    }

    void escapeAndTheCloseBoxAreIndietro()
    {
        ScriptedDialogs dialogs;
        Window w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.setModified(true);
        w.leavingAllowed = false;
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QCOMPARE(w.saves, 0);
        w.leavingAllowed = true;
        w.saveSucceeds = false;
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(w.isVisible());
        QCOMPARE(w.saves, 1);
        w.close();
        QVERIFY(w.isVisible());
        QCOMPARE(w.saves, 2);
        QVERIFY(w.modified());
        w.saveSucceeds = true;
        w.close();
        QVERIFY(!w.isVisible());
        QCOMPARE(w.saves, 3);
    }
};

QTEST_MAIN(TestDetailWindow)
#include "tst_detailwindow.moc"

#include "app/help/frmaiuto.h"
#include "app/help/help.h"
#include "app/help/helppages.h"
#include "common/widgets/inputconventions.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// A window with a field and an "Aiuto" button.
struct Window
{
    QWidget window;
    QLineEdit *field = new QLineEdit(&window);
    QPushButton *aiuto = new QPushButton(QStringLiteral("Aiuto"), &window);

    explicit Window(QVariant context, QWidget *parent = nullptr)
        : window(parent, parent ? Qt::Dialog : Qt::Window)
    {
        if (context.isValid())
            setHelpContext(&window, context.toInt());
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(field);
        layout->addWidget(aiuto);
        InputConventions::connectHelpButton(aiuto);
    }

    bool shown()
    {
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window))
            return false;
        field->setFocus();
        return QTest::qWaitFor([this] { return field->hasFocus(); });
    }
};

QString pageText(const QString &page)
{
    QFile file(help::pagePath(page));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// The targets of the page's links, as written.
QStringList links(const QString &page)
{
    QStringList found;
    static const QRegularExpression href(QStringLiteral("href\\s*=\\s*\"([^\"]*)\""));
    for (const QRegularExpressionMatch &m : href.globalMatch(pageText(page)))
        found.append(m.captured(1));
    return found;
}

} // namespace

class TestHelp : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        installHelp(qApp);
        installHelp(qApp);
    }

    void cleanup()
    {
        if (helpWindow())
            helpWindow()->close();
    }

    void aiutoOpensThePageOfTheWindowsContext()
    {
        Window main(1000);
        QVERIFY(main.shown());
        QTest::mouseClick(main.aiuto, Qt::LeftButton);
        TfrmAiuto *help = helpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->currentPage(), QStringLiteral("inizio.html"));
        QCOMPARE(help->windowTitle(), QStringLiteral("Aiuto - La finestra principale"));

        // One help window: another window's F1 turns its page.
        Window reminders(1020);
        QVERIFY(reminders.shown());
        QTest::keyClick(reminders.field, Qt::Key_F1);
        QCOMPARE(helpWindow(), help);
        QCOMPARE(help->currentPage(), QStringLiteral("promemoria.html"));
        QCOMPARE(help->windowTitle(), QStringLiteral("Aiuto - Promemoria Scadenze"));

        // F1 in the help window itself: how the program and its help are used.
        QTest::keyClick(help, Qt::Key_F1);
        QCOMPARE(help->currentPage(), QStringLiteral("convenzioni.html"));
    }

    void contextsWithoutAPageShowTheIndex()
    {
        Window unknown(4242);
        QVERIFY(unknown.shown());
        unknown.aiuto->click();
        QCOMPARE(helpWindow()->currentPage(), QStringLiteral("index.html"));
        QCOMPARE(helpWindow()->windowTitle(), QStringLiteral("Aiuto - Indice"));

        helpWindow()->showPage(QStringLiteral("archivio.html"));
        Window none{QVariant()};
        QVERIFY(none.shown());
        QTest::keyClick(none.field, Qt::Key_F1);
        QCOMPARE(helpWindow()->currentPage(), QStringLiteral("index.html"));
    }

    void aDialogWithoutAContextUsesItsOwnersAndModalOnesOwnTheHelp()
    {
        Window owner(1020);
        QVERIFY(owner.shown());
        Window dialog(QVariant(), &owner.window);
        dialog.window.setWindowModality(Qt::ApplicationModal);
        QVERIFY(dialog.shown());
        QCOMPARE(QApplication::activeModalWidget(), &dialog.window);
        dialog.aiuto->click();
        QCOMPARE(helpWindow()->currentPage(), QStringLiteral("promemoria.html"));
        // A window outside the modal one would be blocked.
        QCOMPARE(helpWindow()->parentWidget(), &dialog.window);
        QVERIFY(helpWindow()->isWindow());

        dialog.window.close();
        QVERIFY(owner.shown());
        QTest::keyClick(owner.field, Qt::Key_F1);
        QVERIFY(helpWindow());
        QCOMPARE(helpWindow()->parentWidget(), nullptr);
        QVERIFY(helpWindow()->isVisible());
    }

    void everyContextHasAPageThatLoads()
    {
        QSet<int> contexts;
        QTextBrowser browser;
        for (const help::Topic &topic : help::topics()) {
            QVERIFY2(!contexts.contains(topic.context), qPrintable(QString::number(topic.context)));
            contexts.insert(topic.context);
            QVERIFY2(help::allPages().contains(topic.page), qPrintable(topic.page));
        }
        for (const QString &page : help::allPages()) {
            browser.setSource(help::pageUrl(page));
            QVERIFY2(!browser.documentTitle().trimmed().isEmpty(), qPrintable(page));
            const QString text = browser.toPlainText();
            QVERIFY2(text.trimmed().size() > 100, qPrintable(page));
            // Accented letters arrive as written.
            QVERIFY2(!text.contains(QChar::ReplacementCharacter) && !text.contains(u'\u00C3'),
                     qPrintable(page));
        }
        browser.setSource(help::pageUrl(help::pageFor(1000)));
        QVERIFY(browser.toPlainText().contains(QStringLiteral("Attività")));
    }

    void everyLinkLeadsToAPageAndItsAnchor()
    {
        const QStringList pages = help::allPages();
        QVERIFY(pages.contains(help::indexPage()));
        for (const QString &page : pages) {
            for (const QString &link : links(page)) {
                const QString where = page + QStringLiteral(" -> ") + link;
                QVERIFY2(!link.contains(u':'), qPrintable(where)); // pages link only each other
                const QString target =
                    link.section(u'#', 0, 0).isEmpty() ? page : link.section(u'#', 0, 0);
                QVERIFY2(pages.contains(target), qPrintable(where));
                const QString anchor = link.section(u'#', 1);
                if (!anchor.isEmpty())
                    QVERIFY2(pageText(target).contains(QStringLiteral("name=\"%1\"").arg(anchor)),
                             qPrintable(where));
            }
        }
    }

    void theIndexLinksEveryPage()
    {
        const QStringList fromIndex = links(help::indexPage());
        for (const QString &page : help::allPages()) {
            if (page != help::indexPage())
                QVERIFY2(fromIndex.contains(page), qPrintable(page));
        }
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"

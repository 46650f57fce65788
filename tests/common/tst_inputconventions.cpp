#include "common/widgets/inputconventions.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A window with one control of each kind, in this tab order.
struct Form
{
    QWidget window;
    QLineEdit *name = add<QLineEdit>("Edit1");
    QLineEdit *disabled = add<QLineEdit>("Edit2");
    QLineEdit *surname = add<QLineEdit>("Edit3");
    QComboBox *category = add<QComboBox>("DBLookupComboBox1");
    QComboBox *town = add<QComboBox>("DBLookupComboBox2");
    QDateEdit *born = add<QDateEdit>("DBDateEdit1");
    QSpinBox *count = add<QSpinBox>("SpinEdit1");
    QPlainTextEdit *notes = add<QPlainTextEdit>("DBMemo1");
    QPushButton *back = add<QPushButton>("spdIndietro");
    InputConventions *conventions;

    explicit Form(InputConventions::Kind kind)
    {
        disabled->setEnabled(false);
        category->addItems({QStringLiteral("Clienti"), QStringLiteral("Fornitori")});
        town->setEditable(true);
        town->addItems({QStringLiteral("Forlì"), QStringLiteral("Cesena")});
        born->setDate(QDate(1970, 1, 1));
        count->setRange(0, 100);
        conventions = InputConventions::attach(&window, kind);
        window.show();
        window.activateWindow();
    }

    bool active() { return QTest::qWaitForWindowActive(&window); }

    template <typename T> T *add(const char *objectName)
    {
        if (!window.layout())
            new QVBoxLayout(&window);
        auto *widget = new T(&window);
        widget->setObjectName(QString::fromLatin1(objectName));
        window.layout()->addWidget(widget);
        return widget;
    }
};

QColor base(const QWidget *field)
{
    return field->palette().color(QPalette::Active, QPalette::Base);
}

bool isAqua(QColor c)
{
    return c.green() > 200 && c.blue() > 200 && c.green() - c.red() > 100;
}

// Most of the middle line of the field as drawn, leaving out text and frame.
bool drawnAqua(QWidget *field)
{
    const QImage image = field->grab().toImage();
    int aqua = 0;
    for (int x = 0; x < image.width(); ++x)
        aqua += isAqua(image.pixelColor(x, image.height() / 2));
    return aqua > image.width() / 2;
}

} // namespace

class TestInputConventions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setStyle(QStringLiteral("Fusion")); }

    void focusedFieldIsAquaAndTurnsWhiteWhenLeft()
    {
        Form f(InputConventions::Kind::List);
        QVERIFY(f.active());
        f.name->setFocus();
        QTRY_COMPARE(base(f.name), InputConventions::focusColour());
        QVERIFY(!isAqua(base(f.surname)));
        // The colour is what Fusion draws, not only what the palette holds.
        QVERIFY(drawnAqua(f.name));

        f.surname->setFocus();
        QTRY_COMPARE(base(f.surname), InputConventions::focusColour());
        QCOMPARE(base(f.name), InputConventions::restColour());

        // Every kind of field, including a closed combo box drawn as a button.
        for (QWidget *field : QList<QWidget *>{f.category, f.town, f.born, f.count, f.notes}) {
            field->setFocus();
            QTRY_COMPARE(base(field), InputConventions::focusColour());
            QCOMPARE(base(f.surname), InputConventions::restColour());
        }
        f.category->setFocus();
        QTRY_VERIFY(drawnAqua(f.category));
        f.back->setFocus();
        QTRY_COMPARE(base(f.category), InputConventions::restColour());
        QVERIFY(!drawnAqua(f.category));
    }

    void fieldsCreatedAfterAttachingAreCoveredButGridEditorsAreNot()
    {
        Form f(InputConventions::Kind::Detail);
        auto *late = f.add<QLineEdit>("Edit9");
        auto *grid = f.add<QTableWidget>("StringGrid1");
        grid->setRowCount(1);
        grid->setColumnCount(1);
        auto *cell = new QLineEdit;
        grid->setCellWidget(0, 0, cell);
        QVERIFY(f.active());
        QSignalSpy edited(f.conventions, &InputConventions::edited);

        late->setFocus();
        QTRY_COMPARE(base(late), InputConventions::focusColour());
        QTest::keyClicks(late, QStringLiteral("x"));
        QCOMPARE(edited.size(), 1);

        cell->setFocus();
        QTRY_VERIFY(cell->hasFocus());
        QVERIFY(!isAqua(base(cell)));
        QTest::keyClick(cell, Qt::Key_Return);
        QVERIFY(cell->hasFocus()); // Enter belongs to the grid
        QTest::keyClicks(cell, QStringLiteral("y"));
        QCOMPARE(edited.size(), 1);
    }

    void enterAndArrowsMoveBetweenFieldsOfADetailWindow()
    {
        Form f(InputConventions::Kind::Detail);
        QVERIFY(f.active());
        f.name->setFocus();
        QTRY_VERIFY(f.name->hasFocus());

        QTest::keyClick(f.name, Qt::Key_Return);
        QVERIFY2(f.surname->hasFocus(), "the disabled field is skipped");
        QTest::keyClick(f.surname, Qt::Key_Down);
        QVERIFY(f.category->hasFocus());
        QCOMPARE(f.category->currentIndex(), 0); // Down moved on, it did not choose
        QTest::keyClick(f.category, Qt::Key_Enter, Qt::KeypadModifier);
        QVERIFY(f.town->hasFocus());
        QTest::keyClick(f.town, Qt::Key_Return);
        QVERIFY(f.born->hasFocus());
        QTest::keyClick(f.born, Qt::Key_Down);
        QVERIFY(f.count->hasFocus());
        QCOMPARE(f.born->date(), QDate(1970, 1, 1));
        QTest::keyClick(f.count, Qt::Key_Up);
        QVERIFY(f.born->hasFocus());
        QTest::keyClick(f.born, Qt::Key_Down, Qt::ShiftModifier); // not the convention's
        QVERIFY(f.born->hasFocus());
    }

    void multiLineFieldsAndListWindowsKeepTheirKeys()
    {
        Form detail(InputConventions::Kind::Detail);
        QVERIFY(detail.active());
        detail.notes->setFocus();
        QTRY_VERIFY(detail.notes->hasFocus());
        QTest::keyClicks(detail.notes, QStringLiteral("uno"));
        QTest::keyClick(detail.notes, Qt::Key_Return);
        QTest::keyClicks(detail.notes, QStringLiteral("due"));
        QTest::keyClick(detail.notes, Qt::Key_Up);
        QTest::keyClick(detail.notes, Qt::Key_Down);
        QVERIFY(detail.notes->hasFocus());
        QCOMPARE(detail.notes->toPlainText(), QStringLiteral("uno\ndue"));
        QCOMPARE(detail.notes->textCursor().blockNumber(), 1);

        Form list(InputConventions::Kind::List);
        QVERIFY(list.active());
        list.name->setFocus();
        QTRY_VERIFY(list.name->hasFocus());
        QTest::keyClick(list.name, Qt::Key_Return);
        QTest::keyClick(list.name, Qt::Key_Down);
        QVERIFY(list.name->hasFocus());
        list.count->setFocus();
        QTRY_VERIFY(list.count->hasFocus());
        QTest::keyClick(list.count, Qt::Key_Up);
        QVERIFY(list.count->hasFocus());
        QCOMPARE(list.count->value(), 1);
    }

    void editedReportsTheUserNotTheProgram()
    {
        Form f(InputConventions::Kind::Detail);
        QVERIFY(f.active());
        QSignalSpy edited(f.conventions, &InputConventions::edited);

        f.name->setText(QStringLiteral("Rossi"));
        f.notes->setPlainText(QStringLiteral("nota"));
        f.category->setCurrentIndex(1);
        f.town->setEditText(QStringLiteral("Cesena"));
        f.born->setDate(QDate(2001, 2, 3));
        f.count->setValue(7);
        QCOMPARE(edited.size(), 0);

        const auto typedInto = [&](QWidget *field, auto type) {
            edited.clear();
            field->setFocus();
            if (!QTest::qWaitFor([field] { return field->hasFocus(); }))
                return false;
            type();
            return !edited.isEmpty() && edited.last().at(0).value<QWidget *>() == field;
        };
        QVERIFY(typedInto(f.name, [&] { QTest::keyClicks(f.name, QStringLiteral("Mario")); }));
        QCOMPARE(edited.size(), 5);
        QVERIFY(typedInto(f.notes, [&] { QTest::keyClicks(f.notes, QStringLiteral("a")); }));
        QVERIFY(typedInto(f.category, [&] { QTest::keyClick(f.category, Qt::Key_Home); }));
        QVERIFY(typedInto(f.town, [&] { QTest::keyClicks(f.town, QStringLiteral("x")); }));
        QVERIFY(typedInto(f.born, [&] { QTest::keyClick(f.born, Qt::Key_PageUp); }));
        QVERIFY(typedInto(f.count, [&] { QTest::keyClick(f.count, Qt::Key_PageUp); }));

        // The program setting a value after the user typed is still the program, whether the
        // typing changed the field or not.
        edited.clear();
        f.count->selectAll();
        QTest::keyClicks(f.count, QStringLiteral("5"));
        QCOMPARE(f.count->value(), 5);
        f.count->setValue(9);
        QTest::keyClick(f.notes, Qt::Key_Right);
        QCoreApplication::processEvents();
        f.notes->setPlainText(QStringLiteral("altro"));
        QCOMPARE(edited.size(), 1);
    }

    void backspaceAndDeleteEmptyALookupBox()
    {
        Form f(InputConventions::Kind::List);
        int categoryCleared = 0;
        int townCleared = 0;
        f.conventions->markAsLookup(f.category, [&] { ++categoryCleared; });
        f.conventions->markAsLookup(f.town, [&] { ++townCleared; });
        QVERIFY(f.active());
        QSignalSpy edited(f.conventions, &InputConventions::edited);

        f.category->setCurrentIndex(1);
        f.category->setFocus();
        QTRY_VERIFY(f.category->hasFocus());
        QTest::keyClick(f.category, Qt::Key_Backspace);
        QCOMPARE(f.category->currentIndex(), -1);
        QCOMPARE(f.category->currentText(), QString());
        QCOMPARE(categoryCleared, 1);

        f.town->setCurrentIndex(0);
        f.town->setFocus();
        QTRY_VERIFY(f.town->hasFocus());
        QTest::keyClick(f.town, Qt::Key_End);
        QTest::keyClick(f.town, Qt::Key_Delete);
        QCOMPARE(f.town->currentIndex(), -1);
        QCOMPARE(f.town->currentText(), QString());
        QCOMPARE(townCleared, 1);

        // Other keys are the box's own; only the callback answers the emptying.
        QTest::keyClicks(f.town, QStringLiteral("Xy"));
        QCOMPARE(f.town->currentText(), QStringLiteral("Xy"));
        QCOMPARE(townCleared, 1);
        QCOMPARE(categoryCleared, 1);
        QCOMPARE(edited.size(), 2);
    }

    void apostrophesBecomeAcuteAccents()
    {
        Form f(InputConventions::Kind::Detail);
        InputConventions::replaceApostrophes(f.name);
        f.surname->setEchoMode(QLineEdit::Password);
        InputConventions::replaceApostrophes(f.surname);
        QVERIFY(f.active());
        QSignalSpy edited(f.conventions, &InputConventions::edited);

        f.name->setFocus();
        QTRY_VERIFY(f.name->hasFocus());
        QTest::keyClicks(f.name, QStringLiteral("l'a'"));
        QCOMPARE(f.name->text(), QStringLiteral("l\u00B4a\u00B4"));
        QCOMPARE(edited.size(), 4);

        QTest::keyClicks(f.surname, QStringLiteral("d'x"));
        QCOMPARE(f.surname->text(), QStringLiteral("d\u00B4x"));
    }
};

QTEST_MAIN(TestInputConventions)
#include "tst_inputconventions.moc"

#include "common/widgets/italiantranslations.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTest>

class TestTranslations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void qtsOwnButtonsSpeakItalian()
    {
        QVERIFY2(installItalianTranslations(*QCoreApplication::instance()),
                 "Qt's Italian translations (qt6-translations-l10n) are missing");
        QDialogButtonBox buttons(QDialogButtonBox::Cancel | QDialogButtonBox::Save);
        QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annulla"));
        QCOMPARE(buttons.button(QDialogButtonBox::Save)->text(), QStringLiteral("Salva"));
        QCOMPARE(QLocale().toString(1234.5, 'f', 2), QStringLiteral("1.234,50"));
    }
};

QTEST_MAIN(TestTranslations)
#include "tst_translations.moc"

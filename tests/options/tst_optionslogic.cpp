// The options logic without a window: the administrator password's key, the SMTP security
// choices, the logo's picture files.

#include "options/adminpassword.h"
#include "options/companylogo.h"
#include "options/smtpsecurity.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray fileStart(const QString &path, int size)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(size) : QByteArray();
}

QByteArray encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QImage sample()
{
    QImage image(40, 20, QImage::Format_RGB32);
    image.fill(QColor(200, 30, 30));
    return image;
}

} // namespace

class TestOptionsLogic : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void passwordKeyNeverHoldsTheText()
    {
        const QString password = QStringLiteral("caffè l´ufficio");
        const db::Result<QString> key = derivePasswordKey(password);
        QVERIFY(key.ok());
        QVERIFY(key->startsWith(QStringLiteral("pbkdf2-sha256$600000$")));
        QVERIFY(!key->contains(QStringLiteral("caff")));
        QVERIFY(!isClearPassword(*key));
        QVERIFY(passwordMatches(*key, password));
        QVERIFY(!passwordMatches(*key, QStringLiteral("Caffè l´ufficio")));
        QVERIFY(!passwordMatches(*key, QString()));
        QVERIFY(!passwordMatches(*key, *key));
        // A new salt every time: two offices with one password keep different values.
        const db::Result<QString> again = derivePasswordKey(password);
        QVERIFY(again.ok());
        QVERIFY(*again != *key);
    }

    void valuesFromBeforeAreComparedAsText_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("plain") << "segreta";
        QTest::newRow("rounds beyond any key of ours")
            << "pbkdf2-sha256$99999999999$MDEyMzQ1Njc4OWFiY2RlZg==$"
               "MDEyMzQ1Njc4OWFiY2RlZjAxMjM0NTY3ODlhYmNkZWY=";
        QTest::newRow("key of the wrong length")
            << "pbkdf2-sha256$1000$MDEyMzQ1Njc4OWFiY2RlZg==$MDEy";
    }
    void valuesFromBeforeAreComparedAsText()
    {
        QFETCH(QString, stored);
        QVERIFY(isClearPassword(stored));
        QVERIFY(passwordMatches(stored, stored));
        QVERIFY(!passwordMatches(stored, stored + u'x'));
        QVERIFY(!isClearPassword(QString()));
    }

    void storedSecurity_data()
    {
        QTest::addColumn<QVariant>("criptato");
        QTest::addColumn<QVariant>("tipo");
        QTest::addColumn<int>("security");
        const QVariant null;
        const int none = int(SmtpSecurity::None), tls = int(SmtpSecurity::ImplicitTls),
                  starttls = int(SmtpSecurity::StartTls);
        QTest::newRow("null") << null << null << none;
        QTest::newRow("off, STARTTLS type") << QVariant(false) << QVariant(5LL) << none;
        QTest::newRow("SSLv2 of before") << QVariant(true) << QVariant(0LL) << tls;
        QTest::newRow("TLSv1") << QVariant(true) << QVariant(3LL) << tls;
        QTest::newRow("4") << QVariant(true) << QVariant(4LL) << tls;
        QTest::newRow("STARTTLS") << QVariant(true) << QVariant(5LL) << starttls;
        QTest::newRow("no type") << QVariant(true) << null << tls;
        QTest::newRow("unknown type") << QVariant(true) << QVariant(-1LL) << tls;
    }
    void storedSecurity()
    {
        QFETCH(QVariant, criptato);
        QFETCH(QVariant, tipo);
        QFETCH(int, security);
        QCOMPARE(int(smtpSecurity(criptato, tipo)), security);
    }

    void logoFilesAreReadByTheirWholeExtension_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("read");
        const QByteArray jpeg = encoded(sample(), "JPEG");
        const QByteArray png = encoded(sample(), "PNG");
        QTest::newRow(".JPEG in capitals") << "LOGO.JPEG" << jpeg << true;
        QTest::newRow(".png") << "logo.png" << png << true;
        QTest::newRow(".bmp") << "logo.bmp" << encoded(sample(), "BMP") << true;
        QTest::newRow("png content under .jpg") << "logo.jpg" << png << true;
        QTest::newRow(".gif") << "logo.gif" << png << false;
        QTest::newRow("no extension") << "logo" << png << false;
        QTest::newRow("name ending in png") << "logopng" << png << false;
        QTest::newRow("corrupt") << "rotto.png" << png.left(40) << false;
    }
    void logoFilesAreReadByTheirWholeExtension()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(bool, read);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        writeFile(path, content);
        const db::Result<QByteArray> logo = readLogoFile(path);
        QCOMPARE(logo.ok(), read);
        if (read) {
            QVERIFY(logo->startsWith("BM"));
            const QImage image = QImage::fromData(*logo);
            QCOMPARE(image.size(), QSize(40, 20));
        } else {
            QVERIFY2(logo.message().contains(name), qPrintable(logo.message()));
        }
    }

    void transparentPartsAreLaidOnWhite()
    {
        QImage image(10, 10, QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        image.setPixelColor(0, 0, QColor(0, 0, 255));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("trasparente.png"));
        QVERIFY(image.save(path));
        const db::Result<QByteArray> logo = readLogoFile(path);
        QVERIFY(logo.ok());
        const QImage stored = QImage::fromData(*logo);
        QCOMPARE(stored.pixelColor(5, 5), QColor(Qt::white));
        QCOMPARE(stored.pixelColor(0, 0), QColor(0, 0, 255));
    }

    void logoIsWrittenInTheFormatItsNameAsks_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("magic");
        QTest::newRow("png") << "logo.png" << QByteArray("\x89PNG\r\n\x1a\n");
        QTest::newRow("jpeg") << "logo.jpeg" << QByteArray("\xFF\xD8\xFF");
        QTest::newRow("bmp") << "logo.bmp" << QByteArray("BM");
        QTest::newRow("tif") << "logo.tif" << QByteArray();
        QTest::newRow("no extension") << "logo" << QByteArray();
    }
    void logoIsWrittenInTheFormatItsNameAsks()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, magic);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        const db::Status written = writeLogoFile(logoBitmap(sample()), path);
        QCOMPARE(written.ok(), !magic.isEmpty());
        if (magic.isEmpty()) {
            QVERIFY(!QFile::exists(path));
            QVERIFY(written.message().contains(name));
            return;
        }
        QCOMPARE(fileStart(path, int(magic.size())), magic);
        QCOMPARE(QImage(path).size(), QSize(40, 20));
    }
};

QTEST_GUILESS_MAIN(TestOptionsLogic)
#include "tst_optionslogic.moc"

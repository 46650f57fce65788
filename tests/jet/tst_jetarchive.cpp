// The Windows version's archives read through the Jet library: every value of every table
// compared with what mdbtools' own mdb-json prints of the same file, the conversions the
// library's text helpers get wrong checked against known values, and damaged files refused.

#include "db/core/datetimes.h"
#include "jet/jetarchive.h"
#include "jet/jetvalues.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <cmath>

namespace {

QString sample(const char *name)
{
    return QStringLiteral(CALVETRA_TEST_DATA "/jet/data/") + QLatin1String(name);
}

QDateTime at(int y, int m, int d, int h = 0, int min = 0, int s = 0)
{
    return db::naiveDateTime(QDate(y, m, d), QTime(h, min, s));
}

// Every row of `table` as mdb-json prints it: one object per row, nulls left out.
QList<QJsonObject> mdbJson(const QString &file, const QString &table)
{
    QProcess tool;
    tool.start(QStringLiteral("mdb-json"),
               {QStringLiteral("-T"), QStringLiteral("%Y-%m-%d %H:%M:%S"), file, table});
    if (!tool.waitForFinished(60000) || tool.exitCode() != 0)
        qFatal("mdb-json failed on %s", qPrintable(table));
    QList<QJsonObject> rows;
    for (const QByteArray &line : tool.readAllStandardOutput().split('\n')) {
        if (line.trimmed().isEmpty())
            continue;
        QJsonParseError error;
        const QJsonDocument doc = QJsonDocument::fromJson(line, &error);
        if (error.error != QJsonParseError::NoError)
            qFatal("mdb-json printed a line that is not JSON: %s", line.constData());
        rows.append(doc.object());
    }
    return rows;
}

// Where our value and mdb-json's printed one must agree. Returns a description of the
// difference, empty when they agree.
QString compare(const jet::Column &column, const QVariant &ours, const QJsonValue &theirs)
{
    const auto differ = [&](const QString &a, const QString &b) {
        return QStringLiteral("%1: %2 against mdb-json's %3").arg(column.name, a, b);
    };
    if (column.type == jet::ColumnType::YesNo)
        return ours.toBool() == (theirs.toInt() != 0)
                   ? QString()
                   : differ(ours.toString(), theirs.toVariant().toString());
    // mdb-json prints no empty text: it cannot tell one from a null.
    if (theirs.isUndefined())
        return !ours.isValid() || (ours.typeId() == QMetaType::QString && ours.toString().isEmpty())
                   ? QString()
                   : differ(ours.toString(), QStringLiteral("null"));
    if (!ours.isValid())
        return differ(QStringLiteral("null"), theirs.toVariant().toString());
    switch (column.type) {
    case jet::ColumnType::Text:
    case jet::ColumnType::Memo:
        return ours.toString() == theirs.toString() ? QString()
                                                    : differ(ours.toString(), theirs.toString());
    case jet::ColumnType::Byte:
    case jet::ColumnType::Integer:
    case jet::ColumnType::Long:
        return ours.toLongLong() == theirs.toInteger()
                   ? QString()
                   : differ(ours.toString(), QString::number(theirs.toInteger()));
    case jet::ColumnType::Currency:
    case jet::ColumnType::Single:
    case jet::ColumnType::Double:
        return std::fabs(ours.toDouble() - theirs.toDouble()) <=
                       1e-9 * std::max(1.0, std::fabs(theirs.toDouble()))
                   ? QString()
                   : differ(QString::number(ours.toDouble(), 'g', 17),
                            QString::number(theirs.toDouble(), 'g', 17));
    case jet::ColumnType::DateTime: {
        // mdb-json prints a date before 30/12/1899 as a zero day of 1900: those are checked
        // against the values the archive is known to hold.
        const QString printed = theirs.toString();
        if (printed.startsWith(u"1900-01-00"))
            return ours.toDateTime() < at(1899, 12, 30) ? QString()
                                                        : differ(ours.toString(), printed);
        const QString shown = ours.toDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        return shown == printed ? QString() : differ(shown, printed);
    }
    default:
        return QString();
    }
}

} // namespace

class TestJetArchive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void jetDates_data()
    {
        QTest::addColumn<double>("days");
        QTest::addColumn<QDateTime>("expected");
        QTest::newRow("the zero date") << 0.0 << at(1899, 12, 30);
        QTest::newRow("noon of the next day") << 1.5 << at(1899, 12, 31, 12);
        QTest::newRow("before the zero date, time counted forward") << -1.25 << at(1899, 12, 29, 6);
        QTest::newRow("1 January 1800") << -36522.0 << at(1800, 1, 1);
        QTest::newRow("a time of day") << 39816.396527777775 << at(2009, 1, 3, 9, 31);
        QTest::newRow("a second short of midnight")
            << 45000.99998842593 << at(2023, 3, 15, 23, 59, 59);
        QTest::newRow("not a number") << std::nan("") << QDateTime();
        QTest::newRow("beyond 9999") << 3e6 << QDateTime();
    }
    void jetDates()
    {
        QFETCH(double, days);
        QFETCH(QDateTime, expected);
        QCOMPARE(jet::dateTimeFromJet(days), expected);
    }

    void jetTexts_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two bytes a character") << QByteArray("R\0o\0m\0a\0", 8) << "Roma";
        QTest::newRow("compressed") << QByteArray("\xff\xfeRoma", 6) << "Roma";
        QTest::newRow("compressed, then two bytes, then one") << QByteArray("\xff\xfe"
                                                                            "a\0\xac\x20\0b",
                                                                            8)
                                                              << QStringLiteral("a\u20acb");
        QTest::newRow("a character outside the first plane")
            << QByteArray("\x3d\xd8\x00\xde", 4) << QStringLiteral("\U0001F600");
        QTest::newRow("empty") << QByteArray() << "";
        QTest::newRow("an odd byte at the end") << QByteArray("a\0b", 3) << "a";
    }
    void jetTexts()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, expected);
        const QString text = jet::textFromJet(stored);
        QCOMPARE(text, expected);
        QVERIFY(!text.isNull());
    }

    void everyValueAsMdbToolsReadsIt_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("sample") << sample("archivio-esempio.mdb");
        QTest::newRow("hard cases") << sample("archivio-difficile.mdb");
    }
    void everyValueAsMdbToolsReadsIt()
    {
        QFETCH(QString, file);
        auto archive = jet::Archive::open(file);
        QVERIFY2(archive.ok(), qPrintable(archive.message()));
        const QStringList tables = (*archive)->tables();
        QCOMPARE(tables.size(), 23);
        for (const QString &table : tables) {
            const auto columns = (*archive)->columns(table);
            QVERIFY2(columns.ok(), qPrintable(columns.message()));
            const QList<QJsonObject> expected = mdbJson(file, table);
            qsizetype r = 0;
            QStringList differences;
            const db::Status read = (*archive)->readRows(table, [&](const QVariantList &row) {
                if (r >= expected.size()) {
                    differences << QStringLiteral("one row more than mdb-json");
                    return false;
                }
                for (qsizetype c = 0; c < columns->size(); ++c) {
                    const jet::Column &column = columns->at(c);
                    const QString difference =
                        compare(column, row[c], expected[r].value(column.name));
                    if (!difference.isEmpty())
                        differences
                            << QStringLiteral("%1 row %2 %3").arg(table).arg(r).arg(difference);
                }
                ++r;
                return true;
            });
            QVERIFY2(read.ok(), qPrintable(read.message()));
            QCOMPARE(r, expected.size());
            QVERIFY2(differences.isEmpty(), qPrintable(differences.mid(0, 5).join(u'\n')));
        }
    }

    void theHardCasesComeAcrossIntact()
    {
        auto archive = jet::Archive::open(sample("archivio-difficile.mdb"));
        QVERIFY(archive.ok());
        QVERIFY((*archive)->tables().contains(QStringLiteral("PERSONALIZZAZIONI")));
        QList<QVariantList> contacts;
        QVERIFY((*archive)
                    ->readRows(QStringLiteral("Contatti"),
                               [&](const QVariantList &row) {
                                   contacts.append(row);
                                   return true;
                               })
                    .ok());
        const auto columns = *(*archive)->columns(QStringLiteral("Contatti"));
        const auto index = [&](const char *name) {
            for (qsizetype c = 0; c < columns.size(); ++c) {
                if (columns[c].name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                    return c;
            }
            qFatal("no column %s", name);
        };
        bool emptyNote = false, before1900 = false, zeroDate = false, greek = false;
        for (const QVariantList &row : contacts) {
            const QVariant note = row[index("Note")];
            emptyNote = emptyNote || (note.isValid() && note.toString().isEmpty());
            for (const QVariant &v : row) {
                if (v.typeId() == QMetaType::QDateTime) {
                    before1900 = before1900 || v.toDateTime() == at(1800, 1, 1);
                    zeroDate = zeroDate || v.toDateTime() == at(1899, 12, 30);
                }
                if (v.typeId() == QMetaType::QString)
                    greek = greek || v.toString().contains(
                                         QRegularExpression(QStringLiteral("[\u0391-\u03c9]")));
            }
        }
        QVERIFY(emptyNote);
        QVERIFY(before1900);
        QVERIFY(zeroDate);
        QVERIFY(greek);
        // The longest letter text, whole.
        qsizetype longest = 0;
        QVERIFY((*archive)
                    ->readRows(QStringLiteral("Avvisi"),
                               [&](const QVariantList &row) {
                                   for (const QVariant &v : row)
                                       longest = std::max(longest, v.toString().size());
                                   return true;
                               })
                    .ok());
        QVERIFY(longest > 100000);
    }

    void theLogoIsTheStoredBitmap()
    {
        auto archive = jet::Archive::open(sample("archivio-esempio.mdb"));
        QVERIFY(archive.ok());
        const auto columns = *(*archive)->columns(QStringLiteral("ditta"));
        QByteArray logo;
        QVERIFY((*archive)
                    ->readRows(QStringLiteral("ditta"),
                               [&](const QVariantList &row) {
                                   for (qsizetype c = 0; c < columns.size(); ++c) {
                                       if (columns[c].name == u"Logo")
                                           logo = row[c].toByteArray();
                                   }
                                   return true;
                               })
                    .ok());
        // A Windows bitmap says its own length in bytes 2-5.
        QVERIFY(logo.startsWith("BM"));
        QCOMPARE(qsizetype(qFromLittleEndian<quint32>(logo.constData() + 2)), logo.size());
    }

    void whatIsNotAnArchiveIsRefused()
    {
        QTemporaryDir dir;
        QFile original(sample("archivio-esempio.mdb"));
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray whole = original.readAll();
        const auto write = [&](const QString &name, const QByteArray &bytes) {
            QFile f(dir.filePath(name));
            if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
                qFatal("cannot write %s", qPrintable(name));
            return f.fileName();
        };
        const QStringList bad = {
            write(QStringLiteral("troncato.mdb"), whole.left(whole.size() / 2 + 1000)),
            write(QStringLiteral("mezzo.mdb"), whole.left(whole.size() / 2)),
            write(QStringLiteral("testo.mdb"), QByteArray("Cognome;Nome\nRossi;Mario\n")),
            write(QStringLiteral("vuoto.mdb"), QByteArray()),
            dir.filePath(QStringLiteral("mancante.mdb")),
        };
        for (const QString &file : bad) {
            auto archive = jet::Archive::open(file);
            db::Status everything;
            if (archive.ok()) {
                for (const QString &table : (*archive)->tables()) {
                    everything =
                        (*archive)->readRows(table, [](const QVariantList &) { return true; });
                    if (!everything)
                        break;
                }
            }
            const QString message = archive.ok() ? everything.message() : archive.message();
            QVERIFY2(!message.isEmpty(), qPrintable(file));
            QVERIFY2(message.contains(QDir::toNativeSeparators(file)), qPrintable(message));
        }
    }
};

QTEST_APPLESS_MAIN(TestJetArchive)
#include "tst_jetarchive.moc"

// The message as a pure function, read back by Python's e-mail parser; addresses and settings.

#include "mail/mailaddress.h"
#include "mail/mimemessage.h"
#include "mail/smtpsettings.h"

#include "mail/mailtestsupport.h"

#include <QCryptographicHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimeZone>

using namespace mail;

namespace {

MailMessage message(const QString &subject, const QString &text = QString(),
                    const QList<Attachment> &attachments = {})
{
    MailMessage m;
    m.from = MailAddress{QString(), QStringLiteral("ufficio@esempio.it")};
    m.to = {MailAddress{QStringLiteral("Mario Rossi"), QStringLiteral("mario@esempio.it")}};
    m.subject = subject;
    m.text = text;
    m.attachments = attachments;
    return m;
}

// What Python reads of `raw`.
QJsonObject parsed(const QByteArray &raw)
{
    QTemporaryDir spool;
    QFile eml(spool.filePath(QStringLiteral("001.eml")));
    QFile envelope(spool.filePath(QStringLiteral("001.json")));
    if (!eml.open(QIODevice::WriteOnly) || eml.write(raw) != raw.size() ||
        !envelope.open(QIODevice::WriteOnly) ||
        envelope.write(R"({"mail_from": "", "rcpt_tos": []})") < 0)
        return {};
    eml.close();
    envelope.close();
    return readSpool(spool.path()).value(u"messages").toArray().first().toObject();
}

QStringList names(const QJsonObject &m)
{
    QStringList list;
    for (const QJsonValue &v : m.value(u"header_names").toArray())
        list << v.toString().toLower();
    return list;
}

QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &b : bytes)
        b = char(QRandomGenerator::global()->bounded(256));
    return bytes;
}

QString sha256(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

} // namespace

class TestMailMessage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void subjectDecodesExactly_data()
    {
        QTest::addColumn<QString>("subject");
        QTest::addColumn<QString>("expected");
        QTest::newRow("ascii") << "Riunione di lunedi"
                               << "Riunione di lunedi";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("accents") << "Perché è così: città, più"
                                 << "Perché è così: città, più";
        QTest::newRow("long ascii") << QString(QStringLiteral("parola ")).repeated(40).trimmed()
                                    << QString(QStringLiteral("parola ")).repeated(40).trimmed();
        QTest::newRow("one very long word") << QString(200, u'x') << QString(200, u'x');
        // Four-octet characters at every offset: a word boundary falls inside a character
        // unless the encoder counts whole characters.
        const QString emoji = QStringLiteral("a\U0001F600bè\U0001F4E7").repeated(12);
        QTest::newRow("surrogate pairs") << emoji << emoji;
        QTest::newRow("blanks kept") << "  due  spazi "
                                     << "  due  spazi ";
        QTest::newRow("looks encoded") << "=?UTF-8?B?eA==?="
                                       << "=?UTF-8?B?eA==?=";
        QTest::newRow("line break") << "Ciao\r\nBcc: spia@esempio.it"
                                    << "Ciao  Bcc: spia@esempio.it";
    }
    void subjectDecodesExactly()
    {
        QFETCH(QString, subject);
        QFETCH(QString, expected);
        const QByteArray raw = composeMessage(message(subject, QStringLiteral("x")), newStamp({}));
        const QJsonObject m = parsed(raw);
        QCOMPARE(m.value(u"subject").toString(), expected);
        QVERIFY(!names(m).contains(QStringLiteral("bcc")));
        QCOMPARE(m.value(u"defects").toArray().size(), 0);
        // Every encoded word: at most 75 characters, whole UTF-8 characters on its own.
        static const QRegularExpression word(QStringLiteral("=\\?UTF-8\\?B\\?([^?]*)\\?="));
        const QByteArray header = raw.left(raw.indexOf("\r\nMessage-ID:"));
        for (auto it = word.globalMatch(QString::fromLatin1(header)); it.hasNext();) {
            const QRegularExpressionMatch w = it.next();
            QVERIFY2(w.capturedLength() <= 75, qPrintable(w.captured()));
            QStringDecoder utf8(QStringDecoder::Utf8);
            (void)QString(utf8(QByteArray::fromBase64(w.captured(1).toLatin1())));
            QVERIFY(!utf8.hasError());
        }
    }

    void bodyArrivesIntact()
    {
        const QString longLine =
            QStringLiteral("è=") + QString(3000, u'a') + QStringLiteral(" fine");
        const QString text = QStringLiteral(".\n..\n.punto\r\n") + longLine +
                             QStringLiteral("\rspazio in fondo   \nultima");
        const QByteArray raw = composeMessage(message(QStringLiteral("t"), text), newStamp({}));
        const QJsonObject m = parsed(raw);
        QVERIFY(m.value(u"crlf_only").toBool());
        QVERIFY(m.value(u"longest_line").toInt() <= 76);
        QString expected = text;
        expected.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
        QCOMPARE(m.value(u"text").toString().replace(QStringLiteral("\r\n"), QStringLiteral("\n")),
                 expected + u'\n');
        QCOMPARE(m.value(u"defects").toArray().size(), 0);
    }

    void headersOfEveryMessage()
    {
        MailMessage m = message(QStringLiteral("s"));
        m.cc = {
            MailAddress{QStringLiteral("Rossi, \"Mario\""), QStringLiteral("o'brien@esempio.it")}};
        const MessageStamp first = newStamp(m.from);
        const MessageStamp second = newStamp(m.from);
        QVERIFY(first.messageId != second.messageId);
        QVERIFY(first.boundary != second.boundary);
        QVERIFY(first.messageId.endsWith("@esempio.it>"));
        const QJsonObject p = parsed(composeMessage(m, first));
        QCOMPARE(names(p),
                 (QStringList{"date", "from", "to", "cc", "subject", "message-id", "mime-version",
                              "content-type", "content-transfer-encoding"}));
        QCOMPARE(p.value(u"message_id").toString(), QString::fromLatin1(first.messageId));
        QCOMPARE(p.value(u"to").toArray().first().toString(),
                 QStringLiteral("Mario Rossi <mario@esempio.it>"));
        QVERIFY(p.value(u"date").toString().contains(QString::number(first.date.date().year())));
    }

    void headerDateForm()
    {
        const QDateTime when(QDate(2026, 12, 7), QTime(9, 5, 1), QTimeZone(3600));
        QCOMPARE(composeMessage(message({}), {when, "<a@b>", "x"}).left(38),
                 QByteArray("Date: Mon, 7 Dec 2026 09:05:01 +0100\r\n"));
        const QDateTime west(QDate(2026, 1, 1), QTime(0, 0), QTimeZone(-(3 * 3600 + 30 * 60)));
        QVERIFY(composeMessage(message({}), {west, "<a@b>", "x"})
                    .startsWith("Date: Thu, 1 Jan 2026 00:00:00 -0330\r\n"));
    }

    void attachmentsDecodeToTheSameBytes()
    {
        const QList<Attachment> files = {
            {QStringLiteral("vuoto.bin"), QByteArray()},
            {QStringLiteral("uno.bin"), randomBytes(3 * 25 + 1)},
            {QStringLiteral("due.bin"), randomBytes(3 * 25 + 2)},
            {QStringLiteral("grande.bin"), randomBytes(100 * 1024)},
            {QStringLiteral("perché è.txt"), QByteArray("testo\n")},
            {QStringLiteral("nome lunghissimo con lettere accentate àèìòù ").repeated(4) +
                 QStringLiteral(".pdf"),
             QByteArray("x")},
            {QStringLiteral("a\r\nBcc: spia@esempio.it.txt"), QByteArray("y")},
        };
        const MessageStamp stamp = newStamp({});
        const QByteArray raw = composeMessage(
            message(QStringLiteral("allegati"), QStringLiteral("testo"), files), stamp);
        const QJsonObject m = parsed(raw);
        QVERIFY(m.value(u"crlf_only").toBool());
        QVERIFY(m.value(u"longest_line").toInt() <= 78);
        QCOMPARE(m.value(u"defects").toArray().size(), 0);
        QCOMPARE(m.value(u"text").toString(), QStringLiteral("testo\r\n"));
        const QJsonArray got = m.value(u"attachments").toArray();
        QCOMPARE(got.size(), files.size());
        for (qsizetype i = 0; i < files.size(); ++i) {
            const QJsonObject a = got[i].toObject();
            const QString expectedName =
                QString(files[i].fileName).replace(QStringLiteral("\r\n"), QStringLiteral("  "));
            QCOMPARE(a.value(u"filename").toString(), expectedName);
            QCOMPARE(a.value(u"size").toInt(), files[i].content.size());
            QCOMPARE(a.value(u"sha256").toString(), sha256(files[i].content));
        }
        QVERIFY(!names(m).contains(QStringLiteral("bcc")));
        // Base64 in full lines of 76 characters: the big attachment's lines but its last.
        const qsizetype start = raw.indexOf("grande.bin\"\r\n\r\n") + 15;
        const QList<QByteArray> lines =
            raw.mid(start, raw.indexOf("\r\n\r\n--", start) - start).split('\n');
        for (qsizetype i = 0; i + 1 < lines.size(); ++i)
            QCOMPARE(lines[i].size(), 77); // with its CR
    }

    void addresses_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QStringList>("expected"); // "name|address"; empty: refused
        QTest::newRow("trimmed") << "  a@esempio.it\t" << QStringList{"|a@esempio.it"};
        QTest::newRow("named") << "Mario Rossi <m@esempio.it>"
                               << QStringList{"Mario Rossi|m@esempio.it"};
        QTest::newRow("apostrophe kept")
            << "o'brien@esempio.it" << QStringList{"|o'brien@esempio.it"};
        QTest::newRow("several") << "a@esempio.it, b@esempio.it; Ci <c@esempio.it>;"
                                 << QStringList{"|a@esempio.it", "|b@esempio.it",
                                                "Ci|c@esempio.it"};
        QTest::newRow("comma in a quoted name")
            << "\"Rossi, Mario\" <m@esempio.it>" << QStringList{"Rossi, Mario|m@esempio.it"};
        QTest::newRow("international domain") << "a@città.it" << QStringList{"|a@xn--citt-3na.it"};
        QTest::newRow("no domain dot") << "a@esempio" << QStringList();
        QTest::newRow("no at") << "esempio.it" << QStringList();
        QTest::newRow("two ats") << "a@b@esempio.it" << QStringList();
        QTest::newRow("double dot") << "a..b@esempio.it" << QStringList();
        QTest::newRow("blank inside") << "a b@esempio.it" << QStringList();
        QTest::newRow("accent in local part") << "è@esempio.it" << QStringList();
        QTest::newRow("unclosed bracket") << "Nome <a@esempio.it" << QStringList();
        QTest::newRow("line break in name") << "Nome\r\nBcc: x <a@esempio.it>" << QStringList();
        QTest::newRow("header in address") << "a@esempio.it\r\nBcc: x@esempio.it" << QStringList();
    }
    void addresses()
    {
        QFETCH(QString, typed);
        QFETCH(QStringList, expected);
        const db::Result<QList<MailAddress>> parsedList = parseAddressList(typed);
        if (expected.isEmpty()) {
            QVERIFY(!parsedList);
            QVERIFY(
                parsedList.message().contains(QStringLiteral("non è un indirizzo email valido")));
            return;
        }
        QVERIFY2(parsedList.ok(), qPrintable(parsedList.message()));
        QStringList got;
        for (const MailAddress &a : *parsedList)
            got << a.name + u'|' + a.address;
        QCOMPARE(got, expected);
    }

    void settingsFromTheOptionsRow_data()
    {
        QTest::addColumn<QVariant>("porta");
        QTest::addColumn<QVariant>("criptato");
        QTest::addColumn<QVariant>("tipo");
        QTest::addColumn<int>("security");
        QTest::addColumn<int>("port");
        QTest::newRow("nothing stored")
            << QVariant() << QVariant() << QVariant() << int(SmtpSecurity::None) << 25;
        QTest::newRow("plain 0") << QVariant(0) << QVariant(false) << QVariant(3)
                                 << int(SmtpSecurity::None) << 25;
        QTest::newRow("tls 0") << QVariant(0) << QVariant(true) << QVariant(1)
                               << int(SmtpSecurity::ImplicitTls) << 465;
        QTest::newRow("tls 25") << QVariant(25) << QVariant(true) << QVariant(3)
                                << int(SmtpSecurity::ImplicitTls) << 465;
        QTest::newRow("tls 587 old value") << QVariant(587) << QVariant(true) << QVariant(0)
                                           << int(SmtpSecurity::ImplicitTls) << 587;
        QTest::newRow("tls value 4") << QVariant(465) << QVariant(true) << QVariant(4)
                                     << int(SmtpSecurity::ImplicitTls) << 465;
        QTest::newRow("tls null kind") << QVariant(465) << QVariant(true) << QVariant()
                                       << int(SmtpSecurity::ImplicitTls) << 465;
        QTest::newRow("starttls 0")
            << QVariant(0) << QVariant(true) << QVariant(5) << int(SmtpSecurity::StartTls) << 587;
        QTest::newRow("starttls 25")
            << QVariant(25) << QVariant(true) << QVariant(5) << int(SmtpSecurity::StartTls) << 25;
        QTest::newRow("5 without encryption")
            << QVariant(0) << QVariant(false) << QVariant(5) << int(SmtpSecurity::None) << 25;
    }
    void settingsFromTheOptionsRow()
    {
        QFETCH(QVariant, porta);
        QFETCH(QVariant, criptato);
        QFETCH(QVariant, tipo);
        const SmtpSettings s = smtpSettingsFromRow([&](const QString &column) -> QVariant {
            if (column == u"SmtpPorta")
                return porta;
            if (column == u"SmtpCriptato")
                return criptato;
            if (column == u"SmtpCriptaggioTipo")
                return tipo;
            return {};
        });
        QTEST(int(s.security), "security");
        QTEST(s.effectivePort(), "port");
        QCOMPARE(missingSetting(s).left(48),
                 QStringLiteral("Per inviare email è necessario impostare l' Host"));
        SmtpSettings hostOnly = s;
        hostOnly.host = QStringLiteral("smtp.esempio.it");
        QVERIFY(missingSetting(hostOnly).contains(QStringLiteral("il mittente delle email")));
    }
};

QTEST_GUILESS_MAIN(TestMailMessage)
#include "tst_mailmessage.moc"

// The sync of the contacts and the agenda with a real CardDAV/CalDAV server (radicale), a phone
// played by vdirsyncer on a folder of files: both ways, the merge of a contact field by field,
// the conflicts, the deletions, the bad servers that must leave the archive as it was.

#include "dav/davphone.h"
#include "dav/davsync.h"
#include "dav/davtestserver.h"
#include "db/core/datetimes.h"
#include "mail/mailtestsupport.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

namespace {

const QString kUser = QStringLiteral("ufficio");
const QString kPassword = QStringLiteral("segreta'è");

QString text(const QVariant &value)
{
    return value.toString();
}

// Everything the sync may change in the archive, as text: two equal snapshots, nothing changed.
QString snapshot(FreshArchive &archive)
{
    QString all;
    QStringList tables{QStringLiteral("Contatti"), QStringLiteral("Calendario")};
    const QStringList present = *archive.connection().tableNames();
    for (const char *extra : {"SincroniaRaccolte", "SincroniaElementi"}) {
        if (present.contains(QLatin1String(extra), Qt::CaseInsensitive))
            tables << QLatin1String(extra);
    }
    for (const QString &table : tables) {
        const db::RowSet rows = archive.run(QStringLiteral("SELECT * FROM %1").arg(table));
        QStringList lines;
        for (const QVariantList &row : rows.rows) {
            QStringList values;
            for (const QVariant &v : row)
                values << v.toString();
            lines << values.join(u'|');
        }
        lines.sort();
        all += table + u'\n' + lines.join(u'\n') + u'\n';
    }
    return all;
}

// Where an event starts in UTC, as Debian's python3-icalendar reads the phone's file.
QString startInUtc(const QByteArray &calendar)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 {QStringLiteral("-c"),
                  QStringLiteral("import sys, icalendar, pytz\n"
                                 "c = icalendar.Calendar.from_ical(sys.stdin.buffer.read())\n"
                                 "for e in c.walk('VEVENT'):\n"
                                 "    print(e['DTSTART'].dt.astimezone(pytz.utc).isoformat())\n")});
    python.write(calendar);
    python.closeWriteChannel();
    if (!python.waitForFinished(30000) || python.exitCode() != 0)
        return QString::fromUtf8(python.readAllStandardError());
    return QString::fromUtf8(python.readAllStandardOutput()).trimmed();
}

} // namespace

class TestDavSync : public QObject
{
    Q_OBJECT

    QString m_server;

    ToolRun dav(FreshArchive &archive, const QStringList &more = {}, const QString &server = {})
    {
        return runTool(QStringLiteral("calvetra-dav"),
                       QStringList{archive.path(), QStringLiteral("--server"),
                                   server.isEmpty() ? m_server : server, QStringLiteral("--utente"),
                                   kUser} +
                           more,
                       {}, 120);
    }

    static void addContact(FreshArchive &archive, const QString &surname, const QString &name,
                           const QString &mobile, const QString &email,
                           const QVariant &born = QVariant())
    {
        archive.native(QStringLiteral("INSERT INTO Contatti (Cognome, Nome, Cellulare, email, "
                                      "DataNascita, Annullato, NominativoDocumenti) VALUES (?, "
                                      "?, ?, ?, ?, ?, ?)"),
                       {surname, name, mobile, email, born, false, surname + u' ' + name});
    }

    static qint64 idOf(FreshArchive &archive, const QString &surname)
    {
        return archive
            .native(QStringLiteral("SELECT ID FROM Contatti WHERE Cognome = ?"), {surname})
            .rows.value(0)
            .value(0)
            .toLongLong();
    }

    static QVariant field(FreshArchive &archive, const QString &column, const QString &surname)
    {
        return archive
            .native(QStringLiteral("SELECT %1 FROM Contatti WHERE Cognome = ?").arg(column),
                    {surname})
            .rows.value(0)
            .value(0);
    }

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("CALVETRA_DAV_PASSWORD", kPassword.toUtf8());
        qputenv("TZ", "Europe/Rome");
    }

    // The first sync sends everything; the phone sees the accents, the apostrophe, the birthday
    // and a 9:00 appointment at 9:00 in Rome in winter and in summer; a second sync with nothing
    // changed writes nothing on the server nor in the archive.
    void firstSyncThenNothingToDo()
    {
        DavTestServer server;
        m_server = server.url();
        FreshArchive archive;
        addContact(archive, QStringLiteral("D'Angelo"), QStringLiteral("Niccolò"),
                   QStringLiteral("333 1234567"), QStringLiteral("niccolo@esempio.it"),
                   db::naiveDateTime(QDate(1980, 2, 29)));
        archive.native(QStringLiteral("INSERT INTO Contatti (RagioneSociale, Telefono, "
                                      "Annullato) VALUES ('Società Caffè Srl', '06 1234', ?)"),
                       {false});
        archive.native(QStringLiteral("INSERT INTO Contatti (Cognome, Annullato) VALUES "
                                      "('Annullata', ?)"),
                       {true});
        const auto appointment = [&](const QDateTime &when, const QString &note) {
            archive.native(QStringLiteral("INSERT INTO Calendario (Data, DataAvviso, Note, "
                                          "Storico, Conclusa) VALUES (?, ?, ?, ?, ?)"),
                           {when, db::naiveDateTime(when.date()), note, false, false});
        };
        appointment(db::naiveDateTime(QDate(2027, 1, 15), QTime(9, 0)), QStringLiteral("Inverno"));
        appointment(db::naiveDateTime(QDate(2027, 7, 15), QTime(9, 0)), QStringLiteral("Estate"));
        archive.native(QStringLiteral("INSERT INTO Calendario (Data, Note, Storico) VALUES (?, "
                                      "'Vecchio', ?)"),
                       {db::naiveDateTime(QDate(2020, 1, 1)), true});

        ToolRun first = dav(archive);
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(first.out.contains(QStringLiteral("Contatti: inviati al server 2")),
                 qPrintable(first.out));
        QVERIFY(first.out.contains(QStringLiteral("Agenda: inviati al server 2")));
        QVERIFY(first.out.contains(
            QStringLiteral("Creata sul server la rubrica «Calvetra – Contatti»")));

        DavPhone phone(server.url(QStringLiteral("/ufficio/calvetra-contatti/")),
                       server.url(QStringLiteral("/ufficio/calvetra-agenda/")), kUser, kPassword);
        QVERIFY(phone.sync());
        QCOMPARE(phone.files(QStringLiteral("contatti")).size(), 2);
        const QString niccolo = phone.find(QStringLiteral("contatti"), "Niccol\xc3\xb2");
        QVERIFY(!niccolo.isEmpty());
        const QByteArray card = phone.read(QStringLiteral("contatti"), niccolo);
        QVERIFY(card.contains("N:D'Angelo;Niccol\xc3\xb2;"));
        QVERIFY(card.contains("BDAY:19800229") || card.contains("BDAY:1980-02-29"));
        // A company's number is its work number on a phone.
        QVERIFY(phone
                    .read(QStringLiteral("contatti"),
                          phone.find(QStringLiteral("contatti"), "Caff\xc3\xa8"))
                    .contains("TEL;TYPE=work"));
        QCOMPARE(phone.files(QStringLiteral("agenda")).size(), 2);
        const QByteArray winter =
            phone.read(QStringLiteral("agenda"), phone.find(QStringLiteral("agenda"), "Inverno"));
        const QByteArray summer =
            phone.read(QStringLiteral("agenda"), phone.find(QStringLiteral("agenda"), "Estate"));
        QCOMPARE(startInUtc(winter), QStringLiteral("2027-01-15T08:00:00+00:00"));
        QCOMPARE(startInUtc(summer), QStringLiteral("2027-07-15T07:00:00+00:00"));
        QVERIFY(winter.contains("BEGIN:VALARM"));

        const QString before = snapshot(archive);
        ToolRun again = dav(archive);
        QCOMPARE(again.exitCode, 0);
        QVERIFY2(again.out.contains(QStringLiteral("Contatti: inviati al server 0, ricevuti "
                                                   "dal server 0, aggiornati in archivio 0")),
                 qPrintable(again.out));
        QVERIFY(again.out.contains(
            QStringLiteral("Agenda: inviati al server 0, ricevuti dal server 0")));
        QVERIFY(again.out.contains(QStringLiteral("Nessuna novità")));
        QCOMPARE(snapshot(archive), before);
    }

    // What the phone adds, changes and deletes comes into the archive; a deleted card cancels
    // the contact, which comes back to the phone when the office clears "Annullato".
    void phoneChangesComeIn()
    {
        DavTestServer server;
        m_server = server.url();
        FreshArchive archive;
        addContact(archive, QStringLiteral("Rossi"), QStringLiteral("Maria"),
                   QStringLiteral("333 1"), QStringLiteral("maria@esempio.it"));
        addContact(archive, QStringLiteral("Verdi"), QStringLiteral("Gino"),
                   QStringLiteral("333 2"), QString());
        archive.native(QStringLiteral("INSERT INTO Calendario (Data, Personale, Cliente, Note, "
                                      "Storico, Conclusa) VALUES (?, 'Anna', 'Rossi Maria', "
                                      "'Richiamare', ?, ?)"),
                       {db::naiveDateTime(QDate(2027, 3, 1), QTime(10, 0)), false, false});
        archive.native(QStringLiteral("INSERT INTO Calendario (Data, Note, Storico) VALUES (?, "
                                      "'Da togliere', ?)"),
                       {db::naiveDateTime(QDate(2027, 3, 2), QTime(11, 0)), false});
        QCOMPARE(dav(archive).exitCode, 0);
        DavPhone phone(server.url(QStringLiteral("/ufficio/calvetra-contatti/")),
                       server.url(QStringLiteral("/ufficio/calvetra-agenda/")), kUser, kPassword);
        QVERIFY(phone.sync());

        const QString contatti = QStringLiteral("contatti"), agenda = QStringLiteral("agenda");
        const QString rossi = phone.find(contatti, "Rossi");
        QByteArray card = phone.read(contatti, rossi);
        card.replace("333 1", "347 999");
        phone.write(contatti, rossi, card);
        QVERIFY(phone.remove(contatti, phone.find(contatti, "Verdi")));
        phone.write(contatti, QStringLiteral("nuovo.vcf"),
                    "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:telefono-1\r\nN:Dell'Orto;Zoë;;;\r\n"
                    "FN:Zoë Dell'Orto\r\nTEL;TYPE=CELL:320 5\r\nEMAIL:zoe@esempio.it\r\n"
                    "BDAY:1975-12-31\r\nEND:VCARD\r\n");
        const QString call = phone.find(agenda, "Richiamare");
        QByteArray event = phone.read(agenda, call);
        event.replace("Anna / Rossi Maria : Richiamare", "Anna / Rossi Maria : Preventivo");
        event.replace("Anna - Rossi Maria : Richiamare", "Anna - Rossi Maria : Preventivo");
        QVERIFY(event.contains("Preventivo"));
        phone.write(agenda, call, event);
        QVERIFY(phone.remove(agenda, phone.find(agenda, "Da togliere")));
        phone.write(agenda, QStringLiteral("nuovo.ics"),
                    "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//telefono//\r\nBEGIN:VEVENT\r\n"
                    "UID:evento-telefono\r\nDTSTAMP:20270101T000000Z\r\n"
                    "DTSTART;TZID=Europe/Rome:20270405T153000\r\nDURATION:PT30M\r\n"
                    "SUMMARY:Dentista\r\nBEGIN:VALARM\r\nACTION:DISPLAY\r\n"
                    "DESCRIPTION:Dentista\r\nTRIGGER:-PT1H\r\nEND:VALARM\r\nEND:VEVENT\r\n"
                    "END:VCALENDAR\r\n");
        QVERIFY(phone.sync());

        ToolRun run = dav(archive);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("Conflitti: 0.")), qPrintable(run.out));
        QCOMPARE(text(field(archive, QStringLiteral("Cellulare"), QStringLiteral("Rossi"))),
                 QStringLiteral("347 999"));
        QCOMPARE(text(field(archive, QStringLiteral("email"), QStringLiteral("Rossi"))),
                 QStringLiteral("maria@esempio.it"));
        QVERIFY(field(archive, QStringLiteral("Annullato"), QStringLiteral("Verdi")).toBool());
        QCOMPARE(text(field(archive, QStringLiteral("Nome"), QStringLiteral("Dell'Orto"))),
                 QStringLiteral("Zoë"));
        QCOMPARE(field(archive, QStringLiteral("DataNascita"), QStringLiteral("Dell'Orto"))
                     .toDateTime()
                     .date(),
                 QDate(1975, 12, 31));
        QCOMPARE(text(field(archive, QStringLiteral("NominativoDocumenti"),
                            QStringLiteral("Dell'Orto"))),
                 QStringLiteral("Dell'Orto Zoë"));
        const db::RowSet rows = archive.run(
            QStringLiteral("SELECT Note, Storico, Data, DataAvviso, Personale, Cliente FROM "
                           "Calendario ORDER BY Id"));
        QCOMPARE(rows.rows.size(), 3);
        QCOMPARE(text(rows.rows[0][0]), QStringLiteral("Preventivo"));
        QCOMPARE(text(rows.rows[0][4]), QStringLiteral("Anna"));
        QVERIFY(rows.rows[1][1].toBool()); // deleted on the phone: archived, not deleted
        QCOMPARE(text(rows.rows[2][0]), QStringLiteral("Dentista"));
        QCOMPARE(rows.rows[2][2].toDateTime(), db::naiveDateTime(QDate(2027, 4, 5), QTime(15, 30)));
        QCOMPARE(rows.rows[2][3].toDateTime().date(), QDate(2027, 4, 5));

        // Nothing more to do on either side.
        QVERIFY(phone.sync());
        ToolRun quiet = dav(archive);
        QVERIFY2(quiet.out.contains(
                     QStringLiteral("Contatti: inviati al server 0, ricevuti dal server 0")),
                 qPrintable(quiet.out));

        // The office brings the cancelled contact back: it goes to the phone again.
        archive.native(QStringLiteral("UPDATE Contatti SET Annullato = ? WHERE Cognome = "
                                      "'Verdi'"),
                       {false});
        QCOMPARE(dav(archive).exitCode, 0);
        QVERIFY(phone.sync());
        QVERIFY(!phone.find(contatti, "Verdi").isEmpty());
    }

    // What the archive cannot hold (a birthday without its year, a town it does not know, a
    // photo, a phone's own properties) stays on the phone, also when the office changes the card
    // later; the sync says what did not enter the archive.
    void phoneOnlyFieldsStayOnThePhone()
    {
        DavTestServer server;
        m_server = server.url();
        FreshArchive archive;
        QCOMPARE(dav(archive).exitCode, 0);
        DavPhone phone(server.url(QStringLiteral("/ufficio/calvetra-contatti/")),
                       server.url(QStringLiteral("/ufficio/calvetra-agenda/")), kUser, kPassword);
        QVERIFY(phone.sync());
        const QString contatti = QStringLiteral("contatti");
        const QByteArray card =
            "BEGIN:VCARD\r\nVERSION:3.0\r\nUID:telefono-lucia\r\nN:Bianchi;Lucía;;;\r\n"
            "FN:Lucía Bianchi\r\nTEL;TYPE=CELL:339 1\r\nBDAY:--0315\r\n"
            "ADR;TYPE=HOME:;;Via Roma 1;Paperopoli;;12345;Italia\r\n"
            "NICKNAME:Lulù\r\nX-TELEFONO-SUONERIA:campane\r\n"
            "PHOTO;ENCODING=b;TYPE=JPEG:/9j/4AAQSkZJRgABAQAAAQABAAD/"
            "2wBDAAgGBgcGBQgHBwcJCQgKDBQNDA\r\n"
            " sLDBkSEw8UHRofHh0aHBwgJC4nICIsIxwcKDcpLDAxNDQ0Hyc5PTgyPC4zNDL/\r\n"
            "END:VCARD\r\n";
        phone.write(contatti, QStringLiteral("lucia.vcf"), card);
        QVERIFY(phone.sync());

        ToolRun first = dav(archive);
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(first.out.contains(QStringLiteral("Contatti: inviati al server 0, ricevuti dal "
                                                   "server 1, aggiornati in archivio 1")),
                 qPrintable(first.out));
        QVERIFY(first.out.contains(QStringLiteral("comune dal telefono «Paperopoli» non entra in "
                                                  "archivio")));
        QVERIFY(first.out.contains(QStringLiteral("data di nascita dal telefono «--0315»")));
        QVERIFY(phone.sync());
        QCOMPARE(phone.read(contatti, QStringLiteral("lucia.vcf")), card);

        // The office changes the e-mail: the card on the phone takes it and keeps the rest.
        archive.native(QStringLiteral("UPDATE Contatti SET email = 'lucia@esempio.it' WHERE "
                                      "Cognome = 'Bianchi'"));
        ToolRun second = dav(archive);
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(second.out.contains(QStringLiteral("Contatti: inviati al server 1")),
                 qPrintable(second.out));
        QVERIFY(phone.sync());
        const QByteArray after = phone.read(contatti, QStringLiteral("lucia.vcf"));
        QVERIFY2(after.contains("lucia@esempio.it"), after.constData());
        QVERIFY(after.contains("--0315"));
        QVERIFY(after.contains("Paperopoli"));
        QVERIFY(after.contains("NICKNAME:Lul\xc3\xb9"));
        QVERIFY(after.contains("X-TELEFONO-SUONERIA:campane"));
        QVERIFY(after.contains("PHOTO;ENCODING=b;TYPE=JPEG:/9j/"));
        QVERIFY(after.contains("UID:telefono-lucia") ||
                after.contains("UID;VALUE=text:telefono-lucia"));
        // Nothing more to do afterwards.
        ToolRun third = dav(archive);
        QVERIFY2(third.out.contains(QStringLiteral("Nessuna novità")), qPrintable(third.out));
    }

    // A phone's change and an office's change to different fields are both kept; the same field
    // changed on both sides keeps the archive's, everywhere, and is reported with both values.
    void bothSidesChange()
    {
        DavTestServer server;
        m_server = server.url();
        FreshArchive archive;
        addContact(archive, QStringLiteral("Bianchi"), QStringLiteral("Luca"),
                   QStringLiteral("333 1"), QStringLiteral("luca@esempio.it"));
        QCOMPARE(dav(archive).exitCode, 0);
        DavPhone phone(server.url(QStringLiteral("/ufficio/calvetra-contatti/")),
                       server.url(QStringLiteral("/ufficio/calvetra-agenda/")), kUser, kPassword);
        QVERIFY(phone.sync());
        const QString contatti = QStringLiteral("contatti");
        const QString name = phone.find(contatti, "Bianchi");
        QByteArray card = phone.read(contatti, name);
        card.replace("333 1", "333 telefono");
        card.replace("END:VCARD", "NOTE:scritta sul telefono\r\nEND:VCARD");
        phone.write(contatti, name, card);
        QVERIFY(phone.sync());
        archive.native(QStringLiteral("UPDATE Contatti SET email = 'nuova@esempio.it', Note = "
                                      "'scritta in ufficio' WHERE Cognome = 'Bianchi'"));

        ToolRun run = dav(archive);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.contains(QStringLiteral("Conflitti: 1.")), qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("conflitto su Bianchi Luca, note: in archivio "
                                                "«scritta in ufficio», sul telefono «scritta "
                                                "sul telefono»")));
        QCOMPARE(text(field(archive, QStringLiteral("Cellulare"), QStringLiteral("Bianchi"))),
                 QStringLiteral("333 telefono"));
        QCOMPARE(text(field(archive, QStringLiteral("email"), QStringLiteral("Bianchi"))),
                 QStringLiteral("nuova@esempio.it"));
        QCOMPARE(text(field(archive, QStringLiteral("Note"), QStringLiteral("Bianchi"))),
                 QStringLiteral("scritta in ufficio"));
        QVERIFY(phone.sync());
        const QByteArray after = phone.read(contatti, name);
        QVERIFY(after.contains("333 telefono"));
        QVERIFY(after.contains("nuova@esempio.it"));
        QVERIFY(after.contains("NOTE:scritta in ufficio"));
    }

    // The office's deletions and changes reach the phone; the ETags alone (a server without
    // sync-collection) find the phone's changes as well.
    void officeChangesGoOut()
    {
        DavTestServer server;
        m_server = server.url();
        FreshArchive archive;
        addContact(archive, QStringLiteral("Neri"), QStringLiteral("Ada"), QStringLiteral("1"),
                   QString());
        addContact(archive, QStringLiteral("Gialli"), QStringLiteral("Ugo"), QStringLiteral("2"),
                   QString());
        addContact(archive, QStringLiteral("Bruni"), QStringLiteral("Eva"), QStringLiteral("3"),
                   QString());
        archive.native(QStringLiteral("INSERT INTO Calendario (Data, Note, Storico) VALUES (?, "
                                      "'Spostare', ?)"),
                       {db::naiveDateTime(QDate(2027, 5, 3), QTime(9, 0)), false});
        dav::DavSettings settings{m_server, kUser, kPassword, {}, {}, 30};
        dav::SyncOptions options;
        options.zone = QTimeZone("Europe/Rome");
        options.useSyncCollection = false;
        QVERIFY(dav::synchronise(archive.connection(), settings, options));
        DavPhone phone(server.url(QStringLiteral("/ufficio/calvetra-contatti/")),
                       server.url(QStringLiteral("/ufficio/calvetra-agenda/")), kUser, kPassword);
        QVERIFY(phone.sync());
        QCOMPARE(phone.files(QStringLiteral("contatti")).size(), 3);

        archive.native(QStringLiteral("DELETE FROM Contatti WHERE Cognome = 'Neri'"));
        archive.native(QStringLiteral("UPDATE Calendario SET Data = ?"),
                       {db::naiveDateTime(QDate(2027, 5, 4), QTime(16, 0))});
        const QString gialli = phone.find(QStringLiteral("contatti"), "Gialli");
        QByteArray card = phone.read(QStringLiteral("contatti"), gialli);
        card.replace("Ugo", "Ugolino");
        phone.write(QStringLiteral("contatti"), gialli, card);
        QVERIFY(phone.sync());

        const db::Result<dav::SyncReport> done =
            dav::synchronise(archive.connection(), settings, options);
        QVERIFY2(done, qPrintable(done.message()));
        QCOMPARE(done->contacts.sent, 1);
        QCOMPARE(done->contacts.received, 1);
        QCOMPARE(done->agenda.sent, 1);
        QCOMPARE(text(field(archive, QStringLiteral("Nome"), QStringLiteral("Gialli"))),
                 QStringLiteral("Ugolino"));
        QVERIFY(phone.sync());
        QCOMPARE(phone.files(QStringLiteral("contatti")).size(), 2);
        QVERIFY(phone.find(QStringLiteral("contatti"), "Neri").isEmpty());
        QVERIFY(phone.read(QStringLiteral("contatti"), gialli).contains("Ugolino"));
        const QByteArray event =
            phone.read(QStringLiteral("agenda"), phone.files(QStringLiteral("agenda")).value(0));
        QCOMPARE(startInUtc(event), QStringLiteral("2027-05-04T14:00:00+00:00"));

        // Cancelled in the office: off the phone, still in the archive.
        archive.native(QStringLiteral("UPDATE Contatti SET Annullato = ? WHERE Cognome = "
                                      "'Gialli'"),
                       {true});
        QVERIFY(dav::synchronise(archive.connection(), settings, options));
        QVERIFY(phone.sync());
        QCOMPARE(phone.files(QStringLiteral("contatti")).size(), 1);
        QCOMPARE(archive.run(QStringLiteral("SELECT ID FROM Contatti")).rows.size(), 2);
    }

    // A phone writes the card between the sync's reading and its writing: the server refuses
    // the write (412), and the phone's change is merged, not overwritten.
    void phoneWritingMeanwhileIsMerged()
    {
        DavTestServer server;
        m_server = server.url();
        FreshArchive archive;
        addContact(archive, QStringLiteral("Conti"), QStringLiteral("Ida"), QStringLiteral("1"),
                   QStringLiteral("ida@esempio.it"));
        const dav::DavSettings settings{m_server, kUser, kPassword, {}, {}, 30};
        QVERIFY(dav::synchronise(archive.connection(), settings, {}));
        DavPhone phone(server.url(QStringLiteral("/ufficio/calvetra-contatti/")),
                       server.url(QStringLiteral("/ufficio/calvetra-agenda/")), kUser, kPassword);
        QVERIFY(phone.sync());
        archive.native(QStringLiteral("UPDATE Contatti SET email = 'ida@ufficio.it'"));
        const QString contatti = QStringLiteral("contatti");
        const QString name = phone.find(contatti, "Conti");
        bool written = false;
        dav::SyncProgress progress;
        progress.step = [&](const QString &what, int, int total) {
            if (written || what != u"Contatti" || total == 0)
                return;
            written = true;
            QByteArray card = phone.read(contatti, name);
            card.replace("TEL;TYPE=cell:1", "TEL;TYPE=cell:348 7");
            phone.write(contatti, name, card);
            QVERIFY(phone.sync());
        };
        const db::Result<dav::SyncReport> done =
            dav::synchronise(archive.connection(), settings, {}, progress);
        QVERIFY2(done, qPrintable(done.message()));
        QVERIFY(written);
        QCOMPARE(done->contacts.sent, 1);
        QCOMPARE(done->contacts.received, 1);
        QVERIFY(done->conflicts.isEmpty());
        QCOMPARE(text(field(archive, QStringLiteral("Cellulare"), QStringLiteral("Conti"))),
                 QStringLiteral("348 7"));
        QVERIFY(phone.sync());
        const QByteArray card = phone.read(contatti, name);
        QVERIFY(card.contains("348 7"));
        QVERIFY(card.contains("ida@ufficio.it"));
    }

    // A certificate nobody trusts is refused, whatever the server holds; trusted with --ca-file.
    void certificateIsVerified()
    {
        TestCertificates certificates;
        QVERIFY(certificates.ok());
        DavTestServer server(certificates.serve(QStringLiteral("good"))[1],
                             certificates.serve(QStringLiteral("good"))[3]);
        m_server = server.url();
        FreshArchive archive;
        addContact(archive, QStringLiteral("Sole"), QStringLiteral("Ada"), QStringLiteral("1"),
                   QString());
        const QString before = snapshot(archive);
        ToolRun refused = dav(archive);
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("Certificato non valido")),
                 qPrintable(refused.err));
        QCOMPARE(snapshot(archive), before);
        ToolRun trusted = dav(archive, {QStringLiteral("--ca-file"), certificates.ca()});
        QVERIFY2(trusted.exitCode == 0, qPrintable(trusted.err));
        QVERIFY(trusted.out.contains(QStringLiteral("Contatti: inviati al server 1")));
    }

    // Servers that cannot be used: an Italian message, exit 1, the archive as it was.
    void badServersChangeNothing()
    {
        FreshArchive archive;
        addContact(archive, QStringLiteral("Fermi"), QStringLiteral("Rita"), QStringLiteral("1"),
                   QString());
        const QString before = snapshot(archive);
        {
            DavTestServer server;
            m_server = server.url();
            qputenv("CALVETRA_DAV_PASSWORD", "sbagliata");
            ToolRun wrong = dav(archive);
            qputenv("CALVETRA_DAV_PASSWORD", kPassword.toUtf8());
            QCOMPARE(wrong.exitCode, 1);
            QVERIFY2(wrong.err.contains(QStringLiteral("non accetta l'utente «ufficio»")),
                     qPrintable(wrong.err));
            QVERIFY(!wrong.err.contains(QStringLiteral("sbagliata")));
        }
        // Nobody listening any more.
        ToolRun down = dav(archive);
        QCOMPARE(down.exitCode, 1);
        QVERIFY2(down.err.contains(QStringLiteral("non risponde nessun server")),
                 qPrintable(down.err));
        QVERIFY(down.err.contains(QStringLiteral("L'archivio non è stato cambiato.")));

        const auto fake = [&](const char *mode, const QStringList &more, const QString &expected) {
            QTcpServer probe;
            probe.listen(QHostAddress::LocalHost, 0);
            const int port = probe.serverPort();
            probe.close();
            QProcess server;
            server.start(QStringLiteral("/usr/bin/python3"),
                         {QStringLiteral(CALVETRA_TEST_DATA "/dav/fakedav.py"),
                          QString::fromLatin1(mode), QString::number(port)});
            QVERIFY(server.waitForReadyRead(20000));
            const ToolRun run =
                dav(archive, more, QStringLiteral("http://127.0.0.1:%1/").arg(port));
            server.kill();
            server.waitForFinished();
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.contains(expected), qPrintable(run.err));
        };
        fake("xml", {}, QStringLiteral("XML"));
        fake("status", {}, QStringLiteral("500"));
        fake("silent", {QStringLiteral("--timeout"), QStringLiteral("2")},
             QStringLiteral("non ha risposto entro 2 secondi"));
        QCOMPARE(snapshot(archive), before);

        // A wrong command line.
        QCOMPARE(runTool(QStringLiteral("calvetra-dav"), {}).exitCode, 2);
        QCOMPARE(runTool(QStringLiteral("calvetra-dav"),
                         {archive.path(), QStringLiteral("--timeout"), QStringLiteral("mai")})
                     .exitCode,
                 2);
        ToolRun noServer = runTool(QStringLiteral("calvetra-dav"), {archive.path()});
        QCOMPARE(noServer.exitCode, 1);
        QVERIFY(noServer.err.contains(QStringLiteral("Manca l'indirizzo del server")));
    }

    // The phone changed things, then the archive cannot take them: nothing is half written,
    // and the next sync brings them in.
    void archiveRefusingLeavesItAsItWas()
    {
        DavTestServer server;
        m_server = server.url();
        FreshArchive archive;
        addContact(archive, QStringLiteral("Mori"), QStringLiteral("Elio"), QStringLiteral("1"),
                   QString());
        QCOMPARE(dav(archive).exitCode, 0);
        DavPhone phone(server.url(QStringLiteral("/ufficio/calvetra-contatti/")),
                       server.url(QStringLiteral("/ufficio/calvetra-agenda/")), kUser, kPassword);
        QVERIFY(phone.sync());
        const QString contatti = QStringLiteral("contatti");
        const QString mori = phone.find(contatti, "Mori");
        QByteArray card = phone.read(contatti, mori);
        card.replace("Elio", "Eliseo");
        phone.write(contatti, mori, card);
        phone.write(contatti, QStringLiteral("altro.vcf"),
                    "BEGIN:VCARD\r\nVERSION:4.0\r\nUID:x1\r\nFN:Pia Sala\r\nN:Sala;Pia;;;\r\n"
                    "END:VCARD\r\n");
        QVERIFY(phone.sync());
        const QString before = snapshot(archive);
        archive.refuseWrites(QStringLiteral("insert"), QStringLiteral("Contatti"),
                             QStringLiteral("disco pieno"));
        ToolRun refused = dav(archive);
        QCOMPARE(refused.exitCode, 1);
        QVERIFY2(refused.err.contains(QStringLiteral("disco pieno")), qPrintable(refused.err));
        QCOMPARE(snapshot(archive), before);
        archive.allowWrites();
        ToolRun later = dav(archive);
        QCOMPARE(later.exitCode, 0);
        QCOMPARE(text(field(archive, QStringLiteral("Nome"), QStringLiteral("Mori"))),
                 QStringLiteral("Eliseo"));
        QVERIFY(idOf(archive, QStringLiteral("Sala")) > 0);
    }
};

QTEST_GUILESS_MAIN(TestDavSync)
#include "tst_davsync.moc"

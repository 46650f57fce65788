// vCard export and import against an archive: matching, what is written, the one transaction,
// and the round trip.

#include "contacts/vcardexport.h"
#include "contacts/vcardimport.h"
#include "db/core/datetimes.h"
#include "testsupport.h"
#include "vcard/vcardmatch.h"
#include "vcard/vcardreader.h"
#include "vobjectcheck.h"

#include <QDir>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTest>

using namespace vcard;

namespace {

const QDate kToday(2026, 12, 7);

// One card from its lines (BEGIN, VERSION and END added).
DatiVCard card(const QString &lines)
{
    const QList<DatiVCard> cards = LeggiVCard(
        (QStringLiteral("BEGIN:VCARD\nVERSION:4.0\n") + lines + QStringLiteral("\nEND:VCARD\n"))
            .toUtf8());
    if (cards.size() != 1)
        qFatal("not one card: %s", qPrintable(lines));
    return cards.first();
}

// Rossi Mario (1); the company Bianchi Impianti (2) and Luca Bianchi of that company (3);
// Verdi without a given name (4) and Anna Verdi (5); Gabriele D'Annunzio (6).
struct Office
{
    FreshArchive archive;

    Office()
    {
        const QString contact = QStringLiteral(
            "insert into Contatti (ID, RagioneSociale, Cognome, Nome, NominativoDocumenti) "
            "values (?, ?, ?, ?, ?)");
        archive.native(contact, {1, QVariant(), "Rossi", "Mario", "Rossi Mario"});
        archive.native(contact,
                       {2, "Bianchi Impianti", QVariant(), QVariant(), "Bianchi Impianti"});
        archive.native(contact, {3, "Bianchi Impianti", "Bianchi", "Luca", "Bianchi Impianti"});
        archive.native(contact, {4, QVariant(), "Verdi", "", "Verdi "});
        archive.native(contact, {5, QVariant(), "Verdi", "Anna", "Verdi Anna"});
        archive.native(contact, {6, QVariant(), "D'Annunzio", "Gabriele", "D'Annunzio Gabriele"});
        archive.native(QStringLiteral("insert into Categorie (Id, Descrizione, ColoreCategoria) "
                                      "values (1, 'Clienti', 255)"));
        archive.native(QStringLiteral("insert into Calendario (Data, Cliente_ID, Cliente) "
                                      "values ('2026-12-09 10:00:00', 1, 'Rossi Mario')"));
    }
    db::Result<RiepilogoImportazioneVCard> import(const QList<DatiVCard> &cards,
                                                  AzioneImportazioneVCard azione,
                                                  QStringList *questions = nullptr,
                                                  QList<RispostaContattoPresente> answers = {})
    {
        return importaVCard(
            archive.connection(), cards, azione,
            [&](const QString &question) {
                if (questions)
                    *questions << question;
                return answers.isEmpty() ? RispostaContattoPresente::Aggiorna : answers.takeFirst();
            },
            kToday);
    }
    QList<QVariantList> rows(const QString &table)
    {
        return archive.run(QStringLiteral("select * from %1 order by 1").arg(table)).rows;
    }
    QVariantList contact(qint64 id)
    {
        const QList<QVariantList> found =
            archive.native(QStringLiteral("select * from Contatti where ID = ?"), {id}).rows;
        return found.isEmpty() ? QVariantList() : found.first();
    }
    QVariant value(qint64 id, const QString &column)
    {
        return archive
            .native(QStringLiteral("select %1 from Contatti where ID = ?").arg(column), {id})
            .value(0, column);
    }
    qint64 lastId()
    {
        return archive.native(QStringLiteral("select max(ID) as m from Contatti"))
            .value(0, u"m")
            .toLongLong();
    }
};

} // namespace

class TestVCardImport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void aCardMatchesItsContact_data()
    {
        QTest::addColumn<QString>("lines");
        QTest::addColumn<qint64>("contact");
        QTest::newRow("own uid and surname") << "UID:Calvetra1\nN:Rossi;Mario;;;" << 1LL;
        QTest::newRow("own uid in capitals") << "UID:CALVETRA5\nN:Verdi;Anna;;;" << 5LL;
        QTest::newRow("own uid, another surname: names decide")
            << "UID:Calvetra1\nN:Verdi;Anna;;;" << 5LL;
        QTest::newRow("own uid of nobody") << "UID:Calvetra999\nN:Neri;;;;" << 0LL;
        QTest::newRow("foreign uid") << "UID:urn:uuid:1234\nN:Rossi;Mario;;;" << 1LL;
        QTest::newRow("injection") << "UID:Calvetra1 or 1=1\nN:Nuovo;;;;" << 0LL;
        QTest::newRow("company alone: the one without a person") << "ORG:bianchi impianti" << 2LL;
        QTest::newRow("company and its person") << "ORG:Bianchi Impianti\nN:Bianchi;Luca;;;" << 3LL;
        QTest::newRow("company and another person")
            << "ORG:Bianchi Impianti\nN:Bianchi;Marco;;;" << 0LL;
        QTest::newRow("surname alone: empty given name") << "N:Verdi;;;;" << 4LL;
        QTest::newRow("surname and given name") << "N:VERDI;anna;;;" << 5LL;
        QTest::newRow("apostrophe") << "N:D'Annunzio;Gabriele;;;" << 6LL;
        QTest::newRow("nobody") << "N:Neri;Nero;;;" << 0LL;
    }
    void aCardMatchesItsContact()
    {
        QFETCH(QString, lines);
        QFETCH(qint64, contact);
        Office o;
        const db::Result<ContactIndex> index = ContactIndex::load(o.archive.connection());
        QVERIFY(index);
        QCOMPARE(index->match(card(lines)), contact);
    }

    // What is not imported of a card is said: a card without a name by its address or number,
    // a birthday without its year.
    void whatIsLeftOutIsNamed()
    {
        Office o;
        const QList<DatiVCard> cards = {
            card("EMAIL:solo@esempio.it"),
            card("TEL;TYPE=cell:333 9"),
            card("N:Rossi;Anna;;;\nBDAY:--0229"),
        };
        const db::Result<RiepilogoImportazioneVCard> done =
            o.import(cards, AzioneImportazioneVCard::Aggiorna);
        QVERIFY2(done, qPrintable(done.message()));
        QCOMPARE(done->avvisi,
                 QStringList({"Scheda senza nome saltata: solo@esempio.it",
                              "Scheda senza nome saltata: 333 9",
                              "Rossi Anna: data di nascita senza anno, non importata"}));
        QVERIFY(done->testo().startsWith(QStringLiteral("1 nuovi, 0 aggiornati, 2 saltati\n")));
    }

    void newContactsWithTheirListsAndTowns()
    {
        Office o;
        const int towns = o.rows(QStringLiteral("Comuni")).size();
        const QList<DatiVCard> cards = {
            card("N:Ferri;Anna;;;\nTITLE:Dott.ssa\nROLE:Avvocato\nCATEGORIES:Fornitori\n"
                 "TEL;TYPE=home:06 1\nTEL;TYPE=cell:333 1\nTEL;TYPE=work:06 2\n"
                 "TEL;TYPE=work,cell:333 2\nTEL;TYPE=fax:06 3\nEMAIL:a@casa.it\n"
                 "EMAIL;TYPE=work:a@studio.it\nURL:https://ferri.it\nNOTE:uno\\ndue\n"
                 "X-CALVETRA-DESTMERCE:Magazzino\n"
                 "ADR;TYPE=home:;;Via Emilia N°5;forlì;FC;47121;\n"
                 "ADR;TYPE=work:;;Via Nuova;Paperopoli;;00000;\n"
                 "BDAY:19800229\nREV:20200102T101010Z"),
            card("ORG:Studio Verdi, Associati\nCATEGORIES:fornitori\nROLE:avvocato"),
            card("FN:Senza nome"),
            card("N:D'Amico;;;;"),
        };
        const db::Result<RiepilogoImportazioneVCard> done =
            o.import(cards, AzioneImportazioneVCard::Aggiorna);
        QVERIFY2(done, qPrintable(done.message()));
        QCOMPARE(done->testo(), QStringLiteral("3 nuovi, 0 aggiornati, 1 saltati\n"
                                               "Scheda senza nome saltata: Senza nome"));
        QVERIFY(done->righeAggiunte);

        const qint64 ferri = 7;
        const QVariantMap expected = {{"Cognome", "Ferri"},
                                      {"Nome", "Anna"},
                                      {"NominativoDocumenti", "Ferri Anna"},
                                      {"NominativoVisualizzato", "Ferri Anna - 29/02/1980"},
                                      {"Telefono", "06 1"},
                                      {"Cellulare", "333 1"},
                                      {"secTelefono", "06 2"},
                                      {"SecondoCell", "333 2"},
                                      {"Fax", "06 3"},
                                      {"email", "a@casa.it"},
                                      {"secEmail", "a@studio.it"},
                                      {"Internet", "https://ferri.it"},
                                      {"Note", "uno\ndue"},
                                      {"DestMerce", "Magazzino"},
                                      {"Indirizzo", "Via Emilia"},
                                      {"Numero", "5"},
                                      {"Cap", "47121"},
                                      {"UfficioIndirizzo", "Via Nuova"},
                                      {"UfficioCap", "00000"},
                                      {"DataNascita", db::naiveDateTime(QDate(1980, 2, 29))},
                                      {"DataInserimento", db::naiveDateTime(QDate(2020, 1, 2))},
                                      {"NumeroColore", 16777215},
                                      {"Annullato", false}};
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QCOMPARE(o.value(ferri, it.key()), it.value());
        // The town is found by name and province; an unknown one is left unset, never added.
        QCOMPARE(o.archive
                     .native(QStringLiteral("select Comune from Comuni where ID = ?"),
                             {o.value(ferri, QStringLiteral("Citta_ID"))})
                     .value(0, u"Comune"),
                 QVariant(QStringLiteral("Forlì")));
        QVERIFY(!o.value(ferri, QStringLiteral("UfficioComune_id")).isValid());
        QCOMPARE(o.rows(QStringLiteral("Comuni")).size(), towns);
        // A category, a profession, a title: each created once for both cards.
        QCOMPARE(o.rows(QStringLiteral("Categorie")).size(), 2);
        QCOMPARE(o.rows(QStringLiteral("Professioni")).size(), 1);
        QCOMPARE(o.value(8, QStringLiteral("Categoria_ID")),
                 o.value(ferri, QStringLiteral("Categoria_ID")));
        QCOMPARE(o.value(8, QStringLiteral("ColoreCategoria")), QVariant(16777215LL));
        QCOMPARE(o.value(8, QStringLiteral("RagioneSociale")),
                 QVariant(QStringLiteral("Studio Verdi, Associati")));
        QCOMPARE(o.value(8, QStringLiteral("DataInserimento")),
                 QVariant(db::naiveDateTime(kToday)));
        QCOMPARE(o.value(9, QStringLiteral("NominativoDocumenti")),
                 QVariant(QStringLiteral("D'Amico")));
    }

    void matchesAreSkippedAskedOrUpdated()
    {
        Office o;
        const QList<DatiVCard> cards = {card("N:Rossi;Mario;;;\nTEL:06 9"),
                                        card("ORG:Bianchi Impianti\nTEL:051 9"),
                                        card("N:Neri;Nero;;;"), card("N:neri;nero;;;\nTEL:1")};
        QStringList questions;
        db::Result<RiepilogoImportazioneVCard> done =
            o.import(cards, AzioneImportazioneVCard::Chiedi, &questions,
                     {RispostaContattoPresente::Salta, RispostaContattoPresente::Aggiorna,
                      RispostaContattoPresente::Aggiorna});
        QVERIFY(done);
        // The second Neri of the same file is the contact the first one creates.
        QCOMPARE(done->testo(), QStringLiteral("1 nuovi, 2 aggiornati, 1 saltati"));
        QCOMPARE(questions, QStringList({"Il contatto :Rossi Mario e' già presente in archivio: "
                                         "Come si vuole procedere ? Salto il contatto ?",
                                         "Il contatto :Bianchi Impianti e' già presente in "
                                         "archivio: Come si vuole procedere ? Salto il contatto ?",
                                         "Il contatto :neri nero e' già presente in archivio: "
                                         "Come si vuole procedere ? Salto il contatto ?"}));
        QVERIFY(!o.value(1, QStringLiteral("Telefono")).isValid());
        QCOMPARE(o.value(2, QStringLiteral("Telefono")), QVariant(QStringLiteral("051 9")));
        QCOMPARE(o.lastId(), 7);
        QCOMPARE(o.value(7, QStringLiteral("Telefono")), QVariant(QStringLiteral("1")));

        done = o.import(cards, AzioneImportazioneVCard::Salta);
        QCOMPARE(done->testo(), QStringLiteral("0 nuovi, 0 aggiornati, 4 saltati"));
        QCOMPARE(azioneImportazioneVCard(QVariant()), AzioneImportazioneVCard::Chiedi);
        QCOMPARE(azioneImportazioneVCard(1), AzioneImportazioneVCard::Salta);
        QCOMPARE(azioneImportazioneVCard(7), AzioneImportazioneVCard::Aggiorna);
    }

    // One answer for every card left, and a way out before anything is written.
    void anAnswerForAllOrNone()
    {
        const QList<DatiVCard> cards = {card("N:Rossi;Mario;;;\nTEL:06 9"), card("N:Neri;Nero;;;"),
                                        card("N:Verdi;Anna;;;\nTEL:07 7"),
                                        card("N:D'Annunzio;Gabriele;;;\nTEL:08 8")};
        {
            Office o;
            QStringList questions;
            const db::Result<RiepilogoImportazioneVCard> done = o.import(
                cards, AzioneImportazioneVCard::Chiedi, &questions,
                {RispostaContattoPresente::Aggiorna, RispostaContattoPresente::SaltaTutti});
            QVERIFY(done);
            QCOMPARE(questions.size(), 2);
            QCOMPARE(done->testo(), QStringLiteral("1 nuovi, 1 aggiornati, 2 saltati"));
            QCOMPARE(o.value(1, QStringLiteral("Telefono")), QVariant(QStringLiteral("06 9")));
            QVERIFY(!o.value(5, QStringLiteral("Telefono")).isValid());
        }
        {
            Office o;
            QStringList questions;
            const db::Result<RiepilogoImportazioneVCard> done =
                o.import(cards, AzioneImportazioneVCard::Chiedi, &questions,
                         {RispostaContattoPresente::AggiornaTutti});
            QVERIFY(done);
            QCOMPARE(questions.size(), 1);
            QCOMPARE(done->testo(), QStringLiteral("1 nuovi, 3 aggiornati, 0 saltati"));
            QCOMPARE(o.value(6, QStringLiteral("Telefono")), QVariant(QStringLiteral("08 8")));
        }
        {
            Office o;
            const QList<QVariantList> before = o.rows(QStringLiteral("Contatti"));
            QStringList questions;
            const db::Result<RiepilogoImportazioneVCard> done =
                o.import(cards, AzioneImportazioneVCard::Chiedi, &questions,
                         {RispostaContattoPresente::Aggiorna, RispostaContattoPresente::Annulla});
            QVERIFY(done);
            QVERIFY(done->annullato);
            QCOMPARE(questions.size(), 2);
            QCOMPARE(o.rows(QStringLiteral("Contatti")), before);
        }
    }

    // A prefix that is one of the archive's titles is the title; another adds no title.
    void aNamePrefixThatIsATitle()
    {
        Office o;
        o.archive.native(QStringLiteral("insert into Titoli (Id, Descrizione) values (7, 'Dott')"));
        const int titles = o.rows(QStringLiteral("Titoli")).size();
        const db::Result<RiepilogoImportazioneVCard> done =
            o.import({card("N:Neri;Nero;;Dott.;"), card("N:Gialli;Gino;;Sig.;"),
                      card("N:Blu;Bruno;;dott.;\nTITLE:Ing.")},
                     AzioneImportazioneVCard::Aggiorna);
        QVERIFY(done);
        QCOMPARE(o.value(7, QStringLiteral("Titolo_id")), QVariant(7));
        QVERIFY(o.value(8, QStringLiteral("Titolo_id")).isNull());
        QCOMPARE(o.rows(QStringLiteral("Titoli")).size(), titles + 1); // "Ing." from TITLE
        QVERIFY(o.value(9, QStringLiteral("Titolo_id")).toLongLong() != 7);
    }

    // A company's telephones, e-mail and address are its work ones on the card, and come back
    // to its main fields; a person's stay at home.
    void aCompanysFieldsAreWork()
    {
        Office o;
        o.archive.native(QStringLiteral(
            "update Contatti set Telefono = '051 1', email = 'info@bianchi.it', Indirizzo = "
            "'Via Emilia', Cap = '40100' where ID in (1, 2)"));
        const db::Result<EsportazioneVCard> out = esportaVCard(o.archive.connection(), {2, 1});
        QVERIFY(out);
        QString error;
        const QJsonArray read = vobjectCards(out->file, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        const QString company =
            QString::fromUtf8(out->file).section(QStringLiteral("END:VCARD"), 0, 0);
        const QString person =
            QString::fromUtf8(out->file).section(QStringLiteral("END:VCARD"), 1, 1);
        for (const QString &property :
             {QStringLiteral("TEL"), QStringLiteral("EMAIL"), QStringLiteral("ADR")}) {
            QVERIFY2(
                company.contains(QRegularExpression(property + QStringLiteral(";[^:\n]*work"),
                                                    QRegularExpression::CaseInsensitiveOption)),
                qPrintable(company));
            QVERIFY2(
                !company.contains(QRegularExpression(property + QStringLiteral(";[^:\n]*home"),
                                                     QRegularExpression::CaseInsensitiveOption)),
                qPrintable(company));
            QVERIFY2(person.contains(QRegularExpression(property + QStringLiteral(";[^:\n]*home"),
                                                        QRegularExpression::CaseInsensitiveOption)),
                     qPrintable(person));
        }
        o.archive.native(QStringLiteral("update Contatti set Telefono = null, email = null, "
                                        "Indirizzo = null, Cap = null where ID = 2"));
        QVERIFY(o.import(LeggiVCard(out->file), AzioneImportazioneVCard::Aggiorna));
        QCOMPARE(o.value(2, QStringLiteral("Telefono")), QVariant(QStringLiteral("051 1")));
        QCOMPARE(o.value(2, QStringLiteral("email")), QVariant(QStringLiteral("info@bianchi.it")));
        QCOMPARE(o.value(2, QStringLiteral("Indirizzo")), QVariant(QStringLiteral("Via Emilia")));
        QVERIFY(o.value(2, QStringLiteral("secTelefono")).isNull());
        QVERIFY(o.value(2, QStringLiteral("UfficioIndirizzo")).isNull());
        QCOMPARE(esportaVCard(o.archive.connection(), {2, 1})->file, out->file);
    }

    void aUidFromAFileChangesNoOtherRow()
    {
        Office o;
        const QList<QVariantList> before = o.rows(QStringLiteral("Contatti"));
        const db::Result<RiepilogoImportazioneVCard> done =
            o.import({card("UID:Calvetra0 or 1=1\nN:Nuovo;;;;\nNOTE:x"),
                      card("UID:Calvetra1; DELETE FROM Contatti\nN:Nuovo2;;;;"),
                      card("UID:Calvetra6\nN:D'Annunzio;Gabriele;;;\nNOTE:l'altro")},
                     AzioneImportazioneVCard::Aggiorna);
        QVERIFY(done);
        QCOMPARE(done->testo(), QStringLiteral("2 nuovi, 1 aggiornati, 0 saltati"));
        QList<QVariantList> after = o.rows(QStringLiteral("Contatti"));
        QCOMPARE(after.size(), before.size() + 2);
        QCOMPARE(o.value(6, QStringLiteral("Note")), QVariant(QStringLiteral("l'altro")));
        QCOMPARE(o.value(6, QStringLiteral("Cognome")), QVariant(QStringLiteral("D'Annunzio")));
        after[5] = before[5];
        QCOMPARE(after.mid(0, before.size()), before);
    }

    void aNewNameReachesTheAppointments()
    {
        Office o;
        const db::Result<RiepilogoImportazioneVCard> done =
            o.import({card("UID:Calvetra1\nN:Rossi;Marco;;;")}, AzioneImportazioneVCard::Aggiorna);
        QVERIFY(done);
        QVERIFY(done->nomiCambiati);
        QCOMPARE(o.value(1, QStringLiteral("NominativoDocumenti")),
                 QVariant(QStringLiteral("Rossi Marco")));
        QCOMPARE(
            o.archive.run(QStringLiteral("select Cliente from Calendario")).value(0, u"Cliente"),
            QVariant(QStringLiteral("Rossi Marco")));
    }

    void badDatesLeaveTheColumnAndTheRestImports()
    {
        Office o;
        o.archive.native(QStringLiteral("update Contatti set DataNascita = '1970-02-01 00:00:00'"));
        const db::Result<RiepilogoImportazioneVCard> done =
            o.import({card("N:Rossi;Mario;;;\nBDAY:31/02/1970\nTEL:1"),
                      card("N:Verdi;Anna;;;\nBDAY:--0415\nTEL:2"),
                      card("N:Verdi;;;;\nBDAY:1963-03-12T10:00:00\nTEL:3")},
                     AzioneImportazioneVCard::Aggiorna);
        QVERIFY(done);
        QCOMPARE(o.value(1, QStringLiteral("DataNascita")),
                 QVariant(db::naiveDateTime(QDate(1970, 2, 1))));
        QCOMPARE(o.value(1, QStringLiteral("Telefono")), QVariant(QStringLiteral("1")));
        QCOMPARE(o.value(5, QStringLiteral("DataNascita")),
                 QVariant(db::naiveDateTime(QDate(1970, 2, 1))));
        QCOMPARE(o.value(4, QStringLiteral("DataNascita")),
                 QVariant(db::naiveDateTime(QDate(1963, 3, 12))));
    }

    void aFailureWritesNothingAndNamesTheCard()
    {
        Office o;
        o.archive.refuseWrites(QStringLiteral("insert"), QStringLiteral("Contatti"),
                               QStringLiteral("disco pieno"),
                               QStringLiteral("new.Cognome = 'Guasto'"));
        const QList<QVariantList> contacts = o.rows(QStringLiteral("Contatti"));
        const QList<QVariantList> categories = o.rows(QStringLiteral("Categorie"));
        const db::Result<RiepilogoImportazioneVCard> done =
            o.import({card("N:Nuovo;;;;\nCATEGORIES:Altri"),
                      card("UID:Calvetra1\nN:Rossi;Marco;;;"), card("N:Guasto;Mario;;;")},
                     AzioneImportazioneVCard::Aggiorna);
        QVERIFY(!done);
        QVERIFY2(done.message().startsWith(QStringLiteral("Scheda 3 (Guasto Mario): ")),
                 qPrintable(done.message()));
        QVERIFY(done.message().contains(QStringLiteral("disco pieno")));
        QCOMPARE(o.rows(QStringLiteral("Contatti")), contacts);
        QCOMPARE(o.rows(QStringLiteral("Categorie")), categories);
        QCOMPARE(
            o.archive.run(QStringLiteral("select Cliente from Calendario")).value(0, u"Cliente"),
            QVariant(QStringLiteral("Rossi Mario")));
    }

    void exportImportExportIsStable()
    {
        Office o;
        o.archive.native(
            QStringLiteral(
                "update Contatti set Telefono = '06 1', Cellulare = '333', Indirizzo = 'Via "
                "Appia', "
                "Numero = '12/b', Cap = '00184', Citta_ID = (select ID from Comuni where Comune = "
                "'Roma'), UfficioIndirizzo = 'Piazza N°1 Maggio', Note = ?, Categoria_ID = 1, "
                "DataNascita = '0999-12-31 00:00:00', DataInserimento = '2026-01-02 00:00:00', "
                "DestMerce = 'Retro; cortile' where ID in (1, 3)"),
            {QStringLiteral("Prezzo; 10,50 € \\ sconto\nl’ultima")});
        const QList<qint64> ids = {3, 1, 2, 6, 42};
        const db::Result<EsportazioneVCard> first = esportaVCard(o.archive.connection(), ids);
        QVERIFY(first);
        QCOMPARE(first->notFound, QList<qint64>{42});
        QString error;
        const QJsonArray read = vobjectCards(first->file, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(read.size(), 4);
        QCOMPARE(read[0][QStringLiteral("fn")].toString(), QStringLiteral("Bianchi Impianti"));
        QCOMPARE(read[1][QStringLiteral("uid")].toString(), QStringLiteral("Calvetra1"));
        QCOMPARE(read[1][QStringLiteral("adr")][0][1].toArray(),
                 QJsonArray({"", "", "Via Appia N°12/b", "Roma", "RM", "00184", ""}));

        const int rows = o.rows(QStringLiteral("Contatti")).size();
        const db::Result<RiepilogoImportazioneVCard> done =
            o.import(LeggiVCard(first->file), AzioneImportazioneVCard::Aggiorna);
        QVERIFY(done);
        QCOMPARE(done->testo(), QStringLiteral("0 nuovi, 4 aggiornati, 0 saltati"));
        QCOMPARE(o.rows(QStringLiteral("Contatti")).size(), rows);
        QCOMPARE(o.value(1, QStringLiteral("Indirizzo")), QVariant(QStringLiteral("Via Appia")));
        QCOMPARE(o.value(3, QStringLiteral("UfficioIndirizzo")),
                 QVariant(QStringLiteral("Piazza N°1 Maggio")));
        const db::Result<EsportazioneVCard> second = esportaVCard(o.archive.connection(), ids);
        QCOMPARE(second->file, first->file);
    }

    void theFileIsWrittenWholeUnderAVcfName()
    {
        QCOMPARE(nomeFileVCard(QStringLiteral("/tmp/a.b/rubrica")),
                 QStringLiteral("/tmp/a.b/rubrica.vcf"));
        QCOMPARE(nomeFileVCard(QStringLiteral("rubrica.txt")), QStringLiteral("rubrica.txt"));
        QCOMPARE(nomeFileVCardContatto(QStringLiteral("Rossi/Bianchi s.n.c.: \"sede\"")),
                 QStringLiteral("RossiBianchi s.n.c. sede.vcf"));
        QCOMPARE(nomeFileVCardContatto(QStringLiteral("..")), QStringLiteral("Contatto.vcf"));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("rubrica.vcf"));
        QVERIFY(scriviFileVCard(path, "uno"));
        const db::Status refused = scriviFileVCard(path + QStringLiteral("/dentro.vcf"), "due");
        QVERIFY(refused.message().startsWith(QStringLiteral("Impossibile scrivere il file ")));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("uno"));
    }
};

QTEST_GUILESS_MAIN(TestVCardImport)
#include "tst_vcardimport.moc"

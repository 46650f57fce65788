#include "privacy/erasure.h"

#include "db/core/connection.h"
#include "db/core/dialect.h"

#include <QRegularExpression>
#include <QStringList>

namespace privacy {

namespace {

int count(db::Connection &connection, const char *sql, qint64 id, db::Status *error)
{
    db::Result<db::RowSet> found = connection.runNative(QString::fromLatin1(sql), {id});
    if (!found) {
        *error = found.error();
        return 0;
    }
    return found->rows.isEmpty() ? 0 : found->rows.first().value(0).toInt();
}

// The texts that would name the contact in a scratch row: its names and codes, as typed.
QStringList namingTexts(const db::RowSet &contact)
{
    QStringList texts;
    for (const char *column : {"NominativoDocumenti", "NominativoVisualizzato", "RagioneSociale",
                               "Cognome", "CFisc", "PIva", "email", "secEmail"}) {
        const QString text = contact.value(0, QString::fromLatin1(column)).toString().trimmed();
        // A text of one or two letters would match nearly every query.
        if (text.size() >= 3 && !texts.contains(text, Qt::CaseInsensitive))
            texts << text;
    }
    return texts;
}

db::Result<ErasurePlan> plan(db::Connection &connection, qint64 id)
{
    db::Result<db::RowSet> contact = connection.runNative(
        QStringLiteral("SELECT NominativoDocumenti, NominativoVisualizzato, RagioneSociale, "
                       "Cognome, CFisc, PIva, email, secEmail FROM Contatti WHERE ID = ?"),
        {id});
    if (!contact)
        return contact.error();
    if (contact->rows.isEmpty())
        return db::Error{QStringLiteral("Nessun contatto ha il codice %1.").arg(id)};
    ErasurePlan p;
    p.id = id;
    p.name = contact->value(0, u"NominativoDocumenti").toString().trimmed();
    db::Status error;
    p.payments =
        count(connection, "SELECT count(*) FROM Pagamenti WHERE Contatto_ID = ?", id, &error);
    p.appointments =
        count(connection, "SELECT count(*) FROM Calendario WHERE Cliente_ID = ?", id, &error);
    p.recipientRows = count(
        connection, "SELECT count(*) FROM TempAvvisiContatti WHERE Contatto_ID = ?", id, &error);
    if (!error)
        return error.error();
    // A print job names the contact by its key (the privacy form) or by a text of its own (a
    // search typed before printing).
    db::Result<db::RowSet> jobs =
        connection.runNative(QStringLiteral("SELECT Id, Query FROM TempStampa"));
    if (!jobs)
        return jobs.error();
    const QRegularExpression byKey(QStringLiteral("\\bContatti\\.Id\\s*=\\s*%1\\b").arg(id),
                                   QRegularExpression::CaseInsensitiveOption);
    const QStringList texts = namingTexts(*contact);
    for (const QVariantList &job : std::as_const(jobs->rows)) {
        const QString query = job.value(1).toString();
        bool names = byKey.match(query).hasMatch();
        for (const QString &text : texts)
            names = names || query.contains(text, Qt::CaseInsensitive);
        if (names)
            p.printJobs.append(job.value(0).toLongLong());
    }
    return p;
}

bool onSqlite(db::Connection &connection)
{
    return connection.dialect().name() == u"SQLite";
}

} // namespace

db::Result<ErasurePlan> planErasure(db::Connection &connection, qint64 id)
{
    db::Transaction reading(connection, db::Transaction::Kind::Reading);
    if (!reading.started())
        return reading.started().error();
    db::Result<ErasurePlan> found = plan(connection, id);
    if (!found)
        return found;
    if (db::Status ended = reading.commit(); !ended)
        return ended.error();
    return found;
}

QString erasureSummary(const ErasurePlan &plan)
{
    QStringList lines;
    lines << QStringLiteral("il contatto «%1» (codice %2)")
                 .arg(plan.name.isEmpty() ? QStringLiteral("senza nome") : plan.name)
                 .arg(plan.id);
    lines << (plan.payments == 1 ? QStringLiteral("1 pagamento")
                                 : QStringLiteral("%1 pagamenti").arg(plan.payments));
    lines << (plan.appointments == 1 ? QStringLiteral("1 appuntamento")
                                     : QStringLiteral("%1 appuntamenti").arg(plan.appointments));
    const qsizetype scratch = plan.recipientRows + plan.printJobs.size();
    if (scratch > 0)
        lines << (scratch == 1 ? QStringLiteral("1 riga di lavoro delle postazioni (avvisi, "
                                                "stampe)")
                               : QStringLiteral("%1 righe di lavoro delle postazioni (avvisi, "
                                                "stampe)")
                                     .arg(scratch));
    return QStringLiteral("- ") + lines.join(QStringLiteral("\n- "));
}

QString erasureQuestion(const ErasurePlan &plan)
{
    return QStringLiteral("Saranno cancellati per sempre, senza possibilità di recupero:\n%1\n"
                          "Continuare?")
        .arg(erasureSummary(plan));
}

db::Result<ErasureDone> eraseContact(db::Connection &connection, qint64 id)
{
    const bool sqlite = onSqlite(connection);
    QString secureBefore;
    if (sqlite) {
        // Deleted content is overwritten with zeros, in the tables, their indexes and the
        // pages left free, not only unlinked.
        db::Result<db::RowSet> before =
            connection.runNative(QStringLiteral("PRAGMA secure_delete"));
        if (before && !before->rows.isEmpty())
            secureBefore = before->rows.first().value(0).toString();
        if (db::Result<db::RowSet> on =
                connection.runNative(QStringLiteral("PRAGMA secure_delete = ON"));
            !on)
            return on.error();
    }
    // Put back as it was however the erasure ends.
    struct SecureDeleteBack
    {
        db::Connection &connection;
        QString before;
        ~SecureDeleteBack()
        {
            if (!before.isEmpty())
                (void)connection.runNative(
                    QStringLiteral("PRAGMA secure_delete = %1").arg(before.toInt() == 1 ? 1 : 0));
        }
    } const putBack{connection, secureBefore};

    ErasureDone done;
    {
        db::Transaction transaction(connection);
        if (!transaction.started())
            return transaction.started().error();
        db::Result<ErasurePlan> found = plan(connection, id);
        if (!found)
            return found.error();
        done.plan = *found;
        // What the phones' sync agreed on for the person and their appointments: the copy goes,
        // the address on the server stays, so that the next sync deletes it there too.
        db::Result<QStringList> tables = connection.tableNames();
        if (!tables)
            return tables.error();
        if (tables->contains(QStringLiteral("SincroniaElementi"), Qt::CaseInsensitive)) {
            // Both copies: the server's version and the archive's (a table of the first
            // version has only the first).
            const db::Result<db::RowSet> columns =
                connection.runNative(QStringLiteral("SELECT * FROM SincroniaElementi WHERE 1 = 0"));
            if (!columns)
                return columns.error();
            const QString set = columns->columnIndex(u"Archivio") < 0
                                    ? QStringLiteral("Accordato = ''")
                                    : QStringLiteral("Accordato = '', Archivio = ''");
            const QString forget[] = {
                QStringLiteral("UPDATE SincroniaElementi SET %1 WHERE Tipo = 'contatti' AND "
                               "Locale = ?")
                    .arg(set),
                QStringLiteral("UPDATE SincroniaElementi SET %1 WHERE Tipo = 'agenda' AND "
                               "Locale IN (SELECT Id FROM Calendario WHERE Cliente_ID = ?)")
                    .arg(set),
            };
            for (const QString &sql : forget) {
                if (db::Result<db::RowSet> forgotten = connection.runNative(sql, {id}); !forgotten)
                    return forgotten.error();
            }
        }
        const char *const deletes[] = {
            "DELETE FROM Pagamenti WHERE Contatto_ID = ?",
            "DELETE FROM Calendario WHERE Cliente_ID = ?",
            "DELETE FROM TempAvvisiContatti WHERE Contatto_ID = ?",
            "DELETE FROM Contatti WHERE ID = ?",
        };
        for (const char *sql : deletes) {
            if (db::Result<db::RowSet> gone = connection.runNative(QString::fromLatin1(sql), {id});
                !gone)
                return gone.error();
        }
        for (const qint64 job : std::as_const(done.plan.printJobs)) {
            if (db::Result<db::RowSet> gone = connection.runNative(
                    QStringLiteral("DELETE FROM TempStampa WHERE Id = ?"), {job});
                !gone)
                return gone.error();
        }
        if (db::Status committed = transaction.commit(); !committed)
            return committed.error();
    }

    if (!sqlite) {
        done.note = QStringLiteral(
            "Il contatto è cancellato dall'archivio. Sul server PostgreSQL le righe cancellate "
            "restano nei file del database finché il server non riusa quello spazio: perché "
            "non ne resti traccia l'amministratore del server esegua\n"
            "  VACUUM FULL contatti, pagamenti, calendario, tempavvisicontatti, tempstampa;\n"
            "(le copie di sicurezza fatte prima contengono ancora i dati).");
        return done;
    }
    // In WAL mode the erased rows' old pages are still in the log: it is copied into the
    // archive and emptied. Other journal modes delete their journal at every commit.
    done.filesClean = true;
    db::Result<db::RowSet> mode = connection.runNative(QStringLiteral("PRAGMA journal_mode"));
    if (mode && !mode->rows.isEmpty() &&
        mode->rows.first().value(0).toString().compare(u"wal", Qt::CaseInsensitive) == 0) {
        db::Result<db::RowSet> checkpoint =
            connection.runNative(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)"));
        // (busy, log frames, frames checkpointed): busy while another workstation reads.
        if (!checkpoint || checkpoint->rows.isEmpty() ||
            checkpoint->rows.first().value(0).toInt() != 0) {
            done.filesClean = false;
            done.note =
                QStringLiteral(
                    "Il contatto è cancellato, ma il giornale dell'archivio (%1-wal) ne contiene "
                    "ancora una copia finché le altre postazioni lo leggono: ripetere la "
                    "cancellazione di un contatto qualsiasi, o aprire e chiudere il programma, "
                    "quando le altre postazioni sono chiuse.")
                    .arg(connection.location());
        }
    }
    done.note += done.note.isEmpty() ? QStringLiteral("Le copie di sicurezza fatte prima "
                                                      "contengono ancora i dati del contatto.")
                                     : QString();
    return done;
}

db::Result<LeftBehind> leftBehindByDelete(db::Connection &connection, qint64 id)
{
    db::Status error;
    LeftBehind left;
    left.payments =
        count(connection, "SELECT count(*) FROM Pagamenti WHERE Contatto_ID = ?", id, &error);
    left.appointments =
        count(connection, "SELECT count(*) FROM Calendario WHERE Cliente_ID = ?", id, &error);
    if (!error)
        return error.error();
    return left;
}

} // namespace privacy

#include "common/recordoperations.h"

#include "common/dialogs.h"

#include <QFile>
#include <QLocale>

namespace {

db::Status shown(db::Status status)
{
    if (!status)
        dialogs().error(status.message());
    return status;
}

// A decimal written the Italian way (1,5) or with a dot (1.5).
double readDecimal(const QString &text, bool *ok)
{
    const double italian = QLocale(QLocale::Italian).toDouble(text.trimmed(), ok);
    return *ok ? italian : QLocale::c().toDouble(text.trimmed(), ok);
}

} // namespace

db::Status SalvaRecord(db::DataSet &q, const QString &keyColumn)
{
    if (!q.isOpen())
        return shown(db::Error{QStringLiteral("Il data set non è aperto.")});
    if (db::Status posted = q.post(); !posted)
        return ReportSaveFailure(q, keyColumn, posted);
    // The data set learned the key of a new row when it wrote it.
    const QVariant key = q.value(keyColumn);
    if (db::Status requeried = q.requery(); !requeried)
        return shown(requeried);
    if (key.isValid())
        (void)q.locate(keyColumn, key);
    return {};
}

db::Status ConfermaRecord(db::DataSet &q, const QString &keyColumn)
{
    if (db::Status posted = q.post(); !posted)
        return ReportSaveFailure(q, keyColumn, posted);
    return {};
}

db::Status ReportSaveFailure(db::DataSet &q, const QString &keyColumn, db::Status failed)
{
    if (failed.ok())
        return failed;
    if (failed.error().kind != db::ErrorKind::ChangedElsewhere) {
        dialogs().error(failed.message());
        return failed;
    }
    // Without a way out the user could only repeat the save, or lose the edits by force.
    if (dialogs().confirm(
            failed.message() +
            QStringLiteral("\nCaricare i dati salvati dall'altra postazione? Le modifiche fatte "
                           "qui andranno perse.\nRispondendo No si resta sulla scheda per "
                           "copiare quello che serve."))) {
        q.cancel();
        (void)RicaricaSuRecord(q, keyColumn);
    }
    return failed;
}

db::Status EliminaRecord(db::DataSet &q, const QString &keyColumn)
{
    if (!q.isOpen() || q.isEmpty())
        return {};
    const qint64 deleted = q.asInteger(keyColumn);
    q.prior();
    const qint64 previous = q.asInteger(keyColumn);
    if (previous != deleted)
        q.next();
    if (db::Status removed = q.remove(); !removed)
        return shown(removed);
    if (previous != deleted)
        (void)q.locate(keyColumn, previous);
    return {};
}

db::Status RicaricaSuRecord(db::DataSet &q, const QString &keyColumn)
{
    const qint64 key = q.asInteger(keyColumn);
    if (key <= 0)
        return {};
    if (db::Status requeried = q.requery(); !requeried)
        return shown(requeried);
    (void)q.locate(keyColumn, key);
    return {};
}

db::Status ApplicaPersonalizzazioni(const QString &table, db::DataSet &target, db::DataSet &p)
{
    if (db::Status filtered = p.setFilter(QStringLiteral("NomeTabella = '") + table + u'\'');
        !filtered)
        return filtered;
    db::Status result = target.state() == db::DataSet::State::Browse ? target.edit() : db::Status();
    for (p.first(); result && !p.eof(); p.next()) {
        const QString column = p.asString(u"NomeCampo");
        const QString type = p.asString(u"Tipo");
        const QString text = p.asString(u"Valore");
        QVariant value;
        bool ok = true;
        if (type == u"t")
            value = text;
        else if (type == u"n")
            value = text.trimmed().toLongLong(&ok);
        else if (type == u"f")
            value = readDecimal(text, &ok);
        else
            continue;
        if (!ok) {
            result = db::Error{
                QStringLiteral("Valore predefinito non valido per %1: %2").arg(column, text)};
            break;
        }
        result = target.setValue(column, value);
    }
    (void)p.setFilter(QString());
    return result;
}

db::Status ScriviFileTesto(const QString &path, const QString &text, bool dropLineBreaks)
{
    QString s = text;
    if (dropLineBreaks) {
        s.remove(u'\n');
        s.remove(u'\r');
    }
    QByteArray bytes;
    bytes.reserve(s.size());
    for (QChar c : std::as_const(s))
        bytes.append(char(c.unicode() & 0xff));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return db::Error{
            QStringLiteral("Impossibile scrivere il file %1: %2").arg(path, file.errorString())};
    if (file.write(bytes) != bytes.size())
        return db::Error{
            QStringLiteral("Impossibile scrivere il file %1: %2").arg(path, file.errorString())};
    return {};
}

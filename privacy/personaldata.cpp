#include "privacy/personaldata.h"

#include "common/amounts.h"
#include "common/dates.h"
#include "db/core/connection.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace privacy {

namespace {

// The contact's columns in the order a person reads them, with their labels. A column named
// with a second one shows that one instead: the name of what the key points at.
struct ColumnLabel
{
    const char *column;
    const char *label;
    const char *shownAs = nullptr;
};

const ColumnLabel kColumns[] = {
    {"ID", "Codice del contatto"},
    {"RagioneSociale", "Ragione sociale"},
    {"Titolo_id", "Titolo", "NomeTitolo"},
    {"Cognome", "Cognome"},
    {"Nome", "Nome"},
    {"NominativoDocumenti", "Nominativo"},
    {"NominativoVisualizzato", "Nominativo nell'elenco"},
    {"Sesso", "Sesso", "NomeSesso"},
    {"DataNascita", "Data di nascita"},
    {"LuogoNascita", "Luogo di nascita", "NomeLuogoNascita"},
    {"CFisc", "Codice fiscale"},
    {"PIva", "Partita IVA"},
    {"Categoria_ID", "Categoria", "NomeCategoria"},
    {"Professione_id", "Professione", "NomeProfessione"},
    {"Indirizzo", "Indirizzo"},
    {"Numero", "Numero civico"},
    {"Cap", "CAP"},
    {"Citta_ID", "Comune", "NomeComune"},
    {"UfficioIndirizzo", "Indirizzo dell'ufficio"},
    {"UfficioNumero", "Numero civico dell'ufficio"},
    {"UfficioCap", "CAP dell'ufficio"},
    {"UfficioComune_id", "Comune dell'ufficio", "NomeComuneUfficio"},
    {"Telefono", "Telefono"},
    {"secTelefono", "Telefono 2"},
    {"Cellulare", "Cellulare"},
    {"SecondoCell", "Cellulare 2"},
    {"Fax", "Fax"},
    {"email", "E-mail"},
    {"secEmail", "E-mail 2"},
    {"Pec", "PEC"},
    {"CodiceSdi", "Codice destinatario (SDI)"},
    {"Internet", "Sito internet"},
    {"Skype", "Skype"},
    {"Messenger", "Messenger"},
    {"DestMerce", "Destinazione merce"},
    {"Note", "Note"},
    {"Festivita", "Auguri per le festività"},
    {"PrivacyFirmata", "Consenso privacy firmato"},
    {"Annullato", "Annullato"},
    {"DataInserimento", "Data di inserimento"},
};

// The contact with the names of what its keys point at.
const char kContactSql[] =
    "SELECT Contatti.*, Titoli.Descrizione AS NomeTitolo, Sesso.Descrizione AS NomeSesso, "
    "Categorie.Descrizione AS NomeCategoria, Professioni.Descrizione AS NomeProfessione, "
    "Comuni.Comune AS NomeComune, Comuni.Provincia AS ProvinciaComune, "
    "Ufficio.Comune AS NomeComuneUfficio, Ufficio.Provincia AS ProvinciaComuneUfficio, "
    "Nascita.Comune AS NomeLuogoNascita, Nascita.Provincia AS ProvinciaLuogoNascita "
    "FROM Contatti "
    "LEFT JOIN Titoli ON Contatti.Titolo_id = Titoli.Id "
    "LEFT JOIN Sesso ON Contatti.Sesso = Sesso.Sesso "
    "LEFT JOIN Categorie ON Contatti.Categoria_ID = Categorie.Id "
    "LEFT JOIN Professioni ON Contatti.Professione_id = Professioni.Id "
    "LEFT JOIN Comuni ON Contatti.Citta_ID = Comuni.ID "
    "LEFT JOIN Comuni AS Ufficio ON Contatti.UfficioComune_id = Ufficio.ID "
    "LEFT JOIN Comuni AS Nascita ON Contatti.LuogoNascita_Id = Nascita.ID "
    "WHERE Contatti.ID = ?";
const char kPaymentsSql[] = "SELECT data, Descrizione, Importo FROM Pagamenti "
                            "WHERE Contatto_ID = ? ORDER BY data, Id";
const char kAppointmentsSql[] =
    "SELECT Data, DataAvviso, TipologiaCalendario, Note, Personale, Cliente, Conclusa, Storico "
    "FROM Calendario WHERE Cliente_ID = ? ORDER BY Data, Id";
const char kScratchSql[] = "SELECT count(*) FROM TempAvvisiContatti WHERE Contatto_ID = ?";

bool isNull(const QVariant &value)
{
    return !value.isValid() || value.isNull() ||
           (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty());
}

QString yesNo(bool value)
{
    return value ? QStringLiteral("Sì") : QStringLiteral("No");
}

// A town with its province: "Castro (BG)".
QString withProvince(const QString &town, const QString &province)
{
    return province.trimmed().isEmpty() ? town
                                        : QStringLiteral("%1 (%2)").arg(town, province.trimmed());
}

QString shownValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return yesNo(value.toBool());
    case QMetaType::QDateTime:
        return ScriviDataItaliana(value.toDateTime());
    default:
        return value.toString().trimmed();
    }
}

QJsonValue jsonValue(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool();
    case QMetaType::QDateTime: {
        const QDateTime t = value.toDateTime();
        return t.time() == QTime(0, 0) ? t.date().toString(Qt::ISODate)
                                       : t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
    }
    case QMetaType::Int:
    case QMetaType::LongLong:
        return value.toLongLong();
    case QMetaType::Double:
        return value.toDouble();
    default:
        return value.toString();
    }
}

QJsonValue jsonDate(const QDateTime &value)
{
    return value.isValid() ? jsonValue(value) : QJsonValue();
}

} // namespace

db::Result<PersonalData> readPersonalData(db::Connection &connection, qint64 id)
{
    db::Transaction reading(connection, db::Transaction::Kind::Reading);
    if (!reading.started())
        return reading.started().error();
    db::Result<db::RowSet> contact = connection.runNative(QString::fromLatin1(kContactSql), {id});
    if (!contact)
        return contact.error();
    if (contact->rows.isEmpty())
        return db::Error{QStringLiteral("Nessun contatto ha il codice %1.").arg(id)};
    const db::RowSet &row = *contact;
    const auto value = [&](const char *column) {
        return row.value(0, QString::fromLatin1(column));
    };

    PersonalData data;
    data.id = id;
    data.name = value("NominativoDocumenti").toString().trimmed();
    data.consent = value("PrivacyFirmata").toBool();
    for (const ColumnLabel &c : kColumns) {
        QVariant v = value(c.shownAs ? c.shownAs : c.column);
        // Nothing to name it by (a key that points at nothing, a birthplace typed as text): the
        // column's own value.
        if (c.shownAs && isNull(v))
            v = value(c.column);
        if (isNull(v))
            continue;
        QString shown = shownValue(v);
        if (qstrcmp(c.column, "Citta_ID") == 0)
            shown = withProvince(shown, value("ProvinciaComune").toString());
        else if (qstrcmp(c.column, "UfficioComune_id") == 0)
            shown = withProvince(shown, value("ProvinciaComuneUfficio").toString());
        else if (qstrcmp(c.column, "LuogoNascita") == 0 && !isNull(value("NomeLuogoNascita")))
            shown = withProvince(shown, value("ProvinciaLuogoNascita").toString());
        data.fields.append(
            Field{QString::fromLatin1(c.column), QString::fromUtf8(c.label), v, shown});
    }

    db::Result<db::RowSet> payments = connection.runNative(QString::fromLatin1(kPaymentsSql), {id});
    if (!payments)
        return payments.error();
    for (const QVariantList &p : std::as_const(payments->rows))
        data.payments.append(
            Payment{p.value(0).toDateTime(), p.value(1).toString(), p.value(2).toDouble()});
    db::Result<db::RowSet> appointments =
        connection.runNative(QString::fromLatin1(kAppointmentsSql), {id});
    if (!appointments)
        return appointments.error();
    for (const QVariantList &a : std::as_const(appointments->rows))
        data.appointments.append(Appointment{a.value(0).toDateTime(), a.value(1).toDateTime(),
                                             a.value(2).toString(), a.value(3).toString(),
                                             a.value(4).toString(), a.value(5).toString(),
                                             a.value(6).toBool(), a.value(7).toBool()});
    db::Result<db::RowSet> scratch = connection.runNative(QString::fromLatin1(kScratchSql), {id});
    if (!scratch)
        return scratch.error();
    data.scratchRows = scratch->rows.isEmpty() ? 0 : scratch->rows.first().value(0).toInt();
    if (db::Status ended = reading.commit(); !ended)
        return ended.error();
    return data;
}

QByteArray personalDataJson(const PersonalData &data, const QDateTime &exportedAt)
{
    QJsonObject contact;
    QJsonArray fields;
    for (const Field &f : data.fields) {
        contact.insert(f.label, jsonValue(f.value));
        fields.append(QJsonObject{{QStringLiteral("campo"), f.column},
                                  {QStringLiteral("voce"), f.label},
                                  {QStringLiteral("valore"), jsonValue(f.value)}});
    }
    QJsonArray payments;
    for (const Payment &p : data.payments)
        payments.append(QJsonObject{{QStringLiteral("data"), jsonDate(p.date)},
                                    {QStringLiteral("descrizione"), p.description},
                                    {QStringLiteral("importo"), qRound64(p.amount * 100) / 100.0}});
    QJsonArray appointments;
    for (const Appointment &a : data.appointments)
        appointments.append(QJsonObject{{QStringLiteral("data"), jsonDate(a.when)},
                                        {QStringLiteral("dataAvviso"), jsonDate(a.reminder)},
                                        {QStringLiteral("tipologia"), a.type},
                                        {QStringLiteral("note"), a.note},
                                        {QStringLiteral("personale"), a.staff},
                                        {QStringLiteral("contatto"), a.contactText},
                                        {QStringLiteral("conclusa"), a.done},
                                        {QStringLiteral("archiviata"), a.archived}});
    const QJsonObject root{
        {QStringLiteral("formato"), QStringLiteral("calvetra-dati-personali")},
        {QStringLiteral("versione"), 1},
        {QStringLiteral("esportatoIl"), exportedAt.toString(Qt::ISODate)},
        {QStringLiteral("codiceContatto"), data.id},
        {QStringLiteral("nominativo"), data.name},
        {QStringLiteral("consensoPrivacy"), data.consent},
        {QStringLiteral("contatto"), contact},
        {QStringLiteral("campi"), fields},
        {QStringLiteral("pagamenti"), payments},
        {QStringLiteral("appuntamenti"), appointments},
    };
    return QJsonDocument(root).toJson(QJsonDocument::Indented);
}

db::RowSet personalDataRows(const PersonalData &data)
{
    db::RowSet rows;
    for (const char *name : {"Ordine", "Sezione", "Voce", "Valore"})
        rows.columns.append(db::Column{QString::fromLatin1(name), db::FieldKind::Text, {}, {}});
    const auto add = [&rows](int order, const QString &section, const QString &label,
                             const QString &value) {
        rows.rows.append(QVariantList{order, section, label, value});
    };
    const QString anagrafica = QStringLiteral("Dati del contatto");
    for (const Field &f : data.fields)
        add(1, anagrafica, f.label, f.shown);
    add(2, QStringLiteral("Consenso al trattamento"), QStringLiteral("Informativa firmata"),
        yesNo(data.consent));
    const QString pagamenti = QStringLiteral("Pagamenti");
    if (data.payments.isEmpty())
        add(3, pagamenti, QStringLiteral("Nessun pagamento"), QString());
    for (const Payment &p : data.payments)
        add(3, pagamenti, p.date.isValid() ? ScriviDataItaliana(p.date.date()) : QString(),
            QStringLiteral("%1 — %2").arg(ScriviImporto(p.amount), p.description.trimmed()));
    const QString appuntamenti = QStringLiteral("Appuntamenti");
    if (data.appointments.isEmpty())
        add(4, appuntamenti, QStringLiteral("Nessun appuntamento"), QString());
    for (const Appointment &a : data.appointments) {
        QStringList parts;
        for (const QString &part : {a.type.trimmed(), a.note.trimmed(), a.staff.trimmed()}) {
            if (!part.isEmpty())
                parts << part;
        }
        if (a.reminder.isValid())
            parts << QStringLiteral("avviso il %1").arg(ScriviDataItaliana(a.reminder.date()));
        if (a.done)
            parts << QStringLiteral("conclusa");
        if (a.archived)
            parts << QStringLiteral("archiviata");
        add(4, appuntamenti, a.when.isValid() ? ScriviDataItaliana(a.when) : QString(),
            parts.join(QStringLiteral(" · ")));
    }
    return rows;
}

} // namespace privacy

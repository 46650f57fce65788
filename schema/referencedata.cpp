#include "schema/referencedata.h"

#include "schema/csvtable.h"

#include <QFile>
#include <QHash>

namespace schema {

namespace {

// The ISO 3166-1 numeric code of Italy, the key of its row in Nazioni.
constexpr int kItalia = 380;

db::Result<CsvTable> readTable(const QString &name)
{
    QFile file(QStringLiteral(":/reference/%1.csv").arg(name));
    if (!file.open(QIODevice::ReadOnly))
        return db::Error{QStringLiteral("Dati di riferimento mancanti: %1.csv").arg(name)};
    return CsvTable::parse(QString::fromUtf8(file.readAll()));
}

QVariant number(const QString &code)
{
    bool ok = false;
    const int v = code.toInt(&ok);
    return ok ? QVariant(v) : QVariant();
}

QVariant textOrNull(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

} // namespace

db::Status loadFirstRows(db::Connection &c)
{
    const QList<std::pair<QString, QVariantList>> rows = {
        {QStringLiteral("INSERT INTO Sesso (Sesso, Descrizione) VALUES (?, ?)"),
         {QStringLiteral("M"), QStringLiteral("Maschio")}},
        {QStringLiteral("INSERT INTO Sesso (Sesso, Descrizione) VALUES (?, ?)"),
         {QStringLiteral("F"), QStringLiteral("Femmina")}},
        {QStringLiteral("INSERT INTO TipoEsportazioniCrystalReport (Numero, Descrizione, "
                        "Estensione, Attivo) VALUES (?, ?, ?, ?)"),
         {1, QStringLiteral("Documento PDF"), QStringLiteral("pdf"), true}},
        {QStringLiteral("INSERT INTO TipoEsportazioniCrystalReport (Numero, Descrizione, "
                        "Estensione, Attivo) VALUES (?, ?, ?, ?)"),
         {2, QStringLiteral("Testo separato da virgole (CSV)"), QStringLiteral("csv"), true}},
        {QStringLiteral("INSERT INTO TipoEsportazioniCrystalReport (Numero, Descrizione, "
                        "Estensione, Attivo) VALUES (?, ?, ?, ?)"),
         {3, QStringLiteral("Pagina web (HTML)"), QStringLiteral("html"), true}},
        {QStringLiteral(
             "INSERT INTO opzioni (Id, PasswordAmministratore, StampanteDefault, "
             "EtichettePiccole, TipoEsportazione, EstensioneEsportazione, "
             "AzioneImportazioneVCard, SmtpPorta, SmtpAutenticazioneServer, "
             "SmtpCriptato, SmtpCriptaggioTipo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {1, QStringLiteral(""), false, false, 1, QStringLiteral("pdf"), 0, 25, false, false, 3}},
        {QStringLiteral("INSERT INTO ditta (Id) VALUES (?)"), {1}},
    };
    for (const auto &[sql, values] : rows) {
        db::Result<db::RowSet> done = c.runNative(sql, values);
        if (!done)
            return done.error();
    }
    return {};
}

db::Result<QList<ReferenceTable>> nationalLists()
{
    db::Result<CsvTable> regioni = readTable(QStringLiteral("regioni"));
    db::Result<CsvTable> province = readTable(QStringLiteral("province"));
    db::Result<CsvTable> nazioni = readTable(QStringLiteral("nazioni"));
    db::Result<CsvTable> comuni = readTable(QStringLiteral("comuni"));
    db::Result<CsvTable> capMultipli = readTable(QStringLiteral("cap_multipli"));
    for (const auto *t : {&regioni, &province, &nazioni, &comuni, &capMultipli}) {
        if (!*t)
            return t->error();
    }
    // One row per CSV row; `values` gives the values of a row.
    const auto table = [](const QString &name, QStringList columns, const CsvTable &csv,
                          const auto &values) {
        ReferenceTable t{name, std::move(columns), {}};
        t.rows.reserve(csv.rowCount());
        for (qsizetype r = 0; r < csv.rowCount(); ++r)
            t.rows.append(values(r));
        return t;
    };
    QList<ReferenceTable> lists;
    lists.append(table(
        QStringLiteral("regioni"), {QStringLiteral("IDRegione"), QStringLiteral("Descrizione")},
        *regioni, [&](qsizetype r) {
            return QVariantList{number(regioni->value(r, QStringLiteral("regione_istat"))),
                                regioni->value(r, QStringLiteral("nome"))};
        }));
    lists.append(table(QStringLiteral("Province"),
                       {QStringLiteral("CODPROV"), QStringLiteral("PROVINCIA"),
                        QStringLiteral("CAPOLUOGO"), QStringLiteral("Regione_ID")},
                       *province, [&](qsizetype r) {
                           const CsvTable &p = *province;
                           return QVariantList{
                               number(p.value(r, QStringLiteral("provincia_istat"))),
                               p.value(r, QStringLiteral("sigla")),
                               p.value(r, QStringLiteral("capoluogo")),
                               number(p.value(r, QStringLiteral("regione_istat")))};
                       }));
    lists.append(table(QStringLiteral("Nazioni"),
                       {QStringLiteral("IDNazione"), QStringLiteral("DENOMINAZ")}, *nazioni,
                       [&](qsizetype r) {
                           return QVariantList{number(nazioni->value(r, QStringLiteral("numeric"))),
                                               nazioni->value(r, QStringLiteral("nome"))};
                       }));
    // Municipalities are numbered in their alphabetical order; the street table refers to
    // them through these numbers.
    QHash<QString, int> idByIstat;
    lists.append(
        table(QStringLiteral("Comuni"),
              {QStringLiteral("ID"), QStringLiteral("Comune"), QStringLiteral("Provincia"),
               QStringLiteral("Cap"), QStringLiteral("COD_ISTAT"), QStringLiteral("CODICE_F"),
               QStringLiteral("Regione_ID"), QStringLiteral("Nazione_ID")},
              *comuni, [&](qsizetype r) {
                  const CsvTable &m = *comuni;
                  const int id = int(r) + 1;
                  idByIstat.insert(m.value(r, QStringLiteral("istat")), id);
                  return QVariantList{id,
                                      m.value(r, QStringLiteral("comune")),
                                      m.value(r, QStringLiteral("sigla")),
                                      m.value(r, QStringLiteral("cap")),
                                      m.value(r, QStringLiteral("istat")),
                                      textOrNull(m.value(r, QStringLiteral("belfiore"))),
                                      number(m.value(r, QStringLiteral("regione_istat"))),
                                      kItalia};
              }));
    lists.append(
        table(QStringLiteral("Indirizzi"),
              {QStringLiteral("id_cap"), QStringLiteral("Cap"), QStringLiteral("Comune_ID")},
              *capMultipli, [&](qsizetype r) {
                  const CsvTable &m = *capMultipli;
                  const int comune = idByIstat.value(m.value(r, QStringLiteral("istat")));
                  return QVariantList{int(r) + 1, m.value(r, QStringLiteral("cap")),
                                      comune > 0 ? QVariant(comune) : QVariant()};
              }));
    return lists;
}

std::optional<ShippedMunicipality> shippedMunicipality(const QString &code)
{
    const QString wanted = code.trimmed().toUpper();
    if (wanted.isEmpty())
        return std::nullopt;
    // Read once: a command line may name many codes.
    static const db::Result<CsvTable> comuni = readTable(QStringLiteral("comuni"));
    if (!comuni)
        return std::nullopt;
    for (qsizetype r = 0; r < comuni->rowCount(); ++r) {
        if (comuni->value(r, QStringLiteral("belfiore")).compare(wanted, Qt::CaseInsensitive) == 0)
            return ShippedMunicipality{comuni->value(r, QStringLiteral("comune")),
                                       comuni->value(r, QStringLiteral("sigla"))};
    }
    return std::nullopt;
}

db::Status loadReferenceData(db::Connection &c)
{
    const db::Result<QList<ReferenceTable>> lists = nationalLists();
    if (!lists)
        return lists.error();
    for (const ReferenceTable &t : *lists) {
        QStringList marks(t.columns.size(), QStringLiteral("?"));
        const QString sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(t.table, t.columns.join(QStringLiteral(", ")),
                                     marks.join(QStringLiteral(", ")));
        for (const QVariantList &row : t.rows) {
            db::Result<db::RowSet> done = c.runNative(sql, row);
            if (!done)
                return done.error();
        }
    }
    return loadFirstRows(c);
}

db::Status loadStarterLists(db::Connection &c)
{
    // What an Italian office picks most often, so that the first lists are not empty. Only a
    // new archive gets them; the user edits or deletes them like any other row.
    const std::pair<const char *, QStringList> lists[] = {
        {"Titoli",
         {QStringLiteral("Sig."), QStringLiteral("Sig.ra"), QStringLiteral("Dott."),
          QStringLiteral("Dott.ssa"), QStringLiteral("Avv."), QStringLiteral("Ing."),
          QStringLiteral("Geom."), QStringLiteral("Rag."), QStringLiteral("Prof.")}},
        {"TipoPagamenti",
         {QStringLiteral("Contanti"), QStringLiteral("Bonifico"), QStringLiteral("Assegno"),
          QStringLiteral("Carta"), QStringLiteral("RiBa")}},
        {"TipologiaCalendario",
         {QStringLiteral("Appuntamento"), QStringLiteral("Telefonata"),
          QStringLiteral("Scadenza")}},
    };
    for (const auto &[table, values] : lists) {
        const QString sql = QStringLiteral("INSERT INTO %1 (Descrizione) VALUES (?)")
                                .arg(c.dialect().quoteIdentifier(QString::fromLatin1(table)));
        for (const QString &value : values) {
            if (db::Result<db::RowSet> done = c.runNative(sql, {value}); !done)
                return done.error();
        }
    }
    return {};
}

} // namespace schema

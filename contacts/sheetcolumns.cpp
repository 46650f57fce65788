#include "contacts/sheetcolumns.h"

#include <QHash>
#include <QRegularExpression>

namespace {

using F = SheetField;

const struct
{
    F field;
    const char *title;
} kTitles[] = {
    {F::Nessuno, "(non importare)"},
    {F::Cognome, "Cognome"},
    {F::Nome, "Nome"},
    {F::RagioneSociale, "Ragione sociale"},
    {F::Titolo, "Titolo"},
    {F::Indirizzo, "Indirizzo"},
    {F::Civico, "Numero civico"},
    {F::Cap, "CAP"},
    {F::Comune, "Comune"},
    {F::Provincia, "Provincia"},
    {F::UfficioIndirizzo, "Indirizzo ufficio"},
    {F::UfficioCivico, "Numero civico ufficio"},
    {F::UfficioCap, "CAP ufficio"},
    {F::UfficioComune, "Comune ufficio"},
    {F::UfficioProvincia, "Provincia ufficio"},
    {F::Telefono, "Telefono"},
    {F::Cellulare, "Cellulare"},
    {F::TelefonoUfficio, "Telefono ufficio"},
    {F::CellulareUfficio, "Cellulare ufficio"},
    {F::Fax, "Fax"},
    {F::Email, "E-mail"},
    {F::EmailUfficio, "E-mail ufficio"},
    {F::Pec, "PEC"},
    {F::Internet, "Sito internet"},
    {F::CodiceFiscale, "Codice fiscale"},
    {F::PartitaIva, "Partita IVA"},
    {F::DataNascita, "Data di nascita"},
    {F::Categoria, "Categoria"},
    {F::Professione, "Professione"},
    {F::Note, "Note"},
};
static_assert(std::size(kTitles) == kSheetFields);

// A header as compared: lower case, accents dropped, every run of blanks and punctuation one
// blank ("E-mail 1 - Value" -> "e mail 1 value", "Città (uff.)" -> "citta uff").
QString normalised(const QString &header)
{
    QString text = header.normalized(QString::NormalizationForm_D).toCaseFolded();
    QString out;
    bool blank = false;
    for (const QChar c : std::as_const(text)) {
        if (c.category() == QChar::Mark_NonSpacing)
            continue;
        if (c.isLetterOrNumber()) {
            if (blank && !out.isEmpty())
                out += u' ';
            blank = false;
            out += c;
        } else {
            blank = true;
        }
    }
    return out;
}

// Headers by their normalised form. Several programs' names for the same field.
const QHash<QString, F> &known()
{
    static const QHash<QString, F> names = [] {
        QHash<QString, F> h;
        const auto add = [&h](F field, std::initializer_list<const char *> headers) {
            for (const char *header : headers)
                h.insert(normalised(QString::fromUtf8(header)), field);
        };
        add(F::Cognome, {"Cognome", "Family Name", "Last Name", "Surname"});
        add(F::Nome, {"Nome", "Given Name", "First Name", "Nome proprio"});
        add(F::RagioneSociale,
            {"Ragione sociale", "Azienda", "Società", "Ditta", "Denominazione", "Company",
             "Organization 1 - Name", "Organization Name", "Organizzazione", "Impresa"});
        add(F::Titolo, {"Titolo", "Title", "Name Prefix", "Prefisso"});
        add(F::Indirizzo, {"Indirizzo", "Via", "Home Street", "Via (ab.)", "Via abitazione",
                           "Indirizzo abitazione", "Street"});
        add(F::Civico, {"Numero civico", "Civico", "N. civico", "N civico", "Numero"});
        add(F::Cap, {"CAP", "C.A.P.", "Codice postale", "Home Postal Code", "CAP (ab.)",
                     "CAP abitazione", "Postal Code", "ZIP"});
        add(F::Comune, {"Città", "Comune", "Località", "Home City", "Città (ab.)",
                        "Città abitazione", "City", "Paese"});
        add(F::Provincia, {"Provincia", "Prov", "Prov.", "Sigla provincia", "Home State",
                           "Provincia (ab.)", "Provincia abitazione", "State", "Region"});
        add(F::UfficioIndirizzo, {"Indirizzo ufficio", "Business Street", "Via (uff.)",
                                  "Via ufficio", "Indirizzo (uff.)", "Indirizzo lavoro"});
        add(F::UfficioCivico, {"Numero civico ufficio", "Civico ufficio"});
        add(F::UfficioCap, {"CAP ufficio", "Business Postal Code", "CAP (uff.)", "CAP lavoro"});
        add(F::UfficioComune,
            {"Comune ufficio", "Città ufficio", "Business City", "Città (uff.)", "Città lavoro"});
        add(F::UfficioProvincia,
            {"Provincia ufficio", "Business State", "Provincia (uff.)", "Provincia lavoro"});
        add(F::Telefono, {"Telefono", "Tel", "Tel.", "Telefono casa", "Telefono abitazione",
                          "Home Phone", "Telefono (ab.)", "Phone", "Telefono fisso"});
        add(F::Cellulare, {"Cellulare", "Cell", "Cell.", "Mobile Phone", "Mobile", "Telefonino",
                           "Cellulare personale"});
        add(F::TelefonoUfficio, {"Telefono ufficio", "Business Phone", "Telefono (uff.)",
                                 "Telefono lavoro", "Tel. ufficio"});
        add(F::CellulareUfficio, {"Cellulare ufficio", "Secondo cellulare", "Cellulare lavoro"});
        add(F::Fax, {"Fax", "Business Fax", "Home Fax", "Fax (uff.)", "Fax (ab.)"});
        add(F::Email, {"E-mail", "Email", "Posta elettronica", "E-mail Address",
                       "Indirizzo posta elettronica", "Indirizzo e-mail", "Mail"});
        add(F::EmailUfficio, {"E-mail ufficio", "E-mail 2 Address", "Indirizzo posta elettronica 2",
                              "Seconda e-mail", "E-mail lavoro"});
        add(F::Pec, {"PEC", "Posta elettronica certificata", "E-mail PEC", "Indirizzo PEC"});
        add(F::Internet, {"Sito internet", "Sito", "Sito web", "Internet", "Web Page", "Pagina Web",
                          "Website 1 - Value", "Web"});
        add(F::CodiceFiscale, {"Codice fiscale", "CF", "C.F.", "Cod. fiscale", "Codice fisc."});
        add(F::PartitaIva, {"Partita IVA", "P. IVA", "P.IVA", "PIVA", "Part. IVA", "VAT Number",
                            "Partita I.V.A."});
        add(F::DataNascita, {"Data di nascita", "Data nascita", "Nato il", "Nata il", "Birthday",
                             "Compleanno", "Data di nascita (gg/mm/aaaa)"});
        add(F::Categoria, {"Categoria", "Categorie", "Categories", "Gruppo", "Group Membership"});
        add(F::Professione, {"Professione", "Job Title", "Posizione", "Qualifica",
                             "Organization 1 - Title", "Organization Title", "Mestiere"});
        add(F::Note, {"Note", "Notes", "Annotazioni", "Osservazioni"});
        return h;
    }();
    return names;
}

// "Phone 1 - Value" and the like, whose field the type column beside them decides.
struct Typed
{
    QRegularExpression value;
    F home;
};

const QList<Typed> &typedColumns()
{
    static const QList<Typed> list = {
        {QRegularExpression(QStringLiteral("^phone (\\d+) value$")), F::Telefono},
        {QRegularExpression(QStringLiteral("^e mail (\\d+) value$")), F::Email},
        {QRegularExpression(QStringLiteral("^address (\\d+) street$")), F::Indirizzo},
        {QRegularExpression(QStringLiteral("^address (\\d+) city$")), F::Comune},
        {QRegularExpression(QStringLiteral("^address (\\d+) postal code$")), F::Cap},
        {QRegularExpression(QStringLiteral("^address (\\d+) region$")), F::Provincia},
    };
    return list;
}

// The type column of the group a typed column belongs to ("phone 1 type" or "phone 1 label").
int typeColumnOf(const QStringList &normalisedHeaders, const QString &prefix)
{
    for (const char *suffix : {" type", " label"}) {
        const qsizetype at = normalisedHeaders.indexOf(prefix + QLatin1String(suffix));
        if (at >= 0)
            return int(at);
    }
    return -1;
}

} // namespace

QString sheetFieldTitle(SheetField field)
{
    return QString::fromUtf8(kTitles[int(field)].title);
}

QList<SheetField> exportedSheetFields()
{
    QList<SheetField> fields;
    for (int f = 1; f < kSheetFields; ++f)
        fields << SheetField(f);
    return fields;
}

QList<ColumnMatch> matchColumns(const QStringList &headers)
{
    QStringList names;
    for (const QString &header : headers)
        names << normalised(header);
    QList<ColumnMatch> matches(headers.size());
    for (qsizetype c = 0; c < names.size(); ++c) {
        if (const auto found = known().constFind(names[c]); found != known().cend()) {
            matches[c].field = *found;
            continue;
        }
        for (const Typed &typed : typedColumns()) {
            const QRegularExpressionMatch m = typed.value.match(names[c]);
            if (!m.hasMatch())
                continue;
            const QString group = names[c].section(u' ', 0, names[c].startsWith(u"e mail") ? 2 : 1);
            matches[c] = {typed.home, typeColumnOf(names, group)};
            break;
        }
    }
    return matches;
}

SheetField fieldForType(const ColumnMatch &match, const QString &type)
{
    if (match.typeColumn < 0)
        return match.field;
    const QString t = normalised(type);
    const bool work = t.contains(u"work") || t.contains(u"lavoro") || t.contains(u"ufficio") ||
                      t.contains(u"business");
    switch (match.field) {
    case F::Telefono:
        if (t.contains(u"fax"))
            return F::Fax;
        if (t.contains(u"mobile") || t.contains(u"cell"))
            return work ? F::CellulareUfficio : F::Cellulare;
        return work ? F::TelefonoUfficio : F::Telefono;
    case F::Email:
        return work ? F::EmailUfficio : F::Email;
    case F::Indirizzo:
        return work ? F::UfficioIndirizzo : F::Indirizzo;
    case F::Comune:
        return work ? F::UfficioComune : F::Comune;
    case F::Cap:
        return work ? F::UfficioCap : F::Cap;
    case F::Provincia:
        return work ? F::UfficioProvincia : F::Provincia;
    default:
        return match.field;
    }
}

QString columnMatchLabel(const ColumnMatch &match, const QStringList &headers)
{
    if (match.typeColumn < 0 || match.typeColumn >= headers.size())
        return sheetFieldTitle(match.field);
    return QStringLiteral("%1 (secondo «%2»)")
        .arg(sheetFieldTitle(match.field), headers[match.typeColumn]);
}

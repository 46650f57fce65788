#include "bench/generatearchive.h"

#include "db/core/archive.h"
#include "db/core/datetimes.h"
#include "schema/archivecreator.h"

#include <QFile>
#include <QHash>
#include <QList>
#include <QRandomGenerator>
#include <QStringList>

#include <cmath>
#include <memory>
#include <vector>

namespace bench {

namespace {

// Dates are drawn around a fixed day rather than the clock's, so that a seed always gives the
// same archive: appointments before it are mostly concluded, payments never come after it.
const QDate kReferenceDay(2026, 12, 1);

constexpr qint64 kWhite = 16777215;

// The lists keep the layout they are written in.
// clang-format off

// The sixteen standard colours as the archive stores them (0x00BBGGRR), white last.
constexpr qint64 kStandardColours[] = {
    0x000000, 0x000080, 0x008000, 0x008080, 0x800000, 0x800080, 0x808000, 0xC0C0C0,
    0x808080, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00, kWhite,
};

struct Category
{
    const char *name;
    qint64 colour;
};

// Ordered from the most used: draws favour the start of the list.
constexpr Category kCategories[] = {
    {"Clienti", kWhite},
    {"Fornitori", 0x00FFFF},
    {"Potenziali clienti", kWhite},
    {"Amici", 0x00FF00},
    {"Parenti", 0xFFFF00},
    {"Professionisti", 0xC0C0C0},
    {"Colleghi", 0x808000},
    {"Condomini", 0x008080},
    {"Studio Rossi", 0xFF00FF},
    {"Banche e assicurazioni", 0x808080},
    {"Enti pubblici", kWhite},
    {"Clienti morosi", 0x0000FF},
};

constexpr const char *kTitles[] = {
    "Sig.", "Sig.ra", "Sig.na", "Dott.", "Dott.ssa", "Avv.", "Ing.", "Geom.",
    "Arch.", "Rag.", "Prof.", "Prof.ssa", "Spett.le", "Egr.", "Gent.ma",
};

struct Profession
{
    const char *name;
    const char *maleTitle;   // the title that usually goes with it, or null for Sig.
    const char *femaleTitle; // the same for a woman, or null for Sig.ra
};

constexpr Profession kProfessions[] = {
    {"Impiegato", nullptr, nullptr},
    {"Pensionato", nullptr, nullptr},
    {"Commerciante", nullptr, nullptr},
    {"Libero professionista", "Dott.", "Dott.ssa"},
    {"Insegnante", "Prof.", "Prof.ssa"},
    {"Operaio", nullptr, nullptr},
    {"Artigiano", nullptr, nullptr},
    {"Imprenditore", nullptr, nullptr},
    {"Avvocato", "Avv.", "Avv."},
    {"Commercialista", "Dott.", "Dott.ssa"},
    {"Geometra", "Geom.", "Geom."},
    {"Ingegnere", "Ing.", "Ing."},
    {"Medico", "Dott.", "Dott.ssa"},
    {"Architetto", "Arch.", "Arch."},
    {"Ragioniere", "Rag.", "Rag."},
    {"Notaio", "Dott.", "Dott.ssa"},
    {"Consulente del lavoro", "Dott.", "Dott.ssa"},
    {"Farmacista", "Dott.", "Dott.ssa"},
    {"Dentista", "Dott.", "Dott.ssa"},
    {"Veterinario", "Dott.", "Dott.ssa"},
    {"Psicologo", "Dott.", "Dott.ssa"},
    {"Infermiere", nullptr, nullptr},
    {"Studente", nullptr, "Sig.na"},
    {"Casalinga", nullptr, nullptr},
    {"Agricoltore", nullptr, nullptr},
    {"Idraulico", nullptr, nullptr},
    {"Elettricista", nullptr, nullptr},
    {"Muratore", nullptr, nullptr},
    {"Falegname", nullptr, nullptr},
    {"Meccanico", nullptr, nullptr},
    {"Parrucchiere", nullptr, nullptr},
    {"Cuoco", nullptr, nullptr},
    {"Autista", nullptr, nullptr},
    {"Agente di commercio", nullptr, nullptr},
    {"Agente immobiliare", nullptr, nullptr},
    {"Bancario", nullptr, nullptr},
    {"Giornalista", nullptr, nullptr},
    {"Fisioterapista", "Dott.", "Dott.ssa"},
    {"Programmatore", nullptr, nullptr},
    {"Perito industriale", "Per. Ind.", "Per. Ind."},
    {"Amministratore di condominio", nullptr, nullptr},
    {"Consulente finanziario", "Dott.", "Dott.ssa"},
};

constexpr const char *kPaymentTypes[] = {
    "Bonifico", "Contanti", "Assegno", "Carta di credito", "RID",
};

constexpr const char *kAppointmentKinds[] = {
    "Appuntamento", "Telefonata", "Scadenza", "Riunione",
    "Promemoria", "Sopralluogo", "Udienza", "Consegna documenti",
};

// Common surnames, roughly from the most frequent.
constexpr const char *kSurnames[] = {
    "Rossi", "Russo", "Ferrari", "Esposito", "Bianchi", "Romano", "Colombo", "Ricci", "Marino",
    "Greco", "Bruno", "Gallo", "Conti", "De Luca", "Mancini", "Costa", "Giordano", "Rizzo",
    "Lombardi", "Moretti", "Barbieri", "Fontana", "Santoro", "Mariani", "Rinaldi", "Caruso",
    "Ferrara", "Galli", "Martini", "Leone", "Longo", "Gentile", "Martinelli", "Vitale",
    "Lombardo", "Serra", "Coppola", "De Santis", "D'Angelo", "Marchetti", "Parisi", "Villa",
    "Conte", "Ferraro", "Ferri", "Fabbri", "Bianco", "Marini", "Grasso", "Valentini", "Messina",
    "Sala", "De Angelis", "Gatti", "Pellegrini", "Palumbo", "Sanna", "Farina", "Rizzi", "Monti",
    "Cattaneo", "Morelli", "Amato", "Silvestri", "Mazza", "Testa", "Grassi", "Pellegrino",
    "Carbone", "Giuliani", "Benedetti", "Barone", "Rossetti", "Caputo", "Montanari", "Guerra",
    "Palmieri", "Bernardi", "Martino", "Fiore", "De Rosa", "Ferretti", "Bellini", "Basile",
    "Riva", "Donati", "Piras", "Vitali", "Battaglia", "Sartori", "Neri", "Costantini", "Milani",
    "Pagano", "Ruggiero", "Sorrentino", "D'Amico", "Orlando", "Damiani", "Negri", "Fumagalli",
    "Bassi", "Valenti", "Marras", "Pace", "Pozzi", "Cocco", "Mazzoni", "Cirillo", "Ruggeri",
    "Zanetti", "Bellucci", "Fusco", "Marchi", "Melis", "Sacco", "Colonna", "Lucchesi", "Ferrante",
    "Fadda", "Giorgi", "Mancuso", "Cappelli", "Carta", "Santi", "Marra", "Porcu", "Bruni",
    "Orsini", "Salvi", "Romeo", "Pastore", "Raimondi", "Fiorentino", "Ferro", "Guidi", "Morello",
    "D'Alessandro", "Mattei", "Cristiani", "Lorenzi", "Rocca", "Carletti",
    "Gatto", "Piazza", "Bianchini", "Fontanella", "Benetti", "Zanella", "Tosi",
    "Bonetti", "Poli", "Baldi", "Sardo", "Morandi", "Giovannini", "Marchesi", "Nicolò", "Cantù",
    "Dell'Orto", "Dall'Olio", "D'Agostino", "Dell'Acqua", "D'Onofrio", "Dell'Aquila", "D'Amato",
    "Di Stefano", "Di Marco", "Di Giovanni", "Di Pietro", "Di Lorenzo", "Del Prete", "Della Valle",
    "La Rosa", "Lo Presti", "Lo Bianco", "Li Causi", "Dal Molin", "De Simone", "De Marco",
    "De Vita", "Pellè", "Zanè", "Lucà", "Mosè", "Sciacca", "Scuderi", "Spinelli", "Stefani",
    "Tedesco", "Torre", "Tosto", "Trevisan", "Vaccaro", "Venturini", "Verdi", "Zamboni", "Zanoni",
    "Agostini", "Albanese", "Alberti", "Amadori", "Angelini", "Arena", "Baldini", "Bandini",
    "Barbato", "Bassani", "Belli", "Berardi", "Bertolini", "Biagini", "Bonfanti", "Borghi",
    "Bosco", "Brambilla", "Brunetti", "Calabrese", "Caldarola", "Campana", "Canale", "Capone",
    "Caprioli", "Carlini", "Casadei", "Castelli", "Cavallo", "Cecchini", "Celli", "Cerri",
    "Chiesa", "Ciani", "Cocchi", "Corsi", "Costanzo", "Crippa", "Cuomo", "D'Urso", "Dini",
    "Esposti", "Fabbro", "Falcone", "Fanti", "Federici", "Ferrini", "Filippi", "Fiorini",
    "Foglia", "Franchi", "Franco", "Galasso", "Gallina", "Gasparini", "Ghidini", "Giannini",
    "Giudice", "Grimaldi", "Guerrini", "Iacono", "Lanza", "Leonardi", "Locatelli", "Lodi",
    "Lupo", "Maggi", "Magnani", "Malagoli", "Manzoni", "Marcelli", "Mariotti", "Mascia",
    "Mele", "Merlo", "Micheli", "Mignani", "Monaco", "Mondini", "Mora", "Moro", "Motta",
    "Musso", "Nardi", "Negro", "Nocera", "Oliva", "Ottaviani", "Palma", "Paoletti",
    "Parodi", "Pasini", "Pavan", "Pellegrinelli", "Perna", "Piccolo", "Pini", "Pirovano",
    "Polito", "Prati", "Proietti", "Quaranta", "Ranieri", "Riccardi", "Ricciardi", "Righi",
    "Rinaldo", "Rizzoli", "Rota", "Sabatini", "Salerno", "Salvadori", "Santini", "Savini",
    "Scala", "Schiavone", "Serafini", "Sorrenti", "Spada", "Tamburini", "Tarantino", "Terzi",
    "Tonelli", "Travaglini", "Valle", "Vecchi", "Ventura", "Villani", "Volpe", "Zaccaria",
};

constexpr const char *kMaleNames[] = {
    "Giuseppe", "Giovanni", "Antonio", "Mario", "Luigi", "Francesco", "Angelo", "Vincenzo",
    "Pietro", "Salvatore", "Carlo", "Franco", "Domenico", "Bruno", "Paolo", "Michele", "Giorgio",
    "Aldo", "Sergio", "Luciano", "Alessandro", "Andrea", "Marco", "Luca", "Matteo", "Lorenzo",
    "Davide", "Simone", "Federico", "Riccardo", "Stefano", "Roberto", "Massimo", "Fabio",
    "Daniele", "Claudio", "Enrico", "Gianluca", "Emanuele", "Nicola", "Alberto", "Filippo",
    "Tommaso", "Gabriele", "Leonardo", "Edoardo", "Giacomo", "Diego", "Maurizio", "Renato",
    "Walter", "Umberto", "Giancarlo", "Gianni", "Ettore", "Vittorio", "Raffaele", "Gennaro",
    "Ciro", "Rocco", "Carmine", "Pasquale", "Nicolò", "Niccolò", "Mattia", "Alessio", "Samuele",
    "Jacopo", "Pierluigi", "Gian Marco", "Pier Paolo", "Gianfranco", "Ignazio", "Cosimo",
    "Fabrizio", "Emilio", "Dario", "Ivan", "Manuel", "Elia",
};

constexpr const char *kFemaleNames[] = {
    "Maria", "Anna", "Giuseppina", "Rosa", "Angela", "Giovanna", "Teresa", "Lucia", "Carmela",
    "Caterina", "Francesca", "Antonietta", "Carla", "Elena", "Paola", "Laura", "Giulia",
    "Chiara", "Sara", "Martina", "Valentina", "Alessandra", "Federica", "Silvia", "Roberta",
    "Simona", "Barbara", "Cristina", "Monica", "Daniela", "Elisa", "Sofia", "Aurora", "Alice",
    "Ginevra", "Emma", "Giorgia", "Beatrice", "Greta", "Noemi", "Ilaria", "Serena", "Veronica",
    "Claudia", "Patrizia", "Rita", "Gabriella", "Luisa", "Franca", "Marisa", "Gemma", "Irene",
    "Arianna", "Camilla", "Benedetta", "Eleonora", "Marta", "Michela", "Stefania", "Cinzia",
    "Manuela", "Lorena", "Tiziana", "Raffaella", "Nicoletta", "Ornella", "Loredana", "Assunta",
    "Concetta", "Immacolata", "Rosaria", "Annamaria", "Maria Grazia", "Anna Maria",
    "Maria Teresa", "Zoe", "Bianca", "Viola", "Matilde", "Nunzia",
};

// The largest towns, from the largest: a third of the addresses are there.
constexpr const char *kLargeTowns[] = {
    "Roma", "Milano", "Napoli", "Torino", "Palermo", "Genova", "Bologna", "Firenze", "Bari",
    "Catania", "Venezia", "Verona", "Messina", "Padova", "Trieste", "Brescia", "Parma", "Taranto",
    "Prato", "Modena", "Reggio di Calabria", "Reggio nell'Emilia", "Perugia", "Ravenna",
    "Livorno", "Cagliari", "Foggia", "Rimini", "Salerno", "Ferrara", "Sassari", "Latina",
    "Monza", "Bergamo", "Pescara", "Forlì", "Vicenza", "Trento", "Bolzano", "Cesena",
};

constexpr const char *kStreetKinds[] = {
    "Via", "Via", "Via", "Via", "Viale", "Corso", "Piazza", "Largo", "Vicolo", "Piazzale", "Strada",
};

constexpr const char *kStreetNames[] = {
    "Roma", "Garibaldi", "Mazzini", "Cavour", "Dante Alighieri", "Giuseppe Verdi", "XX Settembre",
    "IV Novembre", "della Repubblica", "Vittorio Emanuele II", "dei Mille", "Matteotti",
    "Antonio Gramsci", "Guglielmo Marconi", "San Francesco", "Don Minzoni", "Aldo Moro",
    "della Libertà", "Nazionale", "dell'Indipendenza", "Umberto I", "Cesare Battisti",
    "Nazario Sauro", "Piave", "Trieste", "Trento", "Milano", "Venezia", "Kennedy",
    "Martiri della Libertà",
    "XXV Aprile", "Primo Maggio", "Alessandro Manzoni", "Giacomo Leopardi", "Ugo Foscolo",
    "Galileo Galilei", "Leonardo da Vinci", "Michelangelo", "Cristoforo Colombo", "Marco Polo",
    "delle Rose", "dei Tigli", "degli Ulivi", "del Mare", "della Stazione", "del Lavoro",
    "dell'Artigianato", "dell'Industria", "Emilia", "Appia", "Aurelia", "Flaminia", "Cassia",
    "San Giovanni Bosco", "Papa Giovanni XXIII", "Santa Lucia", "Sant'Antonio", "del Popolo",
    "Luigi Einaudi", "Enrico Fermi", "Pietro Nenni", "Giacomo Matteotti", "Giovanni Falcone",
    "Paolo Borsellino", "Madonna delle Grazie", "Castello", "del Duomo", "Mercato",
};

constexpr const char *kLandlinePrefixes[] = {
    "02",   "06",   "011",  "010",  "051",  "055",  "081",  "091",  "041",  "045",  "049",
    "030",  "035",  "031",  "0521", "0522", "059",  "0543", "0541", "0544", "0532", "071",
    "075",  "080",  "095",  "070",  "0471", "0461", "040",  "0432", "089",  "099",  "0823",
    "0824", "0961", "090",  "0831", "0883", "0362",
};

constexpr const char *kMobilePrefixes[] = {
    "320", "324", "327", "328", "329", "330", "331", "333", "334", "335", "336", "337", "338",
    "339", "340", "342", "345", "346", "347", "348", "349", "351", "366", "371", "380", "388",
    "389", "391", "392", "393",
};

constexpr const char *kMailDomains[] = {
    "gmail.com", "libero.it", "hotmail.it", "yahoo.it", "alice.it", "tiscali.it", "virgilio.it",
    "outlook.it", "tin.it", "fastwebnet.it", "icloud.com", "email.it",
};

constexpr const char *kCompanyMailboxes[] = {
    "info", "info", "info", "amministrazione", "segreteria", "ufficio", "contabilita",
    "commerciale",
};

constexpr const char *kPecDomains[] = {
    "pec.it", "legalmail.it", "pec.buffetti.it", "arubapec.it", "postacert.it",
};

// Words for company names that are not a surname.
constexpr const char *kBrandWords[] = {
    "Alfa", "Delta", "Edilnord", "Tecnoimpianti", "Idrotermica", "Elettroservice",
    "Nuova Edilizia", "Sole", "Aurora", "Futura", "Europa", "Italia", "Centro", "Adriatica",
    "Tirrena", "Padana", "Eurotecnica", "Globalservice", "Green Energy", "Mediterranea",
    "La Quercia", "Il Faro", "Arcobaleno", "Stella", "Primavera", "Orizzonte", "Progetto Casa",
    "Nord Est", "Meridiana", "Tecnosistemi", "Infoservice", "Logistica Veloce", "San Marco",
};

constexpr const char *kTrades[] = {
    "Impresa Edile", "Autofficina", "Carrozzeria", "Ferramenta", "Farmacia", "Tipografia",
    "Panificio", "Macelleria", "Elettrauto", "Idraulica", "Falegnameria", "Ottica",
    "Studio Dentistico", "Agenzia Viaggi", "Lavanderia", "Onoranze Funebri",
};

constexpr const char *kLegalForms[] = {
    " S.r.l.", " S.r.l.", " S.r.l.", " S.r.l.s.", " S.p.A.", " S.n.c.", " S.a.s.", "",
};

constexpr const char *kSectors[] = {
    "Costruzioni", "Trasporti", "Servizi", "Impianti", "Immobiliare", "Consulting",
    "Forniture", "Arredamenti", "Informatica", "Alimentari", "Assicurazioni", "Commerciale",
};

constexpr const char *kContactNotes[] = {
    "Preferisce essere contattato al mattino",
    "Chiamare dopo le 15",
    "Inviare le fatture via PEC",
    "Cliente storico dello studio",
    "Pratica di successione in corso",
    "Ha chiesto un preventivo per la ristrutturazione",
    "Pagamento a 30 giorni fine mese",
    "Non inviare comunicazioni cartacee",
    "Contattare solo via e-mail",
    "Segnalato da un altro cliente",
    "Dichiarazione dei redditi ogni anno a maggio",
    "Documenti consegnati in originale",
    "Chiede sempre l'appuntamento di sabato",
    "Indirizzo cambiato, verificare",
    "Sollecitare i pagamenti arretrati",
    "Molto puntuale, nessun problema",
    "Referente: l'ufficio amministrativo",
    "Parla solo con il titolare",
};

constexpr const char *kAppointmentNotes[] = {
    "Portare la documentazione catastale",
    "Firma del contratto",
    "Richiamare per il preventivo",
    "Consegna della dichiarazione dei redditi",
    "Sopralluogo in cantiere",
    "Rinnovo polizza",
    "Scadenza F24",
    "Verificare il pagamento della fattura",
    "Riunione di condominio",
    "Udienza in tribunale",
    "Appuntamento dal notaio",
    "Rinnovo contratto di affitto",
    "Inviare il preventivo via e-mail",
    "Ritirare i documenti firmati",
    "Portare la carta d'identità",
};

constexpr const char *kStaff[] = {"Anna", "Marco", "Giulia", "Paolo", "Segreteria"};
// clang-format on

template <typename T, std::size_t N> constexpr int countOf(const T (&)[N])
{
    return int(N);
}

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

// The letters of a name without accents, apostrophes or spaces: "Dell'Orto" -> "DELLORTO".
QString plainLetters(const QString &name)
{
    const QString decomposed = name.normalized(QString::NormalizationForm_D);
    QString letters;
    for (QChar c : decomposed) {
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'))
            letters += c.toUpper();
    }
    return letters;
}

bool isVowel(QChar c)
{
    return c == u'A' || c == u'E' || c == u'I' || c == u'O' || c == u'U';
}

// The three letters of a tax code that come from a surname (firstName false) or a first name.
QString taxCodePart(const QString &name, bool firstName)
{
    QString consonants, vowels;
    for (QChar c : plainLetters(name))
        (isVowel(c) ? vowels : consonants) += c;
    if (firstName && consonants.size() >= 4)
        return QString(consonants[0]) + consonants[2] + consonants[3];
    return (consonants + vowels + QStringLiteral("XXX")).left(3);
}

QChar taxCodeCheckLetter(const QString &first15)
{
    // The values of a letter or digit in an odd position (1st, 3rd, ...), 0-9 then A-Z.
    static constexpr int kOdd[36] = {1,  0, 5, 7,  9,  13, 15, 17, 19, 21, 1,  0,
                                     5,  7, 9, 13, 15, 17, 19, 21, 2,  4,  18, 20,
                                     11, 3, 6, 8,  12, 14, 16, 10, 22, 25, 24, 23};
    int sum = 0;
    for (int i = 0; i < 15; ++i) {
        const char16_t c = first15[i].unicode();
        const int index = (c >= u'0' && c <= u'9') ? c - u'0' : 10 + (c - u'A');
        if (i % 2 == 0)
            sum += kOdd[index];
        else
            sum += index < 10 ? index : index - 10;
    }
    return QChar(u'A' + sum % 26);
}

// The eleven digits of a VAT number, the last one its check digit.
QString vatNumber(const QString &first10)
{
    int sum = 0;
    for (int i = 0; i < 10; ++i) {
        const int d = first10[i].digitValue();
        if (i % 2 == 0) {
            sum += d;
        } else {
            const int doubled = 2 * d;
            sum += doubled > 9 ? doubled - 9 : doubled;
        }
    }
    return first10 + QChar(u'0' + (10 - sum % 10) % 10);
}

// Lower-case letters only, for mail addresses and web sites.
QString slug(const QString &name)
{
    return plainLetters(name).toLower();
}

struct Name
{
    QString text;
    QString slug;
    QString taxCode; // its three letters in a tax code
};

QList<Name> names(const auto &list, bool firstNames)
{
    QList<Name> result;
    for (const char *n : list) {
        const QString t = text(n);
        result.append({t, slug(t), taxCodePart(t, firstNames)});
    }
    return result;
}

QStringList texts(const auto &list)
{
    QStringList result;
    for (const char *n : list)
        result.append(text(n));
    return result;
}

struct Town
{
    qint64 id;
    QString name;
    QString cap;
    QString cadastralCode;
};

class Dice
{
public:
    explicit Dice(quint32 seed) : m_rng(seed) {}

    int below(int n) { return int(m_rng.bounded(quint32(n))); }
    bool percent(int p) { return below(100) < p; }
    // An index in [0, n) that favours the start, where lists keep their most frequent entries.
    int skewed(int n)
    {
        const double u = m_rng.generateDouble();
        return std::min(n - 1, int(n * u * u));
    }
    template <typename List> const auto &pick(const List &list)
    {
        return list[below(int(list.size()))];
    }
    template <typename List> const auto &pickSkewed(const List &list)
    {
        return list[skewed(int(list.size()))];
    }
    QDate dateBetween(QDate first, QDate last)
    {
        return first.addDays(below(int(first.daysTo(last)) + 1));
    }
    QString digits(int count)
    {
        QString s(count, Qt::Uninitialized);
        for (int i = 0; i < count; ++i)
            s[i] = QChar(u'0' + below(10));
        return s;
    }
    double unit() { return m_rng.generateDouble(); }

private:
    QRandomGenerator m_rng;
};

// Inserts rows many at a time: one INSERT ... VALUES (...),(...) per statement.
class BatchInsert
{
public:
    BatchInsert(db::Connection &connection, const QString &table, const QStringList &columns)
        : m_connection(connection),
          m_head(QStringLiteral("INSERT INTO %1 (%2) VALUES ").arg(table, columns.join(u','))),
          m_columns(int(columns.size())), m_rowsPerStatement(std::max(1, kMaxValues / m_columns)),
          m_fullSql(sqlFor(m_rowsPerStatement))
    {
        m_values.reserve(m_rowsPerStatement * m_columns);
    }

    // The values of the row being added, in the order of the columns.
    QVariantList &values() { return m_values; }

    db::Status endRow()
    {
        Q_ASSERT(m_values.size() % m_columns == 0);
        if (m_values.size() < m_rowsPerStatement * m_columns)
            return {};
        return flush();
    }

    db::Status flush()
    {
        if (m_values.isEmpty())
            return {};
        const int rows = int(m_values.size() / m_columns);
        db::Result<db::RowSet> done =
            m_connection.runNative(rows == m_rowsPerStatement ? m_fullSql : sqlFor(rows), m_values);
        m_values.clear();
        if (!done)
            return done.error();
        return {};
    }

private:
    // Below the engine's smallest limit on the number of bound values in one statement.
    static constexpr int kMaxValues = 999;

    QString sqlFor(int rows) const
    {
        const QString row = QStringLiteral("(?") + QStringLiteral(",?").repeated(m_columns - 1) +
                            QStringLiteral(")");
        QStringList all;
        all.reserve(rows);
        for (int i = 0; i < rows; ++i)
            all.append(row);
        return m_head + all.join(u',');
    }

    db::Connection &m_connection;
    QString m_head;
    int m_columns;
    int m_rowsPerStatement;
    QString m_fullSql;
    QVariantList m_values;
};

QVariant textOrNull(bool present, const QString &value)
{
    return present ? QVariant(value) : QVariant();
}

QString documentName(const QString &companyName, const QString &surname, const QString &firstName)
{
    return companyName.size() >= 2 ? companyName : surname + u' ' + firstName;
}

class Generator
{
public:
    Generator(db::Connection &connection, quint32 seed)
        : m_connection(connection), m_dice(seed), m_surnames(names(kSurnames, false)),
          m_maleNames(names(kMaleNames, true)), m_femaleNames(names(kFemaleNames, true)),
          m_streetKinds(texts(kStreetKinds)), m_streetNames(texts(kStreetNames)),
          m_landlinePrefixes(texts(kLandlinePrefixes)), m_mobilePrefixes(texts(kMobilePrefixes)),
          m_mailDomains(texts(kMailDomains)), m_companyMailboxes(texts(kCompanyMailboxes)),
          m_pecDomains(texts(kPecDomains)), m_brandWords(texts(kBrandWords)),
          m_trades(texts(kTrades)), m_legalForms(texts(kLegalForms)), m_sectors(texts(kSectors)),
          m_contactNotes(texts(kContactNotes)), m_appointmentNotes(texts(kAppointmentNotes)),
          m_staff(texts(kStaff)), m_paymentTypes(texts(kPaymentTypes)),
          m_appointmentKinds(texts(kAppointmentKinds))
    {
    }

    db::Status run(int contacts)
    {
        db::Status done = loadTowns();
        if (done)
            done = insertLists();
        if (!done)
            return done;
        BatchInsert contactRows(m_connection, QStringLiteral("Contatti"), contactColumns());
        BatchInsert paymentRows(m_connection, QStringLiteral("Pagamenti"),
                                {QStringLiteral("Contatto_ID"), QStringLiteral("data"),
                                 QStringLiteral("Descrizione"), QStringLiteral("Importo")});
        BatchInsert appointmentRows(m_connection, QStringLiteral("Calendario"),
                                    {QStringLiteral("Data"), QStringLiteral("DataAvviso"),
                                     QStringLiteral("Cliente_ID"), QStringLiteral("Cliente"),
                                     QStringLiteral("TipologiaCalendario"), QStringLiteral("Note"),
                                     QStringLiteral("Conclusa"), QStringLiteral("Storico"),
                                     QStringLiteral("Personale")});
        for (int id = 1; id <= contacts && done; ++id) {
            const Contact contact = addContact(id, contactRows.values());
            done = contactRows.endRow();
            for (int n = m_dice.below(5); n > 0 && done; --n) {
                addPayment(contact, paymentRows.values());
                done = paymentRows.endRow();
            }
            for (int n = m_dice.below(3); n > 0 && done; --n) {
                addAppointment(contact, appointmentRows.values());
                done = appointmentRows.endRow();
            }
        }
        for (BatchInsert *rows : {&contactRows, &paymentRows, &appointmentRows}) {
            if (done)
                done = rows->flush();
        }
        return done;
    }

private:
    struct Contact
    {
        int id;
        QString documentName;
        QDate inserted;
    };

    // In the order addContact() gives the values.
    static QStringList contactColumns()
    {
        return QStringLiteral("ID,RagioneSociale,Cognome,Nome,NominativoDocumenti,"
                              "NominativoVisualizzato,Sesso,Categoria_ID,ColoreCategoria,"
                              "NumeroColore,Professione_id,Titolo_id,Telefono,Cellulare,"
                              "SecondoCell,secTelefono,Fax,email,secEmail,Citta_ID,Indirizzo,"
                              "Numero,Cap,UfficioComune_id,UfficioIndirizzo,UfficioNumero,"
                              "UfficioCap,Internet,Skype,Messenger,Note,DestMerce,CFisc,PIva,Pec,"
                              "CodiceSdi,DataInserimento,DataNascita,LuogoNascita,LuogoNascita_Id,"
                              "Festivita,PrivacyFirmata,Annullato")
            .split(u',');
    }

    db::Status loadTowns()
    {
        db::Result<db::RowSet> rows = m_connection.runNative(
            QStringLiteral("SELECT ID, Comune, Cap, CODICE_F FROM Comuni ORDER BY ID"));
        if (!rows)
            return rows.error();
        QHash<QString, int> byName;
        for (const QVariantList &row : std::as_const(rows->rows)) {
            byName.insert(row[1].toString(), int(m_towns.size()));
            m_towns.push_back(
                {row[0].toLongLong(), row[1].toString(), row[2].toString(), row[3].toString()});
        }
        if (m_towns.empty())
            return db::Error{QStringLiteral("L'archivio non contiene i comuni.")};
        for (const char *name : kLargeTowns) {
            const auto found = byName.constFind(text(name));
            if (found != byName.constEnd())
                m_largeTowns.append(*found);
        }
        return {};
    }

    db::Status insertLists()
    {
        const auto insert = [this](const QString &sql, const QVariantList &values) -> db::Status {
            db::Result<db::RowSet> done = m_connection.runNative(sql, values);
            return done ? db::Status() : db::Status(done.error());
        };
        // The generated lists replace the starter rows of a new archive.
        db::Status done;
        for (const char *table : {"Titoli", "TipoPagamenti", "TipologiaCalendario"}) {
            if (done)
                done = insert(QStringLiteral("DELETE FROM ") + QLatin1String(table), {});
        }
        for (int i = 0; i < countOf(kCategories) && done; ++i) {
            done = insert(QStringLiteral("INSERT INTO Categorie (Id, Descrizione, ColoreCategoria) "
                                         "VALUES (?, ?, ?)"),
                          {i + 1, text(kCategories[i].name), kCategories[i].colour});
        }
        QHash<QString, int> titleIds;
        for (int i = 0; i < countOf(kTitles) && done; ++i) {
            titleIds.insert(text(kTitles[i]), i + 1);
            done = insert(QStringLiteral("INSERT INTO Titoli (Id, Descrizione) VALUES (?, ?)"),
                          {i + 1, text(kTitles[i])});
        }
        for (int i = 0; i < countOf(kProfessions) && done; ++i) {
            const Profession &p = kProfessions[i];
            m_professionTitles.append(
                {titleIds.value(text(p.maleTitle ? p.maleTitle : "Sig.")),
                 titleIds.value(text(p.femaleTitle ? p.femaleTitle : "Sig.ra"))});
            done = insert(QStringLiteral("INSERT INTO Professioni (Id, Descrizione) VALUES (?, ?)"),
                          {i + 1, text(p.name)});
        }
        m_companyTitle = titleIds.value(QStringLiteral("Spett.le"));
        m_maleTitle = titleIds.value(QStringLiteral("Sig."));
        m_femaleTitle = titleIds.value(QStringLiteral("Sig.ra"));
        for (int i = 0; i < m_paymentTypes.size() && done; ++i) {
            done =
                insert(QStringLiteral("INSERT INTO TipoPagamenti (Id, Descrizione) VALUES (?, ?)"),
                       {i + 1, m_paymentTypes[i]});
        }
        for (int i = 0; i < m_appointmentKinds.size() && done; ++i) {
            done = insert(
                QStringLiteral("INSERT INTO TipologiaCalendario (Id, Descrizione) VALUES (?, ?)"),
                {i + 1, m_appointmentKinds[i]});
        }
        return done;
    }

    const Town &anyTown()
    {
        if (!m_largeTowns.isEmpty() && m_dice.percent(35))
            return m_towns[m_largeTowns[m_dice.skewed(int(m_largeTowns.size()))]];
        return m_towns[m_dice.below(int(m_towns.size()))];
    }

    // Each draw is a statement of its own: the compiler chooses the order in which the operands
    // of + are evaluated, and a seed must give the same archive whatever the compiler.
    QString street()
    {
        const QString &kind = m_dice.pick(m_streetKinds);
        return kind + u' ' + m_dice.pick(m_streetNames);
    }

    QString address()
    {
        const QString name = street();
        return name + u' ' + houseNumber();
    }

    QString houseNumber()
    {
        QString n = QString::number(1 + m_dice.skewed(180));
        const int variant = m_dice.below(100);
        if (variant < 8)
            n += u'/' + QChar(u'A' + m_dice.below(4));
        else if (variant < 11)
            n += QStringLiteral(" bis");
        return n;
    }

    QString landline(const QString &prefix)
    {
        return prefix + u' ' + m_dice.digits(std::max(6, 10 - int(prefix.size())));
    }

    QString mobile()
    {
        const QString &prefix = m_dice.pick(m_mobilePrefixes);
        const QString number = prefix + u' ' + m_dice.digits(7);
        return m_dice.percent(70) ? QStringLiteral("+39 ") + number : number;
    }

    // A company's name and the word its mail addresses and web site are made of.
    std::pair<QString, QString> companyName()
    {
        const Name &surname = m_dice.pickSkewed(m_surnames);
        const QString legalForm = m_dice.pick(m_legalForms);
        switch (m_dice.below(12)) {
        case 0:
        case 1: {
            const QString sector = m_dice.pick(m_sectors);
            return {surname.text + u' ' + sector + legalForm, surname.slug + slug(sector)};
        }
        case 2:
            return {QStringLiteral("Studio ") + surname.text + QStringLiteral(" & Associati"),
                    QStringLiteral("studio") + surname.slug};
        case 3: {
            const Name &other = m_dice.pickSkewed(m_surnames);
            return {surname.text + QStringLiteral(" & ") + other.text + QStringLiteral(" S.n.c."),
                    surname.slug + other.slug};
        }
        case 4:
        case 5: {
            const QString trade = m_dice.pick(m_trades);
            return {trade + u' ' + surname.text, slug(trade) + surname.slug};
        }
        case 6: {
            const Name &first =
                m_dice.percent(70) ? m_dice.pick(m_maleNames) : m_dice.pick(m_femaleNames);
            const QString trade = m_dice.pick(m_trades);
            return {trade + QStringLiteral(" di ") + surname.text + u' ' + first.text,
                    slug(trade) + surname.slug};
        }
        case 7: {
            const QString kind =
                m_dice.percent(50) ? QStringLiteral("Legale") : QStringLiteral("Tecnico");
            return {QStringLiteral("Studio ") + kind + u' ' + surname.text,
                    QStringLiteral("studio") + surname.slug};
        }
        case 8: {
            const QString place = address();
            return {QStringLiteral("Condominio ") + place,
                    QStringLiteral("condominio") + slug(place)};
        }
        case 9: {
            const QString word = m_dice.pick(m_brandWords);
            const QString sector = m_dice.pick(m_sectors);
            return {word + u' ' + sector + legalForm, slug(word) + slug(sector)};
        }
        case 10: {
            const QString word = m_dice.pick(m_brandWords);
            return {QStringLiteral("Cooperativa Sociale ") + word,
                    QStringLiteral("coop") + slug(word)};
        }
        default: {
            const QString word = m_dice.pick(m_brandWords);
            return {word + legalForm, slug(word)};
        }
        }
    }

    QString taxCode(const Name &surname, const Name &first, bool female, QDate born,
                    const Town &place)
    {
        static const char16_t kMonths[] = u"ABCDEHLMPRST";
        QString code =
            surname.taxCode + first.taxCode +
            QString::number(born.year() % 100).rightJustified(2, u'0') +
            QChar(kMonths[born.month() - 1]) +
            QString::number(born.day() + (female ? 40 : 0)).rightJustified(2, u'0') +
            (place.cadastralCode.size() == 4 ? place.cadastralCode : QStringLiteral("Z000"));
        return code + taxCodeCheckLetter(code);
    }

    QString personalMail(const Name &surname, const Name &first, QDate born)
    {
        const QString &domain = m_dice.pick(m_mailDomains);
        QString local;
        switch (m_dice.below(6)) {
        case 0:
            local = first.slug + surname.slug;
            break;
        case 1:
            local = first.slug.left(1) + u'.' + surname.slug;
            break;
        case 2:
            local = surname.slug + u'.' + first.slug;
            break;
        case 3:
            if (born.isValid()) {
                local = first.slug + u'.' + surname.slug + QString::number(born.year() % 100);
                break;
            }
            Q_FALLTHROUGH();
        default:
            local = first.slug + u'.' + surname.slug;
        }
        return local + u'@' + domain;
    }

    Contact addContact(int id, QVariantList &v)
    {
        const bool company = m_dice.percent(25);
        QString companyName, mailWord;
        if (company) {
            std::tie(companyName, mailWord) = this->companyName();
        } else {
            // Some people carry a leftover in the company name, too short to count as one.
            const int leftover = m_dice.below(1000);
            if (leftover < 30)
                companyName = QStringLiteral("");
            else if (leftover < 40)
                companyName = leftover < 35 ? QStringLiteral("-") : QStringLiteral(".");
        }
        // A person, or the person to ask for at a company.
        const Name *surname = nullptr;
        const Name *first = nullptr;
        bool female = false;
        if (!company || m_dice.percent(30)) {
            female = m_dice.percent(50);
            surname = &m_dice.pickSkewed(m_surnames);
            first = &m_dice.pickSkewed(female ? m_femaleNames : m_maleNames);
        }
        const QString surnameText = surname ? surname->text : QString();
        const QString firstText = first ? first->text : QString();
        const QString document = documentName(companyName, surnameText, firstText);

        const QDate born = !company && m_dice.percent(85)
                               ? m_dice.dateBetween(QDate(1930, 1, 1), QDate(2005, 12, 31))
                               : QDate();
        const bool hasHome = m_dice.percent(96);
        const Town &home = anyTown();
        const Town &birthPlace = m_dice.percent(50) ? home : anyTown();
        QString taxCode, vat;
        if (company) {
            if (m_dice.percent(95))
                vat = vatNumber(m_dice.digits(10));
            if (!vat.isEmpty() && m_dice.percent(60))
                taxCode = vat;
        } else {
            if (born.isValid() && m_dice.percent(85))
                taxCode = this->taxCode(*surname, *first, female, born, birthPlace);
            if (m_dice.percent(5))
                vat = vatNumber(m_dice.digits(10));
        }
        QString shown = document;
        if (!taxCode.isEmpty())
            shown += QStringLiteral(" - ") + taxCode;
        else if (born.isValid())
            shown += QStringLiteral(" - ") + born.toString(QStringLiteral("dd/MM/yyyy"));

        const int category = m_dice.percent(88) ? 1 + m_dice.skewed(countOf(kCategories)) : 0;
        const int profession =
            !company && m_dice.percent(70) ? 1 + m_dice.skewed(countOf(kProfessions)) : 0;
        int title = 0;
        if (company) {
            title = m_dice.percent(50) ? m_companyTitle : 0;
        } else if (m_dice.percent(80)) {
            title = female ? m_femaleTitle : m_maleTitle;
            if (profession > 0 && m_dice.percent(70)) {
                const auto &titles = m_professionTitles[profession - 1];
                title = female ? titles.second : titles.first;
            }
        }
        const QString &phonePrefix = m_dice.pick(m_landlinePrefixes);
        QString mail;
        if (company && m_dice.percent(75))
            mail = m_dice.pick(m_companyMailboxes) + u'@' + mailWord + QStringLiteral(".it");
        else if (first && m_dice.percent(55))
            mail = personalMail(*surname, *first, born);
        const bool hasOffice = m_dice.percent(company ? 20 : 10);
        const Town &office = hasOffice ? anyTown() : home;
        const QDate inserted = m_dice.dateBetween(QDate(2005, 1, 1), kReferenceDay);

        v.append(id);
        v.append(textOrNull(company || !companyName.isNull(), companyName));
        v.append(textOrNull(surname != nullptr, surnameText));
        v.append(textOrNull(first != nullptr, firstText));
        v.append(document);
        v.append(shown);
        v.append(first ? QVariant(female ? QStringLiteral("F") : QStringLiteral("M")) : QVariant());
        v.append(category ? QVariant(category) : QVariant());
        v.append(category ? QVariant(kCategories[category - 1].colour) : QVariant());
        v.append(m_dice.percent(95) ? kWhite : kStandardColours[m_dice.below(15)]);
        v.append(profession ? QVariant(profession) : QVariant());
        v.append(title ? QVariant(title) : QVariant());
        v.append(maybe(company ? 90 : 50, [&] { return landline(phonePrefix); }));
        v.append(maybe(company ? 40 : 80, [&] { return mobile(); }));
        v.append(maybe(5, [&] { return mobile(); }));
        v.append(maybe(5, [&] { return landline(m_dice.pick(m_landlinePrefixes)); }));
        v.append(maybe(company ? 30 : 0, [&] { return landline(phonePrefix); }));
        v.append(textOrNull(!mail.isEmpty(), mail));
        v.append(maybe(first ? 5 : 0, [&] { return personalMail(*surname, *first, born); }));
        v.append(hasHome ? QVariant(home.id) : QVariant());
        v.append(maybe(hasHome ? 100 : 0, [&] { return street(); }));
        v.append(maybe(hasHome ? 97 : 0, [&] { return houseNumber(); }));
        v.append(textOrNull(hasHome, home.cap));
        v.append(hasOffice ? QVariant(office.id) : QVariant());
        v.append(maybe(hasOffice ? 100 : 0, [&] { return street(); }));
        v.append(maybe(hasOffice ? 100 : 0, [&] { return houseNumber(); }));
        v.append(textOrNull(hasOffice, office.cap));
        v.append(maybe(company ? 30 : 0,
                       [&] { return QStringLiteral("www.") + mailWord + QStringLiteral(".it"); }));
        v.append(maybe(first ? 2 : 0, [&] { return first->slug + u'.' + surname->slug; }));
        v.append(maybe(first ? 1 : 0, [&] {
            return first->slug + u'.' + surname->slug + QStringLiteral("@hotmail.it");
        }));
        v.append(maybe(20, [&] { return m_dice.pick(m_contactNotes); }));
        v.append(maybe(company ? 5 : 0, [&] {
            const QString place = address();
            const Town &town = anyTown();
            return place + QStringLiteral(" - ") + town.cap + u' ' + town.name;
        }));
        v.append(textOrNull(!taxCode.isEmpty(), taxCode));
        v.append(textOrNull(!vat.isEmpty(), vat));
        if (company && m_dice.percent(50))
            v.append(mailWord + u'@' + m_dice.pick(m_pecDomains));
        else if (first && m_dice.percent(5))
            v.append(first->slug + u'.' + surname->slug + u'@' + m_dice.pick(m_pecDomains));
        else
            v.append(QVariant());
        v.append(maybe(company ? 40 : 0, [&] { return sdiCode(); }));
        v.append(db::naiveDateTime(inserted));
        v.append(born.isValid() ? QVariant(db::naiveDateTime(born)) : QVariant());
        v.append(textOrNull(born.isValid(), birthPlace.name));
        v.append(born.isValid() ? QVariant(birthPlace.id) : QVariant());
        v.append(m_dice.percent(30));
        v.append(m_dice.percent(60));
        v.append(m_dice.percent(2));
        return {id, document, inserted};
    }

    // The value `make` gives in `percent` cases out of a hundred, otherwise null. The draws that
    // make the value happen only when it is there.
    template <typename Make> QVariant maybe(int percent, Make make)
    {
        if (percent <= 0 || !m_dice.percent(percent))
            return {};
        return make();
    }

    // The code of a company's electronic invoice channel; "0000000" for one that has none.
    QString sdiCode()
    {
        if (m_dice.percent(10))
            return QStringLiteral("0000000");
        static constexpr char16_t kChars[] = u"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
        QString code(7, Qt::Uninitialized);
        for (int i = 0; i < 7; ++i)
            code[i] = QChar(kChars[m_dice.below(36)]);
        return code;
    }

    void addPayment(const Contact &contact, QVariantList &v)
    {
        // Mostly small amounts; a third of them round.
        qint64 cents = 1000 + qint64(499000 * std::pow(m_dice.unit(), 3));
        if (m_dice.percent(35))
            cents = std::max<qint64>(1000, cents / 1000 * 1000);
        v.append(contact.id);
        v.append(db::naiveDateTime(m_dice.dateBetween(contact.inserted, kReferenceDay)));
        v.append(m_dice.pickSkewed(m_paymentTypes));
        v.append(double(cents) / 100.0);
    }

    void addAppointment(const Contact &contact, QVariantList &v)
    {
        QDate day = m_dice.dateBetween(QDate(2024, 1, 1), QDate(2027, 12, 31));
        if (day.dayOfWeek() > 5)
            day = day.addDays(8 - day.dayOfWeek());
        // Quarter hours from 9:00 to 12:45 and from 14:30 to 18:15.
        const int slot = m_dice.below(32);
        const QTime time =
            slot < 16 ? QTime(9, 0).addSecs(slot * 900) : QTime(14, 30).addSecs((slot - 16) * 900);
        const QDateTime when = db::naiveDateTime(day, time);
        const bool past = day < kReferenceDay;
        v.append(when);
        v.append(when.addDays(-m_dice.below(8)));
        v.append(contact.id);
        v.append(contact.documentName);
        v.append(m_dice.pickSkewed(m_appointmentKinds));
        v.append(maybe(60, [&] { return m_dice.pick(m_appointmentNotes); }));
        v.append(past && m_dice.percent(85));
        v.append(false);
        v.append(maybe(25, [&] { return m_dice.pick(m_staff); }));
    }

    db::Connection &m_connection;
    Dice m_dice;
    const QList<Name> m_surnames, m_maleNames, m_femaleNames;
    const QStringList m_streetKinds, m_streetNames, m_landlinePrefixes, m_mobilePrefixes,
        m_mailDomains, m_companyMailboxes, m_pecDomains, m_brandWords, m_trades, m_legalForms,
        m_sectors, m_contactNotes, m_appointmentNotes, m_staff, m_paymentTypes, m_appointmentKinds;
    std::vector<Town> m_towns;
    QList<int> m_largeTowns;                       // indexes in m_towns
    QList<std::pair<int, int>> m_professionTitles; // male and female title Id of each profession
    int m_companyTitle = 0;
    int m_maleTitle = 0;
    int m_femaleTitle = 0;
};

db::Status fill(const QString &path, int contacts, quint32 seed)
{
    auto opened = db::openArchive(path);
    if (!opened)
        return opened.error();
    db::Connection &connection = **opened;
    // A larger page cache for this connection only: the indexes of a million rows do not fit
    // in the default one.
    if (auto cache = connection.runNative(QStringLiteral("PRAGMA cache_size = -65536")); !cache)
        return cache.error();
    db::Transaction transaction(connection);
    if (!transaction.started())
        return transaction.started();
    Generator generator(connection, seed);
    if (db::Status done = generator.run(contacts); !done)
        return done;
    return transaction.commit();
}

} // namespace

db::Status generateArchive(const QString &path, int contacts, quint32 seed)
{
    if (contacts < 0)
        return db::Error{QStringLiteral("Numero di contatti non valido: %1.").arg(contacts)};
    if (db::Status created = schema::createArchive(path); !created)
        return created;
    db::Status filled = fill(path, contacts, seed);
    if (!filled) {
        QFile::remove(path);
        return db::Error{
            QStringLiteral("Impossibile riempire l'archivio %1: %2").arg(path, filled.message())};
    }
    return {};
}

} // namespace bench

#include "app/help/helppages.h"

#include <QDir>

namespace help {

const QList<Topic> &topics()
{
    // A window with a page of its own adds its line here and the page to pages/index.html.
    static const QList<Topic> list = {
        {1000, QStringLiteral("inizio.html")},         // TfrmInizio, the main window
        {1010, QStringLiteral("password.html")},       // TfrmPass
        {1020, QStringLiteral("promemoria.html")},     // TfrmPromemoriaScadenze
        {1030, QStringLiteral("convenzioni.html")},    // TfrmAiuto and the shared conventions
        {1040, QStringLiteral("archivio.html")},       // the archive and the workstations
        {1050, QStringLiteral("windows.html")},        // TfrmImportazione
        {1060, QStringLiteral("sincronizza.html")},    // TfrmSincronizza
        {1700, QStringLiteral("comuni.html")},         // TfrmGrigliaComuni
        {1750, QStringLiteral("comune.html")},         // TfrmComuniDett
        {2100, QStringLiteral("professioni.html")},    // TfrmGriglia_Professioni
        {2150, QStringLiteral("professione.html")},    // TfrmProfessioni_Dettaglio
        {2200, QStringLiteral("titoli.html")},         // TfrmGriglia_Titoli
        {2250, QStringLiteral("titolo.html")},         // TfrmTitoli_Dettaglio
        {2300, QStringLiteral("tipipagamento.html")},  // TfrmGriglia_TipoPagamenti
        {2350, QStringLiteral("tipopagamento.html")},  // TfrmTipoPagamenti_Dettaglio
        {2400, QStringLiteral("tipicalendario.html")}, // TfrmGrigliaTipologieCalendario
        {2450, QStringLiteral("tipocalendario.html")}, // TfrmTipologiaCalendario
        {2600, QStringLiteral("categorie.html")},      // TfrmCategorieContatti_Griglia
        {2650, QStringLiteral("categoria.html")},      // TfrmCategorie
        {2700, QStringLiteral("trovacap.html")},       // TfrmTrovaCap
        {3100, QStringLiteral("contatti.html")},       // TfrmContatti
        {3200, QStringLiteral("contatto.html")},       // TfrmContattiDett
        {3500, QStringLiteral("indirizziemail.html")}, // TfrmIndirizziEmail
        {3510, QStringLiteral("indirizziemail.html")}, // TfrmInsEmail
        {12000, QStringLiteral("realizzazione.html")}, // TfrmRealizzazione
        {18100, QStringLiteral("email.html")},         // TfrmEmail
        {6000, QStringLiteral("pagamenti.html")},      // TfrmPagamentiContatto
        {16000, QStringLiteral("opzioni.html")},       // TfrmOpzioni
        {16050, QStringLiteral("opzioni.html"), QStringLiteral("sincronizzazione")}, // its tab
        {21600, QStringLiteral("agenda.html")},           // TfrmGrigliaCalendario
        {21700, QStringLiteral("calendario.html")},       // TfrmCalendario
        {6100, QStringLiteral("pagamenti.html")},         // TfrmImportaPagamento
        {7100, QStringLiteral("avvisi.html")},            // TfrmGrigliaAvvisi
        {7150, QStringLiteral("avviso.html")},            // TfrmAvvisi
        {7200, QStringLiteral("avvisitesto.html")},       // TfrmAvvisiClienti_Campi
        {7210, QStringLiteral("avvisifiltri.html")},      // TfrmAvvisiClienti_Filtri
        {7220, QStringLiteral("avvisidestinatari.html")}, // TfrmAvvisiClienti_Griglia
    };
    return list;
}

const QString &indexPage()
{
    static const QString page = QStringLiteral("index.html");
    return page;
}

QString pageFor(int context)
{
    for (const Topic &topic : topics()) {
        if (topic.context == context)
            return topic.page;
    }
    return indexPage();
}

QString sectionFor(int context)
{
    for (const Topic &topic : topics()) {
        if (topic.context == context)
            return topic.section;
    }
    return {};
}

QUrl pageUrl(const QString &page)
{
    return QUrl(QStringLiteral("qrc:/help/") + page);
}

QString pagePath(const QString &page)
{
    return QStringLiteral(":/help/") + page;
}

QStringList allPages()
{
    return QDir(QStringLiteral(":/help"))
        .entryList({QStringLiteral("*.html")}, QDir::Files, QDir::Name);
}

} // namespace help

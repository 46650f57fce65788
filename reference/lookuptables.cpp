#include "reference/lookuptables.h"

#include "common/colours.h"
#include "common/textfunctions.h"

namespace reference {

namespace {

const QString kMissingDescription = QStringLiteral("Attenzione manca descrizione!");

} // namespace

const LookupTable &categorie()
{
    static const LookupTable t{
        .table = QStringLiteral("Categorie"),
        .listCaption = QStringLiteral("Categorie"),
        .detailCaption = QStringLiteral("Categorie"),
        .searchLabel = QStringLiteral("Ricerca Per Descrizione"),
        .add = LookupTable::Add::Stored,
        .defaultColumn = QStringLiteral("ColoreCategoria"),
        .defaultValue = kBianco,
        .deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare la Categoria?"),
        .missingDescription = kMissingDescription,
        .descriptionField = QStringLiteral("DBEdit1"),
        .searchMovesFocus = true,
        .listHelpContext = 2600,
        .detailHelpContext = 2650,
    };
    return t;
}

const LookupTable &professioni()
{
    static const LookupTable t{
        .table = QStringLiteral("Professioni"),
        .listCaption = QStringLiteral("Professioni"),
        .detailCaption = QStringLiteral("Professioni"),
        .searchLabel = QStringLiteral("Ricerca per Descrizione"),
        .deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare la Professione ?"),
        .missingDescription = kMissingDescription,
        .descriptionField = QStringLiteral("DBEdit1"),
        .listHelpContext = 2100,
        .detailHelpContext = 2150,
    };
    return t;
}

const LookupTable &titoli()
{
    static const LookupTable t{
        .table = QStringLiteral("Titoli"),
        .listCaption = QStringLiteral("Titoli"),
        .detailCaption = QStringLiteral("Titoli"),
        .searchLabel = QStringLiteral("Ricerca per Descrizione"),
        .deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare il Titolo ?"),
        .missingDescription = kMissingDescription,
        .descriptionField = QStringLiteral("DBEdit1"),
        .captionlessAddAndOpen = true,
        .listHelpContext = 2200,
        .detailHelpContext = 2250,
    };
    return t;
}

const LookupTable &tipoPagamenti()
{
    static const LookupTable t{
        .table = QStringLiteral("TipoPagamenti"),
        .listCaption = QStringLiteral("Tipo Pagamenti"),
        .detailCaption = QStringLiteral("Tipo di Pagamenti"),
        .searchLabel = QStringLiteral("Ricerca per Descrizione"),
        .deleteQuestion = QStringLiteral("Sei sicuro di voler eliminare il tipo di Pagamento ?"),
        .missingDescription = kMissingDescription,
        .descriptionField = QStringLiteral("DBEdit1"),
        .listHelpContext = 2300,
        .detailHelpContext = 2350,
    };
    return t;
}

const LookupTable &tipologieCalendario()
{
    static const LookupTable t{
        .table = QStringLiteral("TipologiaCalendario"),
        .listCaption = QStringLiteral("Tipologie Calendario"),
        .detailCaption = QStringLiteral("Tipologie di Calendario"),
        .searchLabel = QStringLiteral("Ricerca per Descrizione"),
        .add = LookupTable::Add::Stored,
        // One blank: a description, so the new type can be left at once.
        .defaultColumn = QStringLiteral("Descrizione"),
        .defaultValue = QStringLiteral(" "),
        .store = LookupTable::Store::Confirm,
        .deleteQuestion =
            QStringLiteral("Sei sicuro di voler eliminare la tipologia di Calendario ?"),
        .missingDescription = QStringLiteral("Attenzione manca la Descrizione"),
        .descriptionField = QStringLiteral("DBEdit2"),
        .detailHasHelpButton = true,
        .listHelpContext = 2400,
        .detailHelpContext = 2450,
    };
    return t;
}

QString descriptionFilter(const QString &search)
{
    if (search.isEmpty() || search == u"*")
        return {};
    return QStringLiteral("Descrizione like '") + RaddoppiaApici(search) + QStringLiteral("*'");
}

qint64 shownCategoryColour(const QVariant &stored)
{
    const qint64 value = stored.isValid() ? stored.toLongLong() : 0;
    return value > 0 ? value : kBianco;
}

QString clearCategoryColourSql()
{
    return QStringLiteral("UPDATE Contatti INNER JOIN Categorie ON Contatti.Categoria_ID = "
                          "Categorie.ID SET Contatti.ColoreCategoria = null WHERE "
                          "Contatti.Categoria_ID = ?");
}

QString followCategoryColourSql()
{
    return QStringLiteral("UPDATE Contatti SET ColoreCategoria = ? WHERE Categoria_ID = ?");
}

} // namespace reference

#include "options/optionsstore.h"

#include "common/officeca.h"

#include "options/optionrows.h"
#include "session/reporthandoff.h"
#include "session/shareddatasets.h"

OptionsStore::OptionsStore(SharedDataSets &shared)
    : TablePersonalizzazioni(shared.connection()), TableDitta(shared.connection()),
      TableOpzioni(shared.connection()), TableTipoEsportazioniCrystalReport(shared.connection())
{
    shared.add(TablePersonalizzazioni,
               {QStringLiteral("TablePersonalizzazioni"),
                QStringLiteral("select * from Personalizzazioni"), QStringLiteral("Id")});
    shared.add(TableDitta, {QStringLiteral("TableDitta"), QStringLiteral("select * from ditta"),
                            QStringLiteral("Id")});
    shared.add(TableOpzioni, {QStringLiteral("TableOpzioni"),
                              QStringLiteral("select * from opzioni"), QStringLiteral("Id")});
    shared.add(
        TableTipoEsportazioniCrystalReport,
        {QStringLiteral("TableTipoEsportazioniCrystalReport"),
         QStringLiteral("select * from TipoEsportazioniCrystalReport where Attivo=true Order "
                        "by Descrizione"),
         QStringLiteral("Numero")});
}

db::Status OptionsStore::reread()
{
    for (db::DataSet *row : {&TableOpzioni, &TableDitta}) {
        if (db::Status read = row->requery(); !read)
            return read;
    }
    return {};
}

db::Result<bool> OptionsStore::askPrinter()
{
    if (db::Status read = TableOpzioni.requery(); !read)
        return read.error();
    return !TableOpzioni.asBoolean(u"StampanteDefault");
}

db::Status OptionsStore::save(const RowChanges &options, const RowChanges &company,
                              const std::optional<QByteArray> &officeCa,
                              const std::optional<dav::StoredSettings> &sync)
{
    return saveOptionRows(TableOpzioni, options, TableDitta, company, [&]() -> db::Status {
        if (officeCa) {
            if (db::Status written = writeOfficeCa(TableOpzioni.connection(), *officeCa); !written)
                return written;
        }
        return sync ? dav::writeStoredSettings(TableOpzioni.connection(), *sync) : db::Status();
    });
}

db::Result<dav::StoredSettings> OptionsStore::syncSettings()
{
    return dav::readStoredSettings(TableOpzioni.connection());
}

db::Result<QByteArray> OptionsStore::officeCa()
{
    return readOfficeCa(TableOpzioni.connection());
}

ReportDefinition OptionsStore::companyLabelsReport()
{
    return {QStringLiteral("EtichetteAzienda.rpt"), QStringLiteral("EtichetteAzienda.rpt"),
            QStringLiteral("SELECT ditta.RagSoc AS Descrizione, ditta.Via, ditta.Comune "
                           "AS Citta, ditta.Provincia, ditta.Cap, ditta.Numero AS NumCasa "
                           "FROM ditta"),
            false, false};
}

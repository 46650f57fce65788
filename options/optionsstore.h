#pragma once

#include "dav/syncstore.h"
#include "db/datasets/dataset.h"

#include <QByteArray>

#include <optional>

class RowChanges;
class SharedDataSets;
struct ReportDefinition;

// The options: the options row, the company's row, the export formats, the default values of
// new rows; the SQL they are read with and their save.
class OptionsStore
{
public:
    // Declares the data sets into `shared`.
    explicit OptionsStore(SharedDataSets &shared);
    OptionsStore(const OptionsStore &) = delete;
    OptionsStore &operator=(const OptionsStore &) = delete;

    // Default values of new rows, by table (ApplicaPersonalizzazioni).
    db::DataSet TablePersonalizzazioni;
    // The company's row and the options row.
    db::DataSet TableDitta;
    db::DataSet TableOpzioni;
    // The export formats offered for a print.
    db::DataSet TableTipoEsportazioniCrystalReport;

    // Reads the options and the company's rows again, as stored now: saved from this
    // workstation's options window or another's.
    db::Status reread();
    // Writes the changes of the options and the company's rows in one transaction
    // (saveOptionRows()).
    // With `officeCa`, the office's certificate authorities are stored too (empty: taken
    // away), in the same transaction.
    db::Status save(const RowChanges &options, const RowChanges &company,
                    const std::optional<QByteArray> &officeCa = std::nullopt,
                    const std::optional<dav::StoredSettings> &sync = std::nullopt);
    // The phones' server as stored.
    db::Result<dav::StoredSettings> syncSettings();
    // The office's certificate authorities as stored (PEM); empty when there are none.
    db::Result<QByteArray> officeCa();

    // Whether a print asks for the printer first (the option StampanteDefault unset), read
    // again first.
    db::Result<bool> askPrinter();

    // The labels with the office's own address.
    static ReportDefinition companyLabelsReport();
};

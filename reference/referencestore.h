#pragma once

#include "db/datasets/dataset.h"

#include <optional>

class SharedDataSets;

// The reference tables: categories, professions, titles, payment and appointment types, sexes,
// the municipalities with their provinces, regions and nations, the streets of the postal-code
// finder; the SQL they are read with and the queries the reference windows send.
class ReferenceStore
{
public:
    // Declares the data sets into `shared`.
    explicit ReferenceStore(SharedDataSets &shared);
    ReferenceStore(const ReferenceStore &) = delete;
    ReferenceStore &operator=(const ReferenceStore &) = delete;

    db::DataSet TableCategorie;
    db::DataSet TableComuni;
    // The streets of one municipality, with their postal codes (showStreets()).
    db::DataSet TableIndirizzi;
    db::DataSet TableProfessioni;
    db::DataSet TableTitoli;
    db::DataSet TableNazioni;
    db::DataSet TableProvince;
    db::DataSet TableRegioni;
    db::DataSet TableTipoPagamenti;
    db::DataSet TableTipologiaCalendario;
    db::DataSet TableSesso;

    // The postal code of `comune` when it is known without asking the user: the one code of its
    // streets, or the code of its municipality row when the street archive does not list it.
    // Nothing when the user must choose among its streets.
    db::Result<std::optional<QString>> knownCap(const QString &comune);
    // Reads the streets of `comune` into TableIndirizzi, unfiltered and in their own order.
    db::Status showStreets(const QString &comune);
    // The municipalities that have a postal code beginning with `prefix` (digits) among the
    // codes of their streets: every code of the towns with several.
    db::Result<QList<qint64>> municipalitiesWithCap(const QString &prefix);
    // Whether any municipality has a telephone prefix (the national lists have none; an
    // archive brought from elsewhere may).
    db::Result<bool> anyTelephonePrefix();
    // Whether `cap` is one of the codes of municipality `id`: its own or one of its streets'.
    db::Result<bool> isCapOf(qint64 id, const QString &cap);

    // The contacts of category `id` lose the colour they keep a copy of; they keep the category.
    db::Status clearCategoryColour(qint64 id);
    // The contacts of category `id` take its colour `colour` (followCategoryColourSql()).
    db::Status followCategoryColour(qint64 id, qint64 colour);
};

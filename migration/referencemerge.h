#pragma once

#include "migration/tablerows.h"

namespace migration {

// The municipalities and the lists they point into, each in the new archive's columns.
struct ReferenceLists
{
    TableRows regioni;   // IDRegione, Descrizione
    TableRows province;  // CODPROV, PROVINCIA, CAPOLUOGO, Regione_ID
    TableRows nazioni;   // IDNazione, DENOMINAZ
    TableRows comuni;    // ID, Comune, Provincia, Cap, ..., COD_ISTAT, Regione_ID, Nazione_ID
    TableRows indirizzi; // id_cap, ..., Cap, Comune_ID
};

struct MergeCounts
{
    qint64 comuniAdded = 0, indirizziAdded = 0, provinceAdded = 0, regioniAdded = 0,
           nazioniAdded = 0;
};

// The office's own lists and the national ones made one. Every row of the office keeps its key
// and its values: the contacts and the streets point at them. A national row the office already
// has (a region, province or country of the same name or sigla, a municipality of the same
// ISTAT code or else of the same name and province) is left out, and what pointed at it points
// at the office's row. The others are added: a region, province or country with its own key
// when the office does not use it, else with the next free one; a municipality with a new key
// from `firstFreeComune` on (past every key the office has or still points at), its region and
// country pointing at the merged rows; a postal code of a municipality with several unless the
// office lists the same code for it.
MergeCounts mergeReferenceLists(ReferenceLists &office, const ReferenceLists &national,
                                qint64 firstFreeComune);

} // namespace migration

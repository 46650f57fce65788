#pragma once

#include "db/datasets/dataset.h"

// The record operations the editing windows share. Each takes a data set and the name of its
// key column. A database error is shown to the user ("Messaggio di errore") and returned to the
// caller; the user's edits stay in the data set's buffer, so the window can stay open.

// Writes the current row, re-reads the data set and makes the written row current again (a new
// row included, whose key is known afterwards).
db::Status SalvaRecord(db::DataSet &dataSet, const QString &keyColumn);

// Writes the current row and stays on it.
db::Status ConfermaRecord(db::DataSet &dataSet, const QString &keyColumn);

// Tells the user why writing the current row failed. When another workstation changed the row
// in the meantime, offers to read its version again (the edits in the buffer are dropped) or to
// stay with the edits. Returns `failed`.
db::Status ReportSaveFailure(db::DataSet &dataSet, const QString &keyColumn, db::Status failed);

// Deletes the current row; the row before it becomes current (after the first row, the one
// that followed it). Does nothing on an empty data set. Callers ask for confirmation first.
db::Status EliminaRecord(db::DataSet &dataSet, const QString &keyColumn);

// Re-reads the data set and returns to the current row. Nothing happens when the current
// row's key is null or 0.
db::Status RicaricaSuRecord(db::DataSet &dataSet, const QString &keyColumn);

// Writes the default values configured for `table` (rows of Personalizzazioni: NomeTabella,
// NomeCampo, Tipo t/n/f, Valore) into the current row of `target`. A value that does not
// convert or a column that `target` lacks is returned as an error.
db::Status ApplicaPersonalizzazioni(const QString &table, db::DataSet &target,
                                    db::DataSet &personalizzazioni);

// Writes `text` as one byte per character (Latin-1; the low 8 bits of characters beyond it),
// without a byte-order mark; with `dropLineBreaks` every line feed and carriage return is left
// out.
db::Status ScriviFileTesto(const QString &path, const QString &text, bool dropLineBreaks);

#pragma once

#include "db/core/connection.h"

#include <QDate>
#include <QStringList>

// The steps of the start-up sequence that do not touch a window.

// Runs the schema update script SQLAggio.sql of the archive's folder, if there is one: its
// statements (separated by ";" outside literals and comments; empty pieces are skipped) in one
// transaction.
// When all of them succeed the file is deleted and `applied` is set; when one fails, none takes
// effect, the file stays and the error carries the engine's text.
db::Status runUpdateScript(db::Connection &connection, const QString &archiveFolder, bool *applied);

// The reminder grid (of the rows of AgendaStore::remindersSql()): the title row and one row per
// reminder, its time without seconds. Columns: date, type, contact, notes, key (hidden), reminder
// date.
QList<QStringList> reminderGrid(const db::RowSet &reminders);

// The birthdays (the rows of ContactStore::birthdaysSql()): "Cognome Nome :dd/mm/yyyy", one line
// per contact. In calendar order from the month of `today`, by day within a month.
QStringList birthdayLines(const db::RowSet &contacts, QDate today);

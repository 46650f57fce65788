#pragma once

#include <QByteArrayView>

#include <QString>
#include <QVariant>

// The text helpers every window uses to compose SQL and filter texts and to split lists.
// Positions and field numbers are 1-based.

// Every apostrophe doubled, for a value placed between apostrophes in SQL or a filter text.
QString RaddoppiaApici(QStringView text);

// As RaddoppiaApici, and every * turned into %: a search typed with * becomes a LIKE pattern.
QString PreparaRicerca(QStringView text);

// Field `number` of `text` split at `separator`; empty when there is no such field. A missing
// final separator never loses the last field.
QString EstraiCampo(QStringView text, int number, QChar separator);

// The number of fields of `text` split at `separator`: 0 for an empty text.
int ContaCampi(QStringView text, QChar separator);

// The characters after the last dot of a file name; empty when there is no dot.
QString EstensioneFile(QStringView fileName);

// A file name made of `text` (a contact's name): the characters a file name cannot hold left
// out, no leading dot; `fallback` when nothing is left. Without extension.
QString nomeFileDa(QStringView text, const QString &fallback);

// The text a grid shows for a memo: its first 100 characters; empty for null.
QString ConvertiMemo(const QVariant &memo);

// Bytes of Windows-1252 as text: ISO-8859-1 with the printable characters of 0x80-0x9F, the
// charset of older phones, address books and Italian spreadsheets' files.
QString fromWindows1252(QByteArrayView bytes);

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// A notice text may name the recipient's own data as «Cognome», «Titolo» and so on: each such
// field is filled in for every recipient when the notice is printed. A text without fields
// prints as it is written.
namespace notices {

// The fields a notice text may hold, each also the name of the column that fills it.
const QStringList &noticeFields();

// `name` between the guillemets, as the text holds it: «Nome».
QString noticeFieldMark(const QString &name);

// The fields of `text` that are not notice fields, as written between the guillemets, in the
// order they first appear, each once. Only what could be meant as a field counts: one word
// beginning with a capital letter; «grazie» or «a presto» are ordinary Italian quotes.
QStringList unknownNoticeFields(QStringView text);

// The question about a text's unknown fields is asked once: when the user has accepted them
// for this text (writing the template, or at a print), later prints do not ask again in this
// session.
bool unknownFieldsAccepted(const QString &text);
void acceptUnknownFields(const QString &text);

// The question to ask before `text` is used with fields the program does not know, `doing`
// its verb ("Stampare", "Salvare"); empty when it has none, or they were accepted already.
QString unknownFieldsQuestion(const QString &text, const QString &doing);

// `text` with every notice field replaced by value(field), `field` spelt as noticeFields()
// lists it; a field is recognised regardless of letter case, and «Nominativo» is
// «NominativoDocumenti». A field filled with nothing takes one blank beside it away. Anything
// else between guillemets, and a guillemet left open, stays as written.
QString fillNoticeFields(QStringView text, const std::function<QString(const QString &)> &value);

} // namespace notices

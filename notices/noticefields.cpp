#include "notices/noticefields.h"

#include <QSet>

#include <algorithm>

namespace notices {

namespace {

constexpr QChar kOpen = u'\u00AB';
constexpr QChar kClose = u'\u00BB';

// The notice field `name` stands for, as noticeFields() spells it; empty for none. «Nominativo»
// is the name used in documents, a company's or a person's alike.
QString knownField(QStringView name)
{
    if (name.compare(u"Nominativo", Qt::CaseInsensitive) == 0)
        return QStringLiteral("NominativoDocumenti");
    for (const QString &field : noticeFields()) {
        if (name.compare(field, Qt::CaseInsensitive) == 0)
            return field;
    }
    return {};
}

// Calls `found` with the name of every «…» of `text` and its span; a name never holds a
// guillemet or a line break, so an open guillemet does not swallow the rest of the text.
template <typename Found> void scan(QStringView text, Found found)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype open = text.indexOf(kOpen, from);
        if (open < 0)
            return;
        qsizetype close = open + 1;
        while (close < text.size() && text[close] != kClose && text[close] != kOpen &&
               text[close] != u'\n' && text[close] != u'\r')
            ++close;
        if (close < text.size() && text[close] == kClose) {
            found(text.mid(open + 1, close - open - 1), open, close + 1);
            from = close + 1;
        } else {
            from = close;
        }
    }
}

} // namespace

const QStringList &noticeFields()
{
    static const QStringList fields = {
        QStringLiteral("Nome"),
        QStringLiteral("Cognome"),
        QStringLiteral("Titolo"),
        QStringLiteral("RagioneSociale"),
        QStringLiteral("NominativoDocumenti"),
        QStringLiteral("Comune"),
    };
    return fields;
}

QString noticeFieldMark(const QString &name)
{
    return kOpen + name + kClose;
}

namespace {

// One word that begins with a capital letter: what a field is written as.
bool looksLikeAField(QStringView name)
{
    if (name.isEmpty() || !name.front().isUpper())
        return false;
    return std::all_of(name.begin(), name.end(), [](QChar c) { return c.isLetterOrNumber(); });
}

QSet<QString> &acceptedTexts()
{
    static QSet<QString> texts;
    return texts;
}

} // namespace

QStringList unknownNoticeFields(QStringView text)
{
    QStringList unknown;
    scan(text, [&](QStringView name, qsizetype, qsizetype) {
        if (looksLikeAField(name) && knownField(name).isEmpty() &&
            !unknown.contains(name.toString()))
            unknown.append(name.toString());
    });
    return unknown;
}

bool unknownFieldsAccepted(const QString &text)
{
    return acceptedTexts().contains(text);
}

void acceptUnknownFields(const QString &text)
{
    acceptedTexts().insert(text);
}

QString unknownFieldsQuestion(const QString &text, const QString &doing)
{
    const QStringList unknown = unknownNoticeFields(text);
    if (unknown.isEmpty() || unknownFieldsAccepted(text))
        return {};
    QStringList marks;
    for (const QString &name : unknown)
        marks.append(noticeFieldMark(name));
    return QStringLiteral("Il testo contiene campi che il programma non conosce: %1. Saranno "
                          "stampati così come sono scritti. %2 comunque?")
        .arg(marks.join(QStringLiteral(", ")), doing);
}

QString fillNoticeFields(QStringView text, const std::function<QString(const QString &)> &value)
{
    QString filled;
    qsizetype copied = 0;
    scan(text, [&](QStringView name, qsizetype begin, qsizetype end) {
        const QString field = knownField(name);
        if (field.isEmpty())
            return;
        filled += text.mid(copied, begin - copied);
        const QString filledIn = value(field);
        filled += filledIn;
        copied = end;
        // An empty field takes a blank beside it away ("Gentile «Titolo» «Cognome»," for a
        // company reads "Gentile Rossi,", never with gaps): the one after it, or else the one
        // before.
        if (filledIn.isEmpty()) {
            if (end < text.size() && text[end] == u' ')
                copied = end + 1;
            else if (filled.endsWith(u' '))
                filled.chop(1);
        }
    });
    filled += text.mid(copied);
    return filled;
}

} // namespace notices

#pragma once

#include "db/core/connection.h"

#include <QHash>
#include <QList>

namespace vcard {

// What an import looks up by name: categories, professions and titles, which it creates when
// missing (once per import, however many cards name them), and the municipalities, which it
// never creates. Read once per import.
class ImportLists
{
public:
    enum class List
    {
        Categorie,
        Professioni,
        Titoli
    };

    static db::Result<ImportLists> load(db::Connection &connection);

    struct Row
    {
        qint64 id = 0;
        QVariant colour; // a category's colour
    };
    // The row of `list` described by `text` (letter case aside); a missing one is added.
    db::Result<Row> row(db::Connection &connection, List list, const QString &text);
    bool added() const { return m_added; }
    // The row of `list` described by `text`, letter case and a final full stop aside ("Dott"
    // for "Dott."); 0 when there is none, and none is added.
    qint64 existing(List list, const QString &text) const;

    // The municipality named `name`: of several with that name, the one in province `region`,
    // then the one with `postalCode`. 0 when none has that name.
    qint64 municipality(const QString &name, const QString &region,
                        const QString &postalCode) const;

private:
    struct Municipality
    {
        qint64 id;
        QString province; // case-folded
        QString postalCode;
    };
    QHash<QString, Row> m_rows[3];
    QHash<QString, QList<Municipality>> m_municipalities;
    bool m_added = false;
};

} // namespace vcard

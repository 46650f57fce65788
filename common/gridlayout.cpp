#include "common/gridlayout.h"

#include "common/dialogs.h"
#include "common/textfunctions.h"

#include <optional>

namespace {

QString rowFilter(const QString &gridName, const QString &computerName)
{
    // The computer name comes from the host: its apostrophes are doubled like a user's text.
    return QStringLiteral("NomeComputer = '") + RaddoppiaApici(computerName) +
           QStringLiteral("' and NomeGriglia = '") + RaddoppiaApici(gridName) + u'\'';
}

struct StoredLayout
{
    QList<GridColumn> columns; // up to the first unreadable element
    bool complete = false;
};

// Nothing when a list is missing.
std::optional<StoredLayout> storedColumns(db::DataSet &griglie, bool useDefault)
{
    const QString suffix = useDefault ? QStringLiteral("Predefiniti") : QStringLiteral("Utente");
    if (griglie.isNull(QStringLiteral("Width") + suffix) ||
        griglie.isNull(QStringLiteral("Campi") + suffix) ||
        griglie.isNull(QStringLiteral("Caption") + suffix))
        return std::nullopt;
    const QString widths = griglie.asString(QStringLiteral("Width") + suffix);
    const QString fields = griglie.asString(QStringLiteral("Campi") + suffix);
    const QString titles = griglie.asString(QStringLiteral("Caption") + suffix);
    StoredLayout layout;
    for (int i = 1; i <= ContaCampi(fields, u'|'); ++i) {
        bool ok = false;
        const int width = EstraiCampo(widths, i, u'|').toInt(&ok);
        if (!ok)
            return layout;
        layout.columns.append(
            GridColumn{EstraiCampo(fields, i, u'|'), width, EstraiCampo(titles, i, u'|')});
    }
    layout.complete = true;
    return layout;
}

} // namespace

db::Status SalvaLayout(const QString &gridName, DataSetModel &grid, db::DataSet &griglie,
                       bool alsoAsDefault, const QString &computerName)
{
    db::Status done = griglie.setFilter(rowFilter(gridName, computerName));
    if (done && griglie.isEmpty()) {
        done = griglie.setFilter(QString());
        if (done)
            done = griglie.append();
    }
    if (done)
        done = griglie.edit();
    if (!done) {
        dialogs().error(done.message());
        return done;
    }
    QString widths, fields, titles;
    for (const GridColumn &c : grid.columns()) {
        widths += QString::number(c.width) + u'|';
        fields += c.field + u'|';
        titles += c.title + u'|';
    }
    if (widths.isEmpty()) {
        griglie.cancel();
        (void)griglie.setFilter(QString());
        return {};
    }
    const bool firstTime = griglie.isNull(u"CampiPredefiniti");
    const QList<std::pair<QString, QVariant>> values = {
        {QStringLiteral("NomeGriglia"), gridName}, {QStringLiteral("CampiUtente"), fields},
        {QStringLiteral("WidthUtente"), widths},   {QStringLiteral("NomeComputer"), computerName},
        {QStringLiteral("CaptionUtente"), titles},
    };
    for (const auto &[column, value] : values)
        done = done ? griglie.setValue(column, value) : done;
    if (done && (alsoAsDefault || firstTime)) {
        const QList<std::pair<QString, QVariant>> defaults = {
            {QStringLiteral("CampiPredefiniti"), fields},
            {QStringLiteral("WidthPredefiniti"), widths},
            {QStringLiteral("TotaleCampiPredefiniti"), int(grid.columns().size())},
            {QStringLiteral("CaptionPredefiniti"), titles},
        };
        for (const auto &[column, value] : defaults)
            done = done ? griglie.setValue(column, value) : done;
    }
    if (done)
        done = griglie.post();
    if (!done) {
        griglie.cancel();
        dialogs().error(done.message());
        return done;
    }
    (void)griglie.setFilter(QString());
    return {};
}

db::Status RipristinaLayout(const QString &gridName, DataSetModel &grid, db::DataSet &griglie,
                            bool useDefault, const QString &computerName)
{
    const auto storeCurrent = [&] {
        (void)griglie.setFilter(QString());
        return SalvaLayout(gridName, grid, griglie, true, computerName);
    };
    if (db::Status filtered = griglie.setFilter(rowFilter(gridName, computerName)); !filtered)
        return filtered;
    if (griglie.isEmpty())
        return storeCurrent();
    // Compared with the grid's design, not with what is on screen: a dropped column must not
    // make the stored layouts look outdated, or "Reset" could never bring it back.
    if (griglie.asInteger(u"TotaleCampiPredefiniti") != grid.design().size() ||
        griglie.isNull(u"WidthUtente") || griglie.isNull(u"CampiUtente"))
        return storeCurrent();
    const std::optional<StoredLayout> stored = storedColumns(griglie, useDefault);
    if (!stored)
        return storeCurrent();
    grid.setColumns(stored->columns);
    // An unreadable layout: the columns rebuilt so far become the layout.
    return stored->complete ? db::Status() : storeCurrent();
}

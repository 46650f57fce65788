#include "reference/windows/frmgrigliacomuni.h"

#include "common/colours.h"
#include "common/datasetmodel.h"
#include "common/dialogs.h"
#include "common/gridsort.h"
#include "common/recordoperations.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/gridcommands.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "reference/comunisearch.h"
#include "reference/referencestore.h"
#include "reference/windows/frmcomunidett.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TfrmGrigliaComuni::TfrmGrigliaComuni(ReferenceStore &store, GridLayouts layouts,
                                     TfrmComuniDett &detail)
    : QDialog(nullptr, Qt::Window), m_store(store), m_dataSet(store.TableComuni), m_detail(detail)
{
    setObjectName(QStringLiteral("frmGrigliaComuni"));
    setWindowTitle(QStringLiteral("Comuni"));
    setHelpContext(this, 1700);
    setWindowState(Qt::WindowMaximized);

    auto *layout = new QVBoxLayout(this);
    const ListToolbar toolbar = makeListToolbar(this);
    layout->addWidget(toolbar.bar);
    connect(toolbar.indietro, &QToolButton::clicked, this, &QDialog::close);
    connect(toolbar.ricarica, &QToolButton::clicked, this, &TfrmGrigliaComuni::Ricarica);
    connect(toolbar.aggiungi, &QToolButton::clicked, this, &TfrmGrigliaComuni::Aggiungi);
    connect(toolbar.elimina, &QToolButton::clicked, this, &TfrmGrigliaComuni::Elimina);
    connect(toolbar.avanti, &QToolButton::clicked, this, &TfrmGrigliaComuni::apriDettaglio);

    auto *panel = new QGroupBox(QStringLiteral("Cerca Per:"), this);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setAutoFillBackground(true);
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, fromWindowsColour(0x80FF80));
    panel->setPalette(palette);
    auto *boxes = new QGridLayout(panel);
    // Laid out and searched in this order.
    const std::pair<const char *, const char *> fields[] = {
        {"Edit2", "Descrizione"}, {"Edit3", "Codice Istat"}, {"Edit1", "Codice Belfiore"},
        {"Edit4", "Provincia"},   {"Edit5", "Prefisso"},     {"txtCap", "Cap"},
    };
    int column = 0;
    for (const auto &[name, label] : fields) {
        m_labels.append(new QLabel(QString::fromUtf8(label), panel));
        boxes->addWidget(m_labels.last(), 0, column);
        boxes->addWidget(searchBox(panel, QString::fromLatin1(name)), 1, column);
        boxes->setColumnStretch(column, column == 0 ? 3 : 1);
        ++column;
    }
    layout->addWidget(panel);

    m_model = new DataSetModel(m_dataSet, this);
    m_model->setDesign({
        GridColumn{QStringLiteral("Comune"), 260, QStringLiteral("Comune")},
        GridColumn{QStringLiteral("Provincia"), 50, QStringLiteral("Prov.")},
        GridColumn{QStringLiteral("Cap"), 60, QStringLiteral("Cap")},
        GridColumn{QStringLiteral("COD_ISTAT"), 80, QStringLiteral("Cod. Istat")},
        GridColumn{QStringLiteral("CODICE_F"), 90, QStringLiteral("Cod. Belfiore")},
        GridColumn{QStringLiteral("PrefNaz"), 90, QStringLiteral("Prefisso Tel.")},
    });
    m_grid = new DataGrid(m_model, false, this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    attachGridCommands(m_grid, m_model, layouts.griglie, QStringLiteral("frmGrigliaComuni"),
                       QStringLiteral("Reset Griglia"), layouts.computerName);
    connect(m_grid, &DataGrid::rowActivated, this, &TfrmGrigliaComuni::apriDettaglio);
    connect(m_grid, &DataGrid::titleClicked, this, [this](const QString &field) {
        db::DataSet &ds = dataSet();
        if (db::Status sorted = ds.setSort(toggledSort(ds.sort(), field)); !sorted)
            dialogs().error(sorted.message());
    });
    layout->addWidget(m_grid, 1);
    resize(900, 640);

    // Enter and the arrows move between the search boxes.
    InputConventions::attach(this, InputConventions::Kind::Detail);
}

QLineEdit *TfrmGrigliaComuni::searchBox(QWidget *parent, const QString &name)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    connect(box, &QLineEdit::textChanged, this, &TfrmGrigliaComuni::search);
    m_boxes.append(box);
    return box;
}

void TfrmGrigliaComuni::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    const db::Result<bool> prefixes = m_store.anyTelephonePrefix();
    const bool shown = !prefixes || *prefixes || !m_boxes[4]->text().isEmpty();
    m_labels[4]->setVisible(shown);
    m_boxes[4]->setVisible(shown);
}

void TfrmGrigliaComuni::search()
{
    ComuniSearch s{m_boxes[0]->text(),
                   m_boxes[1]->text(),
                   m_boxes[2]->text(),
                   m_boxes[3]->text(),
                   m_boxes[4]->text(),
                   m_boxes[5]->text(),
                   {}};
    // A town with several codes is found by any of them, not only by its main one.
    if (capSearchedAmongAllCodes(s.cap)) {
        const db::Result<QList<qint64>> others = m_store.municipalitiesWithCap(s.cap);
        if (!others) {
            dialogs().error(others.message());
            return;
        }
        s.altriCap = *others;
    }
    if (db::Status filtered = dataSet().setFilter(composeComuniFilter(s)); !filtered)
        dialogs().error(filtered.message());
}

void TfrmGrigliaComuni::Aggiungi()
{
    db::DataSet &ds = dataSet();
    db::Status added = ds.setFilter(QString());
    if (added)
        added = ds.append();
    if (added)
        added = ds.setValue(u"Cap", QStringLiteral("00000"));
    if (!added) {
        ds.cancel();
        dialogs().error(added.message());
        return;
    }
    if (!SalvaRecord(ds, QStringLiteral("Id"))) {
        ds.cancel(); // not stored; the reason was shown
        return;
    }
    m_detail.setModified(true);
    m_detail.setNew(true);
    if (!ds.isEmpty())
        m_detail.apri();
    m_detail.setNew(false);
}

void TfrmGrigliaComuni::apriDettaglio()
{
    if (!dataSet().isEmpty())
        m_detail.apri();
}

void TfrmGrigliaComuni::Elimina()
{
    db::DataSet &ds = dataSet();
    if (ds.isEmpty() ||
        !dialogs().confirm(QStringLiteral("Sei sicuro di voler eliminare il Comune ?")))
        return;
    (void)EliminaRecord(ds, QStringLiteral("Id"));
}

void TfrmGrigliaComuni::Ricarica()
{
    if (db::Status reread = dataSet().requery(); !reread)
        dialogs().error(reread.message());
}

#include "reference/windows/frmtrovacap.h"

#include "common/datasetmodel.h"
#include "common/dialogs.h"
#include "common/gridsort.h"
#include "common/widgets/datagrid.h"
#include "common/widgets/gridcommands.h"
#include "common/widgets/inputconventions.h"
#include "common/widgets/toolbuttons.h"
#include "reference/capfinder.h"
#include "reference/referencestore.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

TfrmTrovaCap::TfrmTrovaCap(ReferenceStore &store, GridLayouts layouts)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowMaximizeButtonHint),
      m_store(store), m_dataSet(store.TableIndirizzi)
{
    setObjectName(QStringLiteral("frmTrovaCap"));
    setWindowTitle(QStringLiteral("Trova Cap"));
    setHelpContext(this, 2700);
    setWindowState(Qt::WindowMaximized);

    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    QToolButton *indietro = toolButton(this, QStringLiteral("spdIndietro"),
                                       QStringLiteral("Indietro"), QString(), QStyle::SP_ArrowBack);
    connect(indietro, &QToolButton::clicked, this, &TfrmTrovaCap::spdIndietroClick);
    bar->addWidget(indietro);
    bar->addStretch();
    layout->addLayout(bar);

    m_model = new DataSetModel(m_dataSet, this);
    m_model->setDesign({
        GridColumn{QStringLiteral("Frazione"), 200, QStringLiteral("Frazione")},
        GridColumn{QStringLiteral("Indirizzo"), 300, QStringLiteral("Indirizzo")},
        GridColumn{QStringLiteral("NumeroCivico"), 120, QStringLiteral("Civico")},
        GridColumn{QStringLiteral("Cap"), 60, QStringLiteral("Cap")},
    });
    m_grid = new DataGrid(m_model, false, this);
    m_grid->setObjectName(QStringLiteral("DBGrid1"));
    m_grid->installEventFilter(this);
    attachGridCommands(m_grid, m_model, layouts.griglie, QStringLiteral("frmTrovaCap"),
                       QStringLiteral("Reset Griglia"), layouts.computerName);
    connect(m_grid, &DataGrid::rowActivated, this, &TfrmTrovaCap::DBGrid1DblClick);
    connect(m_grid, &DataGrid::titleClicked, this, [this](const QString &field) {
        db::DataSet &ds = dataSet();
        if (db::Status sorted = ds.setSort(toggledSort(ds.sort(), field)); !sorted)
            dialogs().error(sorted.message());
    });
    layout->addWidget(m_grid, 1);

    auto *group = new QGroupBox(QStringLiteral("Cerca"), this);
    auto *boxes = new QHBoxLayout(group);
    boxes->addWidget(new QLabel(QStringLiteral("Frazione"), group));
    m_frazione = new QLineEdit(group);
    m_frazione->setObjectName(QStringLiteral("Edit1"));
    boxes->addWidget(m_frazione, 1);
    boxes->addWidget(new QLabel(QStringLiteral("Indirizzo"), group));
    m_indirizzo = new QLineEdit(group);
    m_indirizzo->setObjectName(QStringLiteral("Edit2"));
    boxes->addWidget(m_indirizzo, 2);
    for (QLineEdit *box : {m_frazione, m_indirizzo})
        connect(box, &QLineEdit::textChanged, this, &TfrmTrovaCap::search);
    layout->addWidget(group);
    resize(800, 560);

    InputConventions::attach(this, InputConventions::Kind::List);
}

std::optional<QString> TfrmTrovaCap::trovaCap(const QString &comune)
{
    if (comune.isEmpty()) {
        dialogs().warning(QStringLiteral("Prima devi selezionare la Città !"));
        return std::nullopt;
    }
    db::Result<std::optional<QString>> known = m_store.knownCap(comune);
    if (!known) {
        dialogs().error(known.message());
        return std::nullopt;
    }
    if (*known)
        return *known;
    db::DataSet &ds = dataSet();
    if (db::Status opened = m_store.showStreets(comune); !opened) {
        dialogs().error(opened.message());
        return std::nullopt;
    }
    m_frazione->clear();
    m_indirizzo->clear();
    m_grid->setFocus();
    dialogs().showModal(this);
    // Nothing to choose on an empty list: the contact's code stays as it is.
    if (m_cancelled || ds.isEmpty())
        return std::nullopt;
    return ds.asString(u"Cap");
}

void TfrmTrovaCap::search()
{
    const QString filter = composeStreetFilter(m_frazione->text(), m_indirizzo->text());
    if (db::Status filtered = dataSet().setFilter(filter); !filtered)
        dialogs().error(filtered.message());
}

void TfrmTrovaCap::DBGrid1DblClick()
{
    m_cancelled = false;
    accept();
}

void TfrmTrovaCap::spdIndietroClick()
{
    m_cancelled = true;
    accept();
}

void TfrmTrovaCap::reject()
{
    // Escape leaves as "Indietro" does: nothing chosen.
    spdIndietroClick();
}

void TfrmTrovaCap::closeEvent(QCloseEvent *event)
{
    event->ignore();
}

bool TfrmTrovaCap::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on a street chooses it, as a double click does.
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && dataSet().position() >= 0) {
            DBGrid1DblClick();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

#include "app/frmpromemoriascadenze.h"

#include "common/widgets/inputconventions.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

// The grid's rows as texts, shown as they are: a model over them costs nothing per cell, where
// an item per cell took seconds for a long list of reminders.
class ReminderRows final : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QList<QStringList> rows, const QBrush &titleBackground)
    {
        beginResetModel();
        m_rows = std::move(rows);
        m_titleBackground = titleBackground;
        endResetModel();
    }
    QString text(int row, int column) const { return m_rows.value(row).value(column); }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : 6;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        switch (role) {
        case Qt::DisplayRole:
            return text(index.row(), index.column());
        case Qt::FontRole:
            if (index.row() == 0) {
                QFont bold;
                bold.setBold(true);
                return bold;
            }
            return {};
        case Qt::BackgroundRole:
            return index.row() == 0 ? QVariant(m_titleBackground) : QVariant();
        default:
            return {};
        }
    }

private:
    QList<QStringList> m_rows;
    QBrush m_titleBackground;
};

TfrmPromemoriaScadenze::TfrmPromemoriaScadenze(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    setObjectName(QStringLiteral("frmPromemoriaScadenze"));
    setWindowTitle(QStringLiteral("Promemoria Scadenze"));
    setHelpContext(this, 1020);
    setWindowState(Qt::WindowMaximized);
    auto *layout = new QVBoxLayout(this);
    auto *heading = new QLabel(QStringLiteral("    Avvisi Calendario"), this);
    QFont bold = heading->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    heading->setFont(bold);
    layout->addWidget(heading);

    m_grid = new QTableView(this);
    m_rows = new ReminderRows(m_grid);
    m_rows->setRows({QStringList(6), QStringList(6)}, palette().button());
    m_grid->setModel(m_rows);
    m_grid->setObjectName(QStringLiteral("StringGrid2"));
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::SingleSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // One line per reminder. The key is there for the double click only; the reminder date,
    // which orders the rows, comes first.
    m_grid->setWordWrap(false);
    const int widths[] = {150, 220, 225, 191, 0, 100};
    for (int c = 0; c < 6; ++c)
        m_grid->setColumnWidth(c, widths[c]);
    m_grid->setColumnHidden(4, true);
    m_grid->horizontalHeader()->moveSection(5, 0);
    m_grid->horizontalHeader()->setStretchLastSection(true);
    connect(m_grid, &QTableView::doubleClicked, this,
            [this](const QModelIndex &index) { StringGrid2DblClick(index.row()); });
    layout->addWidget(m_grid, 1);

    auto *buttons = new QHBoxLayout;
    auto *aiuto = new QPushButton(QStringLiteral("Aiuto"), this);
    aiuto->setObjectName(QStringLiteral("spdHelp"));
    auto *indietro = new QPushButton(QStringLiteral("Indietro"), this);
    indietro->setObjectName(QStringLiteral("spdIndietro"));
    indietro->setToolTip(QStringLiteral("Torna Indietro"));
    connect(indietro, &QPushButton::clicked, this, &QDialog::accept);
    InputConventions::connectHelpButton(aiuto);
    buttons->addStretch();
    buttons->addWidget(aiuto);
    buttons->addWidget(indietro);
    layout->addLayout(buttons);
}

void TfrmPromemoriaScadenze::setGrid(const QList<QStringList> &rows)
{
    m_rows->setRows(rows, palette().button());
}

void TfrmPromemoriaScadenze::StringGrid2DblClick(int row)
{
    if (row <= 0 || row >= m_rows->rowCount())
        return;
    const QString id = m_rows->text(row, 4);
    if (id.isEmpty())
        return;
    if (m_openAppointment)
        m_openAppointment(id.toLongLong());
}

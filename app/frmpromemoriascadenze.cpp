#include "app/frmpromemoriascadenze.h"

#include "common/widgets/inputconventions.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

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

    m_grid = new QTableWidget(2, 6, this);
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
    connect(m_grid, &QTableWidget::cellDoubleClicked, this,
            [this](int row, int) { StringGrid2DblClick(row); });
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
    m_grid->clearContents();
    m_grid->setRowCount(int(rows.size()));
    for (int r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 6 && c < rows[r].size(); ++c) {
            auto *item = new QTableWidgetItem(rows[r][c]);
            if (r == 0) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
                item->setBackground(palette().button());
            }
            m_grid->setItem(r, c, item);
        }
    }
}

void TfrmPromemoriaScadenze::StringGrid2DblClick(int row)
{
    if (row <= 0 || row >= m_grid->rowCount())
        return;
    const QTableWidgetItem *id = m_grid->item(row, 4);
    if (!id || id->text().isEmpty())
        return;
    if (m_openAppointment)
        m_openAppointment(id->text().toLongLong());
}

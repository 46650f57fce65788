#include "common/widgets/datagrid.h"

#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Paints a cell as the style paints a plain text item (its background or the selection, the
// text elided where it does not fit, the focus frame), without the general item layout (icon,
// check box, wrapped text) that the style would otherwise work out for each cell painted.
class TextCellDelegate final : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        const QWidget *widget = cell.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &cell, painter, widget);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect text = cell.rect.adjusted(margin, 0, -margin, 0);
        const QPalette::ColorGroup group =
            !(cell.state & QStyle::State_Enabled) ? QPalette::Disabled
            : (cell.state & QStyle::State_Active) ? QPalette::Normal
                                                  : QPalette::Inactive;
        painter->save();
        painter->setFont(cell.font);
        painter->setPen(cell.palette.color(group, cell.state & QStyle::State_Selected
                                                      ? QPalette::HighlightedText
                                                      : QPalette::Text));
        painter->drawText(text, int(cell.displayAlignment) | Qt::TextSingleLine,
                          cell.fontMetrics.elidedText(cell.text, cell.textElideMode, text.width()));
        painter->restore();
        if (cell.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.QStyleOption::operator=(cell);
            focus.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &cell, widget);
            focus.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
            focus.backgroundColor =
                cell.palette.color(group, cell.state & QStyle::State_Selected ? QPalette::Highlight
                                                                              : QPalette::Window);
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, widget);
        }
    }
};

} // namespace

DataGrid::DataGrid(DataSetModel *model, bool multiSelection, QWidget *parent)
    : QTableView(parent), m_model(model)
{
    setModel(model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(multiSelection ? QAbstractItemView::ExtendedSelection
                                    : QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    // Every row as high as the others: the view works out where a row is without asking
    // the rows above it, however long the list.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->hide();
    setWordWrap(false);
    setItemDelegate(new TextCellDelegate(this));
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSortIndicatorShown(true);

    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section >= 0 && section < m_model->columns().size())
            Q_EMIT titleClicked(m_model->columns()[section].field);
        // The header turns its arrow at every click; the window may sort otherwise, or not.
        showSortColumn();
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.isValid()) {
            dataSet().setPosition(index.row());
            Q_EMIT rowActivated();
        }
    });
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && current.row() != dataSet().position())
                    dataSet().setPosition(current.row());
            });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection &selected, const QItemSelection &deselected) {
                // By ranges of rows: "Seleziona tutti" on a long list is one range, not a
                // hundred thousand cells.
                bool dropped = false;
                for (const QItemSelectionRange &range : deselected) {
                    for (int row = range.top(); row <= range.bottom(); ++row) {
                        if (!selectionModel()->isRowSelected(row, QModelIndex()))
                            dropped = m_selected.remove(dataSet().bookmarkAt(row)) || dropped;
                    }
                }
                if (dropped)
                    m_selectionOrder.removeIf(
                        [this](db::DataSet::Bookmark b) { return !m_selected.contains(b); });
                for (const QItemSelectionRange &range : selected) {
                    for (int row = range.top(); row <= range.bottom(); ++row) {
                        const db::DataSet::Bookmark b = dataSet().bookmarkAt(row);
                        if (!m_selected.contains(b)) {
                            m_selected.insert(b);
                            m_selectionOrder.append(b);
                        }
                    }
                }
            });
    connect(&dataSet(), &db::DataSet::currentChanged, this, &DataGrid::followDataSet);
    connect(model, &QAbstractItemModel::modelReset, this, [this] {
        m_selectionOrder.clear();
        m_selected.clear();
        followDataSet();
        showSortColumn();
    });
    connect(model, &QAbstractItemModel::layoutChanged, this, &DataGrid::showSortColumn);
    followDataSet();
    showSortColumn();
}

void DataGrid::showSortColumn()
{
    // The first term of the sort text decides: "Cognome DESC, Nome" is by surname, descending.
    const QString first = dataSet().sort().section(u',', 0, 0).trimmed();
    const QStringList words = first.split(u' ', Qt::SkipEmptyParts);
    int section = -1;
    if (!words.isEmpty()) {
        QString field = words.first();
        if (field.startsWith(u'[') && field.endsWith(u']'))
            field = field.mid(1, field.size() - 2);
        for (qsizetype c = 0; c < m_model->columns().size(); ++c) {
            if (m_model->columns()[c].field.compare(field, Qt::CaseInsensitive) == 0) {
                section = int(c);
                break;
            }
        }
    }
    const bool descending = words.size() > 1 && words[1].compare(u"desc", Qt::CaseInsensitive) == 0;
    QHeaderView *header = horizontalHeader();
    header->blockSignals(true);
    header->setSortIndicator(section, descending ? Qt::DescendingOrder : Qt::AscendingOrder);
    header->blockSignals(false);
}

void DataGrid::followDataSet()
{
    const int row = dataSet().position();
    const QModelIndex current = currentIndex();
    if (row < 0 || row >= m_model->rowCount()) {
        selectionModel()->clearCurrentIndex();
        return;
    }
    if (current.isValid() && current.row() == row)
        return;
    const QModelIndex target = m_model->index(row, current.isValid() ? current.column() : 0);
    // Where several rows can be selected, moving the current row leaves the selection alone.
    const QItemSelectionModel::SelectionFlags flags =
        selectionMode() == QAbstractItemView::ExtendedSelection
            ? QItemSelectionModel::NoUpdate
            : QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    selectionModel()->setCurrentIndex(target, flags);
    scrollTo(target);
}

QList<db::DataSet::Bookmark> DataGrid::selectedBookmarks() const
{
    QList<db::DataSet::Bookmark> valid;
    for (db::DataSet::Bookmark b : m_selectionOrder) {
        if (dataSet().isBookmarkValid(b))
            valid.append(b);
    }
    return valid;
}

void DataGrid::selectRow(int row, bool selected)
{
    if (row < 0 || row >= m_model->rowCount() || m_model->columnCount() == 0)
        return;
    const QItemSelection rowSelection(m_model->index(row, 0),
                                      m_model->index(row, m_model->columnCount() - 1));
    selectionModel()->select(rowSelection, selected ? QItemSelectionModel::Select
                                                    : QItemSelectionModel::Deselect);
}

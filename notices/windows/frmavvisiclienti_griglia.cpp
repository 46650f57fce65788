#include "notices/windows/frmavvisiclienti_griglia.h"

#include "common/dialogs.h"
#include "common/widgets/inputconventions.h"
#include "notices/noticefields.h"
#include "notices/noticestore.h"
#include "notices/recipients.h"
#include "notices/windows/wizardtoolbar.h"

#include <QAbstractItemModel>
#include <QAction>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QListWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The contact's key travels with its item, never through the shown text.
constexpr int kContactRole = Qt::UserRole;

} // namespace

TfrmAvvisiClienti_Griglia::TfrmAvvisiClienti_Griglia(NoticeStore &store, NoticeLinks links)
    : QDialog(nullptr, Qt::Window), m_store(store), m_links(std::move(links))
{
    setObjectName(QStringLiteral("frmAvvisiClienti_Griglia"));
    setWindowTitle(QStringLiteral("Avvisi per Clienti"));
    setHelpContext(this, 7220);
    setWindowState(Qt::WindowMaximized);

    auto *layout = new QVBoxLayout(this);
    const WizardToolbar toolbar =
        addWizardToolbar(this, layout, QStringLiteral("btnStampa"), QStringLiteral("Stampa"),
                         QStyle::SP_FileDialogDetailedView);
    QToolButton *indietro = toolbar.indietro;
    QToolButton *stampa = toolbar.avanti;

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("CheckListBox1"));
    QFont bold = m_list->font();
    bold.setBold(true);
    m_list->setFont(bold);
    // Columns side by side, filled from top to bottom.
    m_list->setFlow(QListView::TopToBottom);
    m_list->setWrapping(true);
    m_list->setResizeMode(QListView::Adjust);
    m_list->setUniformItemSizes(true);
    m_list->setSelectionMode(QAbstractItemView::NoSelection);
    m_list->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *tutti = new QAction(QStringLiteral("Seleziona tutti"), m_list);
    tutti->setObjectName(QStringLiteral("SelezionaTutti"));
    auto *nessuno = new QAction(QStringLiteral("Nessuna selezione"), m_list);
    nessuno->setObjectName(QStringLiteral("NessunaSelezione"));
    m_list->addAction(tutti);
    m_list->addAction(nessuno);
    layout->addWidget(m_list, 1);
    resize(900, 600);

    InputConventions::attach(this, InputConventions::Kind::List);
    connect(tutti, &QAction::triggered, this, &TfrmAvvisiClienti_Griglia::SelezionaTutti);
    connect(nessuno, &QAction::triggered, this, &TfrmAvvisiClienti_Griglia::NessunaSelezione);
    connect(indietro, &QToolButton::clicked, this, &QDialog::accept);
    connect(stampa, &QToolButton::clicked, this, &TfrmAvvisiClienti_Griglia::btnStampaClick);
}

db::Status TfrmAvvisiClienti_Griglia::carica(const QString &sql)
{
    m_list->clear();
    const db::Result<db::RowSet> rows = m_store.findContacts(sql);
    if (!rows)
        return rows.error();
    const QList<notices::Recipient> recipients = notices::recipientsOf(*rows);
    QStringList shown;
    shown.reserve(recipients.size());
    for (const notices::Recipient &r : recipients)
        shown.append(QStringLiteral("   ") + r.nominativo);
    // Every column as wide as the longest name with its tick box, so that no name is cut; the
    // items are all one size, so the list lays out a hundred thousand of them in a moment.
    const QFontMetrics metrics(m_list->font());
    int widest = 0;
    for (const QString &name : std::as_const(shown))
        widest = std::max(widest, metrics.horizontalAdvance(name));
    const int tick =
        m_list->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, m_list) +
        2 * m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list);
    m_list->setGridSize(QSize(widest + tick + metrics.averageCharWidth() * 3,
                              std::max(metrics.height(), tick) + 4));
    // All rows at once, then their keys and ticks without a signal per item: a list of a
    // hundred thousand contacts fills in a moment.
    m_list->addItems(shown);
    QAbstractItemModel *model = m_list->model();
    model->blockSignals(true);
    for (int i = 0; i < m_list->count(); ++i) {
        QListWidgetItem *item = m_list->item(i);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        item->setData(kContactRole, recipients[i].id);
    }
    model->blockSignals(false);
    announceChanges();
    return {};
}

void TfrmAvvisiClienti_Griglia::apri()
{
    dialogs().showModal(this);
}

QList<qint64> TfrmAvvisiClienti_Griglia::tickedContacts() const
{
    QList<qint64> ticked;
    for (int i = 0; i < m_list->count(); ++i) {
        const QListWidgetItem *item = m_list->item(i);
        if (item->checkState() == Qt::Checked)
            ticked.append(item->data(kContactRole).toLongLong());
    }
    return ticked;
}

void TfrmAvvisiClienti_Griglia::tickAll(bool ticked)
{
    QAbstractItemModel *model = m_list->model();
    model->blockSignals(true);
    for (int i = 0; i < m_list->count(); ++i)
        m_list->item(i)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    model->blockSignals(false);
    announceChanges();
}

void TfrmAvvisiClienti_Griglia::announceChanges()
{
    QAbstractItemModel *model = m_list->model();
    if (model->rowCount() > 0)
        Q_EMIT model->dataChanged(model->index(0, 0), model->index(model->rowCount() - 1, 0));
}

void TfrmAvvisiClienti_Griglia::SelezionaTutti()
{
    tickAll(true);
}

void TfrmAvvisiClienti_Griglia::NessunaSelezione()
{
    tickAll(false);
}

void TfrmAvvisiClienti_Griglia::btnStampaClick()
{
    // Nothing ticked: nothing to print, and the list stays as it is.
    const auto ticked = tickedContacts();
    if (ticked.isEmpty()) {
        dialogs().warning(QStringLiteral("Nessun contatto spuntato: spuntare i destinatari delle "
                                         "lettere da stampare."));
        return;
    }
    const db::Result<QString> text = m_store.storedText();
    if (!text) {
        dialogs().error(text.message());
        return;
    }
    if (const QString question = notices::unknownFieldsQuestion(*text, QStringLiteral("Stampare"));
        !question.isEmpty()) {
        if (!dialogs().confirm(question))
            return;
        notices::acceptUnknownFields(*text);
    }
    if (db::Status written = m_store.writeRecipients(ticked); !written) {
        dialogs().error(written.message());
        return;
    }
    if (m_links.print)
        m_links.print(ReportKind::Notices);
}

#include "contacts/windows/frmimportafoglio.h"

#include "common/dialogs.h"
#include "common/workerthread.h"
#include "db/core/datetimes.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

const QString kCaption = QStringLiteral("Importa foglio");
constexpr qsizetype kShownNotes = 25;

QString previewText(const QVariant &cell)
{
    if (cell.typeId() == QMetaType::QDate)
        return cell.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    if (cell.typeId() == QMetaType::Double) {
        const double v = cell.toDouble();
        return v == qint64(v) ? QString::number(qint64(v)) : QString::number(v, 'g', 15);
    }
    return cell.toString();
}

} // namespace

TfrmImportaFoglio::TfrmImportaFoglio(OpenConnection openOwn, QWidget *parent)
    : QDialog(parent), m_openOwn(std::move(openOwn))
{
    setObjectName(QStringLiteral("frmImportaFoglio"));
    setWindowTitle(kCaption);
    setProperty("helpContext", 3600);
    auto *layout = new QVBoxLayout(this);
    m_file = new QLabel(this);
    m_file->setObjectName(QStringLiteral("lblFile"));
    m_file->setWordWrap(true);
    layout->addWidget(m_file);
    auto *hint = new QLabel(QStringLiteral("Sopra ogni colonna il campo del contatto in cui va; "
                                           "si può cambiare, o scegliere «(non importare)»."),
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    m_preview = new QTableWidget(this);
    m_preview->setObjectName(QStringLiteral("tblAnteprima"));
    m_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_preview->verticalHeader()->setVisible(false);
    layout->addWidget(m_preview, 1);
    auto *row = new QHBoxLayout;
    auto *azioneLabel = new QLabel(QStringLiteral("Contatti già in &archivio:"), this);
    m_azione = new QComboBox(this);
    m_azione->setObjectName(QStringLiteral("cmbAzione"));
    m_azione->addItem(QStringLiteral("Saltarli"), int(AzioneImportazioneVCard::Salta));
    m_azione->addItem(QStringLiteral("Aggiornarli con i dati del foglio"),
                      int(AzioneImportazioneVCard::Aggiorna));
    azioneLabel->setBuddy(m_azione);
    row->addWidget(azioneLabel);
    row->addWidget(m_azione);
    row->addStretch();
    layout->addLayout(row);
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("barProgresso"));
    m_bar->setVisible(false);
    layout->addWidget(m_bar);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_import = new QPushButton(QStringLiteral("&Importa"), this);
    m_import->setObjectName(QStringLiteral("btnImporta"));
    m_import->setDefault(true);
    m_cancel = new QPushButton(QStringLiteral("Annulla"), this);
    m_cancel->setObjectName(QStringLiteral("btnAnnulla"));
    buttons->addWidget(m_import);
    buttons->addWidget(m_cancel);
    layout->addLayout(buttons);
    m_worker = new WorkerThread(this);
    connect(m_import, &QPushButton::clicked, this, &TfrmImportaFoglio::importa);
    connect(m_cancel, &QPushButton::clicked, this, &TfrmImportaFoglio::reject);
    resize(900, 520);
}

TfrmImportaFoglio::~TfrmImportaFoglio() = default;

bool TfrmImportaFoglio::isRunning() const
{
    return m_worker->isRunning();
}

void TfrmImportaFoglio::mostra(const QString &path, const sheets::SheetRows &rows)
{
    m_path = path;
    m_rows = rows;
    const QStringList headers = sheetHeaders(rows);
    const QList<ColumnMatch> found = matchColumns(headers);
    m_file->setText(QStringLiteral("%1\nRighe oltre l'intestazione: %2.")
                        .arg(QDir::toNativeSeparators(path))
                        .arg(rows.size() - 1));
    int columns = int(headers.size());
    for (const QVariantList &r : rows)
        columns = std::max(columns, int(r.size()));
    m_preview->clear();
    m_preview->setColumnCount(columns);
    m_preview->setRowCount(1 + std::min<int>(kPreviewRows, int(rows.size()) - 1));
    m_preview->setHorizontalHeaderLabels(headers);
    m_choices.clear();
    for (int c = 0; c < columns; ++c) {
        auto *combo = new QComboBox(m_preview);
        combo->setObjectName(QStringLiteral("cmbColonna%1").arg(c));
        QList<ColumnMatch> offered;
        const ColumnMatch match = c < found.size() ? found[c] : ColumnMatch{};
        if (match.typeColumn >= 0)
            offered << match;
        for (int f = 0; f < kSheetFields; ++f)
            offered << ColumnMatch{SheetField(f), -1};
        for (const ColumnMatch &m : offered)
            combo->addItem(columnMatchLabel(m, headers));
        combo->setCurrentIndex(int(offered.indexOf(match)));
        m_choices << offered;
        m_preview->setCellWidget(0, c, combo);
    }
    for (int r = 1; r < m_preview->rowCount(); ++r) {
        for (int c = 0; c < columns && c < rows[r].size(); ++c)
            m_preview->setItem(r, c, new QTableWidgetItem(previewText(rows[r][c])));
    }
    m_preview->resizeColumnsToContents();
    // A long note must not push the other columns out of sight.
    for (int c = 0; c < columns; ++c)
        m_preview->setColumnWidth(c, std::min(m_preview->columnWidth(c), 260));
    m_preview->scrollToTop();
    m_preview->horizontalScrollBar()->setValue(0);
    m_bar->setVisible(false);
    m_import->setEnabled(true);
    m_azione->setEnabled(true);
    m_preview->setEnabled(true);
    // Every file starts as the first did: skipping the contacts already in the archive, and
    // Enter imports.
    m_azione->setCurrentIndex(0);
    m_cancel->setDefault(false);
    m_import->setDefault(true);
    m_import->setFocus();
}

QList<ColumnMatch> TfrmImportaFoglio::columns() const
{
    QList<ColumnMatch> matches;
    for (int c = 0; c < m_choices.size(); ++c) {
        const auto *combo = qobject_cast<QComboBox *>(m_preview->cellWidget(0, c));
        matches << m_choices[c].value(combo ? combo->currentIndex() : -1);
    }
    return matches;
}

void TfrmImportaFoglio::importa()
{
    if (isRunning())
        return;
    const QList<ColumnMatch> chosen = columns();
    if (std::none_of(chosen.cbegin(), chosen.cend(),
                     [](const ColumnMatch &m) { return m.field != SheetField::Nessuno; })) {
        dialogs().error(QStringLiteral("Nessuna colonna va in un campo del contatto: scegliere "
                                       "almeno il cognome, il nome o la ragione sociale."));
        return;
    }
    // Two columns in one field: one of them would be lost.
    const QStringList headers = sheetHeaders(m_rows);
    for (int a = 0; a < chosen.size(); ++a) {
        for (int b = a + 1; b < chosen.size(); ++b) {
            if (chosen[a].field != SheetField::Nessuno && chosen[a] == chosen[b]) {
                dialogs().error(
                    QStringLiteral("Le colonne «%1» e «%2» vanno tutte e due in "
                                   "«%3»: sceglierne una, o «(non importare)» per "
                                   "l'altra.")
                        .arg(headers.value(a), headers.value(b), sheetFieldTitle(chosen[a].field)));
                return;
            }
        }
    }
    db::Result<std::unique_ptr<db::Connection>> own =
        m_openOwn ? m_openOwn()
                  : db::Result<std::unique_ptr<db::Connection>>(
                        db::Error{QStringLiteral("L'archivio non è aperto.")});
    if (!own) {
        dialogs().error(own.message());
        return;
    }
    const auto azione = AzioneImportazioneVCard(m_azione->currentData().toInt());
    m_cancelled = false;
    m_import->setEnabled(false);
    m_azione->setEnabled(false);
    m_preview->setEnabled(false);
    m_bar->setVisible(true);
    m_bar->setRange(0, std::max<int>(1, int(m_rows.size()) - 1));
    m_bar->setValue(0);
    std::shared_ptr<db::Connection> connection(std::move(*own));
    const QDate today = db::clock::today();
    m_worker->start([this, connection, rows = m_rows, chosen, azione,
                     today](const std::atomic_bool &stop) -> std::function<void()> {
        db::Result<SheetImportSummary> done =
            importSheet(*connection, rows, chosen, azione, today, [&](int at, int total) {
                m_worker->post([this, at, total] {
                    m_bar->setRange(0, total);
                    m_bar->setValue(at);
                });
                return !stop.load();
            });
        return [this, done = std::move(done)] { finish(done); };
    });
}

void TfrmImportaFoglio::finish(const db::Result<SheetImportSummary> &result)
{
    m_bar->setVisible(false);
    m_cancel->setEnabled(true);
    m_import->setEnabled(true);
    m_azione->setEnabled(true);
    m_preview->setEnabled(true);
    if (!result) {
        dialogs().error(result.message());
        return;
    }
    if (result->annullato) {
        dialogs().information(QStringLiteral("Importazione annullata: nessun contatto è stato "
                                             "importato."),
                              kCaption);
        return;
    }
    // A long list of notes is cut: the message must fit the screen.
    dialogs().information(result->testo(kShownNotes), kCaption);
    if (result->nuovi + result->aggiornati > 0)
        Q_EMIT imported(result->righeAggiunte);
    accept();
}

void TfrmImportaFoglio::closeEvent(QCloseEvent *event)
{
    if (isRunning()) {
        reject();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void TfrmImportaFoglio::reject()
{
    // While the import runs, "Annulla" and Esc stop it; the window says so at the end.
    if (isRunning()) {
        m_worker->requestStop();
        m_cancelled = true;
        m_cancel->setEnabled(false);
        return;
    }
    m_cancel->setEnabled(true);
    QDialog::reject();
}

#include "tools/stampa/widgets/previewwindow.h"

#include "common/dialogs.h"
#include "tools/stampa/dataexport.h"
#include "tools/stampa/widgets/printprogress.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QActionGroup>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinterInfo>
#include <QScrollBar>
#include <QStandardPaths>
#include <QToolBar>

#include <algorithm>

namespace stampa {

namespace {

struct ExportType
{
    QString extension;
    QString filter;
};

const QList<ExportType> &exportTypes()
{
    static const QList<ExportType> types = {
        {QStringLiteral("pdf"), QStringLiteral("Documento PDF (*.pdf)")},
        {QStringLiteral("csv"), QStringLiteral("Testo separato da virgole (*.csv)")},
        {QStringLiteral("html"), QStringLiteral("Pagina web (*.html *.htm)")},
    };
    return types;
}

QString withExtension(const QString &file, const QString &extension)
{
    return QFileInfo(file).suffix().isEmpty() ? file + u'.' + extension : file;
}

} // namespace

PreviewWindow::PreviewWindow(PrintJob job, ReportData records, const QString &runnerFolder,
                             QWidget *parent)
    : QMainWindow(parent), m_job(std::move(job)), m_data(std::move(records)),
      m_runnerFolder(runnerFolder), m_previewPrinter(QPrinter::HighResolution)
{
    setObjectName(QStringLiteral("frmAnteprima"));
    hasPrinter = [] { return !QPrinterInfo::availablePrinters().isEmpty(); };
    m_previewPrinter.setFullPage(true);
    m_preview = new QPrintPreviewWidget(&m_previewPrinter, this);
    m_preview->setObjectName(QStringLiteral("Anteprima"));
    m_preview->setZoomMode(QPrintPreviewWidget::FitInView);
    setCentralWidget(m_preview);
    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, [this](QPrinter *printer) {
        // No progress window here: its events would repaint the preview while it is being made.
        if (m_document)
            (void)m_document->print(*printer);
    });

    QToolBar *bar = addToolBar(QStringLiteral("Anteprima"));
    bar->setObjectName(QStringLiteral("BarraAnteprima"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addFileCommands(bar);
    bar->addSeparator();
    addViewCommands(bar);
    bar->addSeparator();
    addSearch(bar);
    bar->addAction(addCommand(QStringLiteral("Chiudi"), QStringLiteral("Chiudi"),
                              QKeySequence(Qt::Key_Escape)));
    connect(command("Chiudi"), &QAction::triggered, this, &QWidget::close);
    resize(1000, 800);
}

void PreviewWindow::addFileCommands(QToolBar *bar)
{
    bar->addAction(
        addCommand(QStringLiteral("Stampa"), QStringLiteral("Stampa"), QKeySequence::Print));
    bar->addAction(
        addCommand(QStringLiteral("Esporta"), QStringLiteral("Esporta"), QKeySequence::Save));
    connect(command("Stampa"), &QAction::triggered, this, &PreviewWindow::print);
    connect(command("Esporta"), &QAction::triggered, this, &PreviewWindow::exportReport);
}

void PreviewWindow::addViewCommands(QToolBar *bar)
{
    m_portraitAction = addCommand(QStringLiteral("Verticale"), QStringLiteral("Verticale"), {});
    m_landscapeAction =
        addCommand(QStringLiteral("Orizzontale"), QStringLiteral("Orizzontale"), {});
    auto *orientation = new QActionGroup(this);
    for (QAction *a : {m_portraitAction, m_landscapeAction}) {
        a->setCheckable(true);
        orientation->addAction(a);
        bar->addAction(a);
        connect(a, &QAction::triggered, this, [this, a] {
            if (db::Status shown = showLayout(a == m_landscapeAction); !shown)
                dialogs().error(shown.message());
        });
    }
    bar->addSeparator();
    bar->addAction(
        addCommand(QStringLiteral("ZoomAvanti"), QStringLiteral("Zoom +"), QKeySequence::ZoomIn));
    bar->addAction(addCommand(QStringLiteral("ZoomIndietro"), QStringLiteral("Zoom -"),
                              QKeySequence::ZoomOut));
    connect(command("ZoomAvanti"), &QAction::triggered, m_preview, [this] { m_preview->zoomIn(); });
    connect(command("ZoomIndietro"), &QAction::triggered, m_preview,
            [this] { m_preview->zoomOut(); });
    bar->addSeparator();

    bar->addAction(addCommand(QStringLiteral("PrimaPagina"), QStringLiteral("|<"),
                              QKeySequence(Qt::Key_Home)));
    bar->addAction(addCommand(QStringLiteral("PaginaPrecedente"), QStringLiteral("<"),
                              QKeySequence::MoveToPreviousPage));
    m_pageNumber = new QLabel(bar);
    m_pageNumber->setObjectName(QStringLiteral("NumeroPagina"));
    m_pageNumber->setMargin(4);
    bar->addWidget(m_pageNumber);
    bar->addAction(addCommand(QStringLiteral("PaginaSuccessiva"), QStringLiteral(">"),
                              QKeySequence::MoveToNextPage));
    bar->addAction(addCommand(QStringLiteral("UltimaPagina"), QStringLiteral(">|"),
                              QKeySequence(Qt::Key_End)));
    command("PrimaPagina")->setToolTip(QStringLiteral("Prima pagina"));
    command("PaginaPrecedente")->setToolTip(QStringLiteral("Pagina precedente"));
    command("PaginaSuccessiva")->setToolTip(QStringLiteral("Pagina successiva"));
    command("UltimaPagina")->setToolTip(QStringLiteral("Ultima pagina"));
    const auto showPage = [this](int page) {
        m_preview->setCurrentPage(std::clamp(page, 1, std::max(1, m_preview->pageCount())));
        updatePageNumber();
    };
    connect(command("PrimaPagina"), &QAction::triggered, this, [showPage] { showPage(1); });
    connect(command("PaginaPrecedente"), &QAction::triggered, this,
            [this, showPage] { showPage(m_preview->currentPage() - 1); });
    connect(command("PaginaSuccessiva"), &QAction::triggered, this,
            [this, showPage] { showPage(m_preview->currentPage() + 1); });
    connect(command("UltimaPagina"), &QAction::triggered, this,
            [this, showPage] { showPage(m_preview->pageCount()); });
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this,
            &PreviewWindow::updatePageNumber);
    // The pages also move with the scroll bars and the mouse wheel.
    if (auto *view = m_preview->findChild<QAbstractScrollArea *>()) {
        connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
                &PreviewWindow::updatePageNumber);
        connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this,
                &PreviewWindow::updatePageNumber);
    }
}

void PreviewWindow::addSearch(QToolBar *bar)
{
    m_search = new QLineEdit(bar);
    m_search->setObjectName(QStringLiteral("Cerca"));
    m_search->setPlaceholderText(QStringLiteral("Testo da cercare"));
    m_search->setClearButtonEnabled(true);
    m_search->setMaximumWidth(240);
    auto *label = new QLabel(QStringLiteral("Cerca"), bar);
    label->setMargin(4);
    label->setBuddy(m_search);
    bar->addWidget(label)->setVisible(m_job.search);
    bar->addWidget(m_search)->setVisible(m_job.search);
    if (m_job.search)
        bar->addSeparator();
    // A search runs when the typing pauses: a long report takes a moment to lay out again.
    m_searchDelay.setSingleShot(true);
    m_searchDelay.setInterval(300);
    connect(&m_searchDelay, &QTimer::timeout, this, &PreviewWindow::applySearch);
    connect(m_search, &QLineEdit::textChanged, &m_searchDelay, qOverload<>(&QTimer::start));
}

QAction *PreviewWindow::command(const char *name) const
{
    return findChild<QAction *>(QLatin1String(name), Qt::FindDirectChildrenOnly);
}

PreviewWindow::~PreviewWindow() = default;

QAction *PreviewWindow::addCommand(const QString &name, const QString &text,
                                   const QKeySequence &shortcut)
{
    auto *action = new QAction(text, this);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    addAction(action);
    return action;
}

db::Status PreviewWindow::showLayout(bool landscape)
{
    db::Result<ReportLayout> layout = readLayoutFile(layoutPath(m_job, landscape, m_runnerFolder));
    if (!layout) {
        (m_landscape ? m_landscapeAction : m_portraitAction)->setChecked(true);
        return layout.error();
    }
    m_landscape = landscape;
    m_layout = std::move(*layout);
    (m_landscape ? m_landscapeAction : m_portraitAction)->setChecked(true);
    setWindowTitle(QStringLiteral("Anteprima di stampa - %1").arg(m_layout->title));
    buildDocument();
    return {};
}

void PreviewWindow::applySearch()
{
    m_searchDelay.stop();
    buildDocument();
}

void PreviewWindow::buildDocument()
{
    if (!m_layout)
        return;
    ReportData shown = m_data;
    if (m_job.search)
        shown.rows = rowsContaining(m_data.rows, m_search->text());
    m_document = std::make_unique<ReportDocument>(*m_layout, std::move(shown), m_job.heading);
    m_previewPrinter.setPageLayout(
        QPageLayout(m_layout->pageSize, m_layout->orientation, QMarginsF()));
    m_preview->updatePreview();
}

void PreviewWindow::updatePageNumber()
{
    m_pageNumber->setText(QStringLiteral("Pagina %1 di %2")
                              .arg(m_preview->currentPage())
                              .arg(m_preview->pageCount()));
}

QString PreviewWindow::suggestedFile(const QString &extension) const
{
    const QString folder = documentsFolder();
    const QString name =
        m_layout ? QFileInfo(m_layout->path).completeBaseName() : QStringLiteral("stampa");
    return QDir(folder).filePath(name + u'.' + extension);
}

db::Status printerReady(const QPrinter &printer)
{
    const QString name = printer.printerName();
    if (name.isEmpty())
        return db::Error{QStringLiteral(
            "Non c'è una stampante predefinita: sceglierne una nelle impostazioni di stampa del "
            "sistema, oppure togliere \"Stampante predefinita\" nelle opzioni per sceglierla a "
            "ogni stampa.")};
    const QPrinterInfo info = QPrinterInfo::printerInfo(name);
    if (info.isNull())
        return db::Error{
            QStringLiteral("La stampante \"%1\" non è installata su questo computer: la stampa "
                           "non è stata inviata.")
                .arg(name)};
    if (info.state() == QPrinter::Error || info.state() == QPrinter::Aborted)
        return db::Error{
            QStringLiteral("La stampante \"%1\" è ferma: la stampa non è stata inviata. "
                           "Riavviarla dalle impostazioni di stampa del sistema e stampare di "
                           "nuovo.")
                .arg(name)};
    return {};
}

void PreviewWindow::print()
{
    if (m_searchDelay.isActive())
        applySearch();
    if (!m_document)
        return;
    if (!hasPrinter()) {
        if (!dialogs().confirm(QStringLiteral("Non è installata nessuna stampante.\n"
                                              "Salvare la stampa in un file PDF?")))
            return;
        const QString file = dialogs().chooseSaveFile(QStringLiteral("Salva la stampa in PDF"),
                                                      exportTypes().first().filter,
                                                      suggestedFile(QStringLiteral("pdf")));
        if (file.isEmpty())
            return;
        PrintProgressWindow progress(this, QStringLiteral("Scrittura del file PDF..."));
        if (db::Status written = writePdf(*m_document, withExtension(file, QStringLiteral("pdf")),
                                          progress.callback());
            !written && !progress.dialog().wasCanceled())
            dialogs().error(written.message());
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(m_document->layout().title);
    printer.setPageLayout(QPageLayout(m_layout->pageSize, m_layout->orientation, QMarginsF()));
    if (m_job.choosePrinter) {
        QPrintDialog dialog(&printer, this);
        dialog.setWindowTitle(QStringLiteral("Stampa"));
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        if (dialogs().showModal(&dialog) != QDialog::Accepted)
            return;
    }
    // The system takes a job for a printer it does not know, or one that is stopped, without a
    // word back: the printer is looked at first.
    if (db::Status ready = printerReady(printer); !ready) {
        dialogs().error(ready.message());
        return;
    }
    PrintProgressWindow progress(this, QStringLiteral("Invio alla stampante..."));
    if (db::Result<int> printed = m_document->print(printer, progress.callback());
        !printed && !progress.dialog().wasCanceled())
        dialogs().error(printed.message());
}

void PreviewWindow::exportReport()
{
    if (m_searchDelay.isActive())
        applySearch();
    if (!m_document)
        return;
    QString proposed = m_data.exportExtension;
    QStringList filters;
    for (const ExportType &t : exportTypes()) {
        if (t.extension == proposed)
            filters.prepend(t.filter);
        else
            filters.append(t.filter);
    }
    if (!std::any_of(exportTypes().begin(), exportTypes().end(),
                     [&](const ExportType &t) { return t.extension == proposed; }))
        proposed = QStringLiteral("pdf");
    const QString file =
        dialogs().chooseSaveFile(QStringLiteral("Esporta la stampa"),
                                 filters.join(QStringLiteral(";;")), suggestedFile(proposed));
    if (file.isEmpty())
        return;
    PrintProgressWindow progress(this, QStringLiteral("Esportazione..."));
    if (db::Status written =
            stampa::exportReport(*m_document, withExtension(file, proposed), progress.callback());
        !written && !progress.dialog().wasCanceled())
        dialogs().error(written.message());
}

} // namespace stampa

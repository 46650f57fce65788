#pragma once

#include "tools/stampa/printjob.h"
#include "tools/stampa/reportdocument.h"

#include <QMainWindow>
#include <QPrinter>
#include <QTimer>

#include <functional>
#include <memory>

class QAction;
class QLabel;
class QLineEdit;
class QPrintPreviewWidget;
class QToolBar;

namespace stampa {

// Whether a job for `printer` would reach it: the printer is installed and not stopped. The
// message says what is wrong otherwise.
db::Status printerReady(const QPrinter &printer);

// The preview of a job: its pages as they will print, with printing, export, the choice of
// the portrait or landscape layout, zoom and page moves, and (when the job asks for it) a
// search that narrows the records before printing.
class PreviewWindow : public QMainWindow
{
    Q_OBJECT

public:
    PreviewWindow(PrintJob job, ReportData records, const QString &runnerFolder,
                  QWidget *parent = nullptr);
    ~PreviewWindow() override;

    // Shows the portrait or the landscape layout. On failure the message is returned and the
    // layout shown stays.
    db::Status showLayout(bool landscape);
    bool isLandscape() const { return m_landscape; }

    // The report as it prints now: the layout shown and the records the search keeps.
    const ReportDocument *document() const { return m_document.get(); }

    // Whether the machine has a printer; tests replace it.
    std::function<bool()> hasPrinter;

public Q_SLOTS:
    void print();
    void exportReport();

private:
    void addFileCommands(QToolBar *bar);
    void addViewCommands(QToolBar *bar);
    void addSearch(QToolBar *bar);
    QAction *addCommand(const QString &name, const QString &text, const QKeySequence &shortcut);
    QAction *command(const char *name) const;
    void buildDocument();
    void applySearch();
    void updatePageNumber();
    QString suggestedFile(const QString &extension) const;

    PrintJob m_job;
    ReportData m_data; // every record of the query
    QString m_runnerFolder;
    bool m_landscape = false;
    std::optional<ReportLayout> m_layout;
    std::unique_ptr<ReportDocument> m_document;
    QPrinter m_previewPrinter;
    QPrintPreviewWidget *m_preview = nullptr;
    QLineEdit *m_search = nullptr;
    QLabel *m_pageNumber = nullptr;
    QAction *m_portraitAction = nullptr;
    QAction *m_landscapeAction = nullptr;
    QTimer m_searchDelay;
};

} // namespace stampa

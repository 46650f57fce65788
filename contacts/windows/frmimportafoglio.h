#pragma once

#include "contacts/sheetimport.h"
#include "db/core/connection.h"

#include <QDialog>

#include <functional>
#include <memory>

class QComboBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class WorkerThread;

// "Importa foglio": the first rows of a spreadsheet with, above each column, the contact's field
// it fills, as found from its header and changeable; then the import, on a thread of its own
// with a connection of its own, with its progress and "Annulla", and a summary at the end.
class TfrmImportaFoglio : public QDialog
{
    Q_OBJECT

public:
    using OpenConnection = std::function<db::Result<std::unique_ptr<db::Connection>>()>;

    explicit TfrmImportaFoglio(OpenConnection openOwn, QWidget *parent = nullptr);
    ~TfrmImportaFoglio() override;

    // Shows the rows of `path` (read already) and their matching; the import starts with
    // "Importa".
    void mostra(const QString &path, const sheets::SheetRows &rows);
    // What each column fills, as the combo boxes say now.
    QList<ColumnMatch> columns() const;
    bool isRunning() const;

    static constexpr int kPreviewRows = 10;

Q_SIGNALS:
    // The import ended having written contacts (`listsAdded`: categories, professions or titles
    // too).
    void imported(bool listsAdded);

protected:
    void closeEvent(QCloseEvent *event) override;
    void reject() override;

private:
    void importa();
    void finish(const db::Result<SheetImportSummary> &result);

    OpenConnection m_openOwn;
    sheets::SheetRows m_rows;
    QString m_path;
    QList<QList<ColumnMatch>> m_choices; // per column, what its combo box offers
    QLabel *m_file;
    QTableWidget *m_preview;
    QComboBox *m_azione;
    QProgressBar *m_bar;
    QPushButton *m_import;
    QPushButton *m_cancel;
    WorkerThread *m_worker;
    bool m_cancelled = false;
};

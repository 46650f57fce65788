#pragma once

#include <QDialog>

#include <functional>

class QTableView;
class ReminderRows;

// "Promemoria Scadenze": the appointments whose reminder date has come and that are not
// concluded, shown at start-up.
class TfrmPromemoriaScadenze : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmPromemoriaScadenze(QWidget *parent = nullptr);

    // Rows as the reminder grid holds them: titles first, an empty row last.
    void setGrid(const QList<QStringList> &rows);
    QTableView *grid() const { return m_grid; }

    // Opens the appointment with this key (the appointment editor, once it exists).
    void setOpenAppointment(std::function<void(qint64 id)> open)
    {
        m_openAppointment = std::move(open);
    }

    void StringGrid2DblClick(int row);

private:
    QTableView *m_grid;
    ReminderRows *m_rows;
    std::function<void(qint64)> m_openAppointment;
};

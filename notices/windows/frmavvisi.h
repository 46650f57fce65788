#pragma once

#include "common/widgets/detailwindow.h"

class FieldBinder;
class QLineEdit;
class QPlainTextEdit;
class NoticeStore;
namespace db {
class DataSet;
}

// "Avvisi": the name and the text of the template that is the current row of the shared
// template data set. It is not left without both, except that a template still wholly empty
// (just added, then thought better of) may be thrown away on the way out.
class TfrmAvvisi : public DetailWindow
{
    Q_OBJECT

public:
    explicit TfrmAvvisi(NoticeStore &store);

    db::DataSet &dataSet() const { return m_dataSet; }

    // Shows the data set's current template and waits, modally, until the window is left.
    void apri();

protected:
    bool save() override;
    bool mayLeave() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void refuse(const QString &message, QWidget *field);

    NoticeStore &m_store;
    db::DataSet &m_dataSet;
    FieldBinder *m_binder;
    QLineEdit *m_descrizione;
    QPlainTextEdit *m_testo;
};

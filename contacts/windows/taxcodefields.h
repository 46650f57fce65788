#pragma once

#include <QObject>
#include <QString>

#include <optional>

class FieldBinder;
class QLabel;
class QLineEdit;
class QWidget;
namespace db {
class DataSet;
}
struct TaxCodeCheck;

// The contact editor's "Cod. Fiscale" and "P. Iva": a quiet valid / not valid mark beside each,
// updated as the user types, with the reason in its tooltip; the question before a save with a
// code that does not look right; "Dati dal codice fiscale" and "Calcola codice fiscale".
class TaxCodeFields : public QObject
{
    Q_OBJECT

public:
    struct Fields
    {
        QLineEdit *cognome;
        QLineEdit *nome;
        QLineEdit *dataNascita;
        QLineEdit *codiceFiscale;
        QLineEdit *partitaIva;
    };
    // `contatti`: the contact being edited; `comuni`: the municipalities a birthplace is
    // chosen among.
    TaxCodeFields(db::DataSet &contatti, db::DataSet &comuni, FieldBinder &binder, Fields fields,
                  QObject *parent);

    // The fields with their marks (and the two commands beside the tax code), for the layout.
    QWidget *codiceFiscaleRow() const { return m_codiceFiscaleRow; }
    QWidget *partitaIvaRow() const { return m_partitaIvaRow; }

    // The codes as stored: a contact that already had an odd code saves without a question.
    void rememberStoredCodes();
    // Before a save: asks about each changed code that does not look valid. False when the user
    // chose to correct it (the field has the focus).
    bool confirmOddCodes();

    // "Dati dal codice fiscale": fills the empty ones among birth date, sex and birthplace; asks
    // before replacing what differs.
    void fillFromCode();
    // "Calcola codice fiscale": computes the code from the contact's data and offers it.
    void offerComputedCode();

Q_SIGNALS:
    // A value was written to the contact's row.
    void changed();
    // The editor should show the page of these fields.
    void showFields();

private:
    QWidget *rowWithMark(QLineEdit *edit, QLabel *mark);
    void updateMarks();
    TaxCodeCheck currentCode() const;
    struct Comune
    {
        qint64 id = 0;
        QString name;
        QString code;
    };
    // The municipality of the lists by its cadastral code, or by the birthplace chosen.
    std::optional<Comune> comuneByCode(const QString &code) const;
    std::optional<Comune> birthplace() const;
    bool askOnce(QLineEdit *edit, const QString &accepted, const QString &question);
    void setCode(const QString &code);

    db::DataSet &m_contatti;
    db::DataSet &m_comuni;
    FieldBinder &m_binder;
    Fields m_fields;
    QLabel *m_codiceFiscaleMark;
    QLabel *m_partitaIvaMark;
    QWidget *m_codiceFiscaleRow;
    QWidget *m_partitaIvaRow;
    // The codes saved without a question: stored already, or saved anyway.
    QString m_acceptedCodiceFiscale;
    QString m_acceptedPartitaIva;
};

#pragma once

#include <QLineEdit>

// A masked field for a secret the archive keeps (a password). It never holds the stored value:
// when one is stored it shows a placeholder that looks the same, and the user's first change
// drops the placeholder, so the field then holds exactly what the user typed. Deleting the
// placeholder leaves the field empty.
class SecretField : public QLineEdit
{
    Q_OBJECT

public:
    explicit SecretField(QWidget *parent = nullptr);

    // Starts again: the placeholder when a secret is stored, else an empty field; not edited.
    void showStored(bool stored);
    // The user changed the field since showStored(); text() is then what the user typed.
    bool isEdited() const { return m_edited; }

private:
    void firstEdit(const QString &text);

    bool m_edited = false;
};

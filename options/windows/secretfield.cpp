#include "options/windows/secretfield.h"

namespace {

// An invisible separator: no keyboard types it, and the mask hides it like any character.
constexpr QChar kMark(0x2063);
constexpr int kMarks = 8;

} // namespace

SecretField::SecretField(QWidget *parent) : QLineEdit(parent)
{
    setEchoMode(QLineEdit::Password);
    connect(this, &QLineEdit::textEdited, this, &SecretField::firstEdit);
}

void SecretField::showStored(bool stored)
{
    m_edited = false;
    setText(stored ? QString(kMarks, kMark) : QString());
}

void SecretField::firstEdit(const QString &text)
{
    if (m_edited)
        return;
    m_edited = true;
    QString typed = text;
    typed.remove(kMark);
    if (typed != text)
        setText(typed);
}

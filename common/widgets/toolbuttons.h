#pragma once

#include <QStyle>

#include <functional>

class QHBoxLayout;
class QToolButton;
class QWidget;

// A picture button of a window's toolbar: caption under the picture, `hint` as its tooltip.
QToolButton *toolButton(QWidget *parent, const QString &name, const QString &caption,
                        const QString &hint, QStyle::StandardPixmap picture);

// The toolbar of the list windows, left to right: "Indietro", "Ricarica", "Aggiungi", "Elimina",
// "Avanti" and, at the far end, "Aiuto". The buttons are not connected.
struct ListToolbar
{
    QWidget *bar = nullptr;
    QToolButton *indietro = nullptr; // spdIndietro
    QToolButton *ricarica = nullptr; // spdAggiorna
    QToolButton *aggiungi = nullptr; // spdInserisci
    QToolButton *elimina = nullptr;  // spdElimina
    QToolButton *avanti = nullptr;   // spdAvanti
    QToolButton *aiuto = nullptr;    // spdHelp, sends F1 to the window
};
ListToolbar makeListToolbar(QWidget *window);

// The toolbar of the detail windows: the hidden "Salva" (leaving saves), "Indietro", and
// "Aiuto" when `withHelp`. `layout` is the bar's layout, for windows that add to it.
struct DetailToolbar
{
    QWidget *bar = nullptr;
    QHBoxLayout *layout = nullptr;
    QToolButton *salva = nullptr;    // spdSalva
    QToolButton *indietro = nullptr; // spdIndietro
    QToolButton *aiuto = nullptr;    // spdHelp, or nullptr
};
DetailToolbar makeDetailToolbar(QWidget *window, bool withHelp);

// `field` in a row with two small buttons after it: "+" (`addName`, adds an entry to the list
// the field chooses from) and "…" (`openName`, opens the chosen entry). The buttons take no
// focus; the row passes its focus to the field.
QWidget *withLookupButtons(QWidget *field, const QString &addName, const QString &openName,
                           std::function<void()> add, std::function<void()> open);

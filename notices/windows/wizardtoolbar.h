#pragma once

#include <QStyle>

class QBoxLayout;
class QToolButton;
class QWidget;

// The toolbar of each step of the notice wizard: "Indietro", the step's own forward button,
// and "Aiuto" at the far end, which acts as F1.
struct WizardToolbar
{
    QToolButton *indietro = nullptr;
    QToolButton *avanti = nullptr;
};

WizardToolbar addWizardToolbar(QWidget *step, QBoxLayout *layout, const QString &forwardName,
                               const QString &forwardCaption, QStyle::StandardPixmap forwardIcon);

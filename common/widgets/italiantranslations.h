#pragma once

class QCoreApplication;

// Qt's own texts in Italian (the file dialogs' "Cerca in", "Nome file", "Annulla", the standard
// buttons) and Italian number and date formats where Qt picks them itself. Returns false when
// Qt's Italian translations are not installed; the texts then stay in English.
bool installItalianTranslations(QCoreApplication &application);

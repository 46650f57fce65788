#pragma once

// The reference windows on an archive of their own, made and opened as the program makes and
// opens them, for driving them through their real controls.

#include "reference/windows/categorie.h"
#include "reference/windows/frmcomunidett.h"
#include "reference/windows/frmgrigliacomuni.h"
#include "reference/windows/frmtrovacap.h"
#include "reference/windows/lookupwindows.h"
#include "session/datamodule.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QTest>
#include <QToolButton>

struct ReferenceOffice
{
    FreshArchive archive;
    ScriptedDialogs dialogs;
    Tform_DB module;
    ReferenceStore reference{module.shared()};
    TfrmCategorie categorie{reference};
    TfrmCategorieContatti_Griglia categorieGriglia{reference, categorie};
    TfrmProfessioni_Dettaglio professioni{reference};
    TfrmGriglia_Professioni professioniGriglia{reference, professioni};
    TfrmComuniDett comuni{reference};
    TfrmGrigliaComuni comuniGriglia{reference, module.gridLayouts(), comuni};
    TfrmTitoli_Dettaglio titoli{reference};
    TfrmGriglia_Titoli titoliGriglia{reference, titoli};
    TfrmTipoPagamenti_Dettaglio tipoPagamenti{reference};
    TfrmGriglia_TipoPagamenti tipoPagamentiGriglia{reference, tipoPagamenti};
    TfrmTipologiaCalendario tipologia{reference};
    TfrmGrigliaTipologieCalendario tipologieGriglia{reference, tipologia};
    TfrmTrovaCap trovaCap{reference, module.gridLayouts()};

    // `prepare` fills the archive before the shared data sets are opened.
    explicit ReferenceOffice(const std::function<void(FreshArchive &)> &prepare = {})
    {
        if (prepare)
            prepare(archive);
        if (!module.Connessione().open(archive.path()) || !module.reopenSharedDataSets())
            qFatal("cannot open the archive");
    }

    ReferenceStore &db() { return reference; }

    template <typename T = QWidget> static T *in(QWidget *window, const QString &name)
    {
        T *child = window->findChild<T *>(name);
        if (!child)
            qFatal("no %s in %s", qPrintable(name), qPrintable(window->objectName()));
        return child;
    }
    // Replaces the text of a box as the user does: select it, delete it, type.
    static void type(QWidget *window, const QString &name, const QString &text)
    {
        auto *edit = in<QLineEdit>(window, name);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Delete);
        QTest::keyClicks(edit, text);
    }
    static void click(QWidget *window, const QString &name)
    {
        in<QToolButton>(window, name)->click();
    }

    // The values of a column over the data set's visible rows, in order.
    static QStringList column(const db::DataSet &ds, const QString &name)
    {
        QStringList values;
        for (int r = 0; r < ds.recordCount(); ++r)
            values << ds.valueAt(r, ds.columnIndex(name)).toString();
        return values;
    }
    QVariant scalar(const QString &sql)
    {
        const db::RowSet rows = archive.run(sql);
        return rows.rows.isEmpty() ? QVariant() : rows.rows[0][0];
    }
};

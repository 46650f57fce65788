#pragma once

// The whole program on an archive of its own, started as at the office, for driving the
// reference windows through their real controls.

#include "app/datamodule.h"
#include "app/frminizio.h"
#include "app/program.h"
#include "testsupport.h"

#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

struct ReferenceOffice
{
    FreshArchive archive;
    QTemporaryDir folder;
    ScriptedDialogs dialogs;
    std::unique_ptr<Program> program;

    // `prepare` fills the archive before the program starts.
    explicit ReferenceOffice(const std::function<void(FreshArchive &)> &prepare = {})
    {
        if (prepare)
            prepare(archive);
        start();
    }

    void start()
    {
        QFile path(folder.filePath(QStringLiteral("percorso.txt")));
        if (!path.open(QIODevice::WriteOnly) || path.write(archive.path().toUtf8()) < 0)
            qFatal("cannot write percorso.txt");
        path.close();
        program.reset();
        program = std::make_unique<Program>(folder.path());
        program->frmInizio().FormActivate();
        if (!program->frmInizio().startupDone())
            qFatal("start-up failed: %s", qPrintable(dialogs.messages.join(u'\n')));
    }

    Tform_DB &db() { return program->formDb(); }

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

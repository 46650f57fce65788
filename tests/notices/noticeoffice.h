#pragma once

// The notice windows on an archive of their own, made and opened as the program makes and
// opens them, for driving them through their real controls.

#include "notices/noticestore.h"
#include "notices/windows/frmavvisi.h"
#include "notices/windows/frmavvisiclienti_campi.h"
#include "notices/windows/frmavvisiclienti_filtri.h"
#include "notices/windows/frmavvisiclienti_griglia.h"
#include "notices/windows/frmgrigliaavvisi.h"
#include "reference/referencestore.h"
#include "session/datamodule.h"
#include "testsupport.h"

#include <QListWidget>

struct NoticeOffice
{
    FreshArchive archive;
    ScriptedDialogs dialogs;
    Tform_DB module;
    ReferenceStore reference{module.shared()};
    NoticeStore notices{module.shared()};
    QList<ReportKind> printed;
    TfrmAvvisi avvisi{notices};
    TfrmGrigliaAvvisi grigliaAvvisi{notices, module.gridLayouts(), avvisi};
    TfrmAvvisiClienti_Griglia griglia{notices, NoticeLinks{[this](ReportKind k) { printed << k; }}};
    TfrmAvvisiClienti_Filtri filtri{reference.TableProfessioni, reference.TableCategorie,
                                    reference.TableComuni, reference.TableProvince, griglia};
    TfrmAvvisiClienti_Campi campi{notices, grigliaAvvisi, filtri};

    // `prepare` fills the archive before the shared data sets are opened.
    explicit NoticeOffice(const std::function<void(FreshArchive &)> &prepare = {})
    {
        if (prepare)
            prepare(archive);
        if (!module.Connessione().open(archive.path()) || !module.reopenSharedDataSets())
            qFatal("cannot open the archive");
    }

    QString pc() const { return module.computerName(); }
    qint64 count(const QString &sql, const QVariantList &values = {})
    {
        return archive.native(sql, values).rows[0][0].toLongLong();
    }
    // The contacts stored as this workstation's recipients, in key order.
    QList<qint64> recipients(const QString &workstation)
    {
        QList<qint64> ids;
        for (const QVariantList &row :
             archive
                 .native(QStringLiteral("select Contatto_ID from TempAvvisiContatti where "
                                        "NomeComputer = ? order by Contatto_ID"),
                         {workstation})
                 .rows)
            ids << row[0].toLongLong();
        return ids;
    }
    // The names the recipient list shows, trimmed, in order.
    QStringList listed() const
    {
        QStringList names;
        for (int i = 0; i < griglia.list()->count(); ++i)
            names << griglia.list()->item(i)->text().trimmed();
        return names;
    }
    void setNoticeText(const QString &text)
    {
        archive.native(QStringLiteral("update TempAvvisi set Testo = ? where NomeComputer = ?"),
                       {text, pc()});
    }
};

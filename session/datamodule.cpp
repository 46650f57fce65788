#include "session/datamodule.h"

#include "session/computername.h"

Tform_DB::Tform_DB(QObject *parent) : QObject(parent), m_shared(m_connection, readComputerName())
{
    using Kind = SharedDataSet::Kind;
    m_shared.add(TableTempStampa,
                 {QStringLiteral("TableTempStampa"), QStringLiteral("select * from TempStampa"),
                  QStringLiteral("Id"), Kind::PerWorkstation, printJobSql()});
    m_shared.add(TableGriglie,
                 {QStringLiteral("TableGriglie"), QStringLiteral("select * from Griglie\n"),
                  QStringLiteral("Id"), Kind::PerWorkstation,
                  QStringLiteral("select * from Griglie where NomeComputer = ?")});
}

Tform_DB::~Tform_DB() = default;

QString Tform_DB::printJobSql()
{
    return QStringLiteral("select * from TempStampa where NomeComputer = ?");
}

db::Status Tform_DB::reopenSharedDataSets()
{
    return m_shared.reopen();
}

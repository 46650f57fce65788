#include "tools/calvetra-sql/importcommand.h"

#include "common/console.h"
#include "migration/archiveimport.h"

std::optional<int> runImportCommand(const QStringList &arguments)
{
    if (arguments.isEmpty() || arguments[0] != u"--import-mdb")
        return std::nullopt;
    if (arguments.size() != 3) {
        err() << "Uso: calvetra-sql --import-mdb ARCHIVIO.mdb DESTINAZIONE\n";
        return 2;
    }
    const db::Result<migration::ImportSummary> imported =
        migration::importArchive(arguments[1], arguments[2]);
    if (!imported) {
        err() << imported.message() << '\n';
        return 1;
    }
    out() << migration::describeImport(*imported) << '\n';
    return 0;
}

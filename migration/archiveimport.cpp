#include "migration/archiveimport.h"

#include "db/core/archive.h"
#include "jet/jetarchive.h"

namespace migration {

db::Result<ImportSummary> importArchive(const QString &mdbPath, const QString &destination,
                                        const ImportProgress &progress)
{
    db::Result<std::unique_ptr<jet::Archive>> source = jet::Archive::open(mdbPath);
    if (!source)
        return source.error();
    ImportSummary summary;
    const db::Status created =
        db::createArchive(destination, [&](db::Connection &empty) -> db::Status {
            db::Result<ImportSummary> imported = importJetArchive(**source, empty, progress);
            if (!imported)
                return imported.error();
            summary = *imported;
            return {};
        });
    if (!created)
        return created.error();
    return summary;
}

} // namespace migration

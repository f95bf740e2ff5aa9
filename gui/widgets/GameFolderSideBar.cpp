#include "gui/widgets/GameFolderSideBar.h"

#include <QByteArray>
#include <QFile>

#include <string>

#include "core/platform/GameFolders.h"
#include "core/platform/PlatformPaths.h"

namespace vantrel {

QStringList gameFolderSideBar()
{
    QStringList folders;
    for (const std::string& folder : gamefolders::existingGameFolders(paths::homeDirectory()))
        folders << QFile::decodeName(QByteArray::fromStdString(folder));
    return folders;
}

}  // namespace vantrel

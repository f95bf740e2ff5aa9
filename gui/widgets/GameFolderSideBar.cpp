#include "gui/widgets/GameFolderSideBar.h"

#include <QByteArray>
#include <QFile>

#include <string>

#include "core/platform/GameFolders.h"
#include "core/platform/PlatformPaths.h"
#include "gui/support/CorePath.h"

namespace vantrel {

QStringList gameFolderSideBar()
{
    QStringList folders;
    for (const std::string& folder : gamefolders::existingGameFolders(paths::homeDirectory()))
        folders << vantrel::fromCorePath(folder);
    return folders;
}

}  // namespace vantrel

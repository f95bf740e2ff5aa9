// The open dialogs' side bar: the folders where the game keeps pilot files on
// this machine, looked up anew each time, so a game installed meanwhile shows.
#pragma once

#include <QStringList>

namespace vantrel {

QStringList gameFolderSideBar();

}  // namespace vantrel

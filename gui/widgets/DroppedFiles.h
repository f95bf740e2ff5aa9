// What a drag brings: the local files and folders it holds, in its order.
#pragma once

#include <QString>
#include <QStringList>

class QMimeData;

namespace vantrel {

// Every local path the drag holds; none for other data.
QStringList droppedPaths(const QMimeData* data);
// The first of them whose name ends in .plt (in any case); empty when none does.
QString droppedPilotFile(const QMimeData* data);

}  // namespace vantrel

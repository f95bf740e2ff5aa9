#pragma once
// File names between Qt and the core. The core takes a path as the bytes the
// system's file calls take: on Linux the file system's own bytes, which Qt
// gives as its local 8-bit encoding; on Windows UTF-8, which the core widens
// for the system. Qt's local 8-bit encoding on Windows is the ANSI code page,
// which cannot name every file (a "Jäger.plt" under another code page, any
// name outside it), so every window goes through these two.
//
// Qt names files with '/' on every system; on Windows a core path has
// Windows's own separator, as the system, the game and the core's own names
// (the backups, the journal) have it, so that a message naming files names
// them all alike. A name a window shows goes through shownPath.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>

#include <string>

namespace vantrel {

inline std::string corePath(const QString& path)
{
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(path).toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

inline QString fromCorePath(const std::string& path)
{
#ifdef Q_OS_WIN
    return QString::fromStdString(path);
#else
    return QFile::decodeName(QByteArray::fromStdString(path));
#endif
}

// A file name of Qt's as a message or a cell shows it: with the system's
// separator, as core paths have it.
inline QString shownPath(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

}  // namespace vantrel

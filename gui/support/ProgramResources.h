// What the program carries inside it and tells the desktop: its two
// pictures, its icon and the id under which the desktop knows it.
#pragma once

#include <QIcon>
#include <QImage>
#include <QString>

namespace vantrel {

// The reverse-DNS id of the program: the name of its .desktop file, its
// AppStream metainfo and its icon in the icon theme.
QString applicationId();

// One of the embedded JPEG pictures ("about.jpg", "splash.jpg"), decoded;
// a null image when it is missing or does not decode.
QImage programPicture(const QString& fileName);

// The program's emblem in every embedded size, 16 to 256 pixels.
QIcon programIcon();

// Gives the running program its desktop id and window icon, so that the
// desktop matches its windows to the installed .desktop file. Call once,
// right after the application object is created.
void applyDesktopIdentity();

}  // namespace vantrel

// The one form builder of the windows: buttons, labels, check boxes, fields,
// boxes and pictures, each named (its object name) and placed at its place in
// the window's fixed layout.
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>

#include <functional>

class QCheckBox;
class QColor;
class QComboBox;
class QGroupBox;
class QImage;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vantrel::build {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
QLineEdit* field(QWidget* parent, const char* name, const QString& content, const QRect& geometry);
QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
// A drop-down list of `items`, none selected: the box shows `placeholder`.
QComboBox* comboBox(QWidget* parent, const char* name, const QString& placeholder, const QRect& geometry,
                    const QStringList& items);
// A label at its place, its text at the top left, grown to its text.
QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
// Puts a label at its place, as large as its text needs where that is more.
void placeLabel(QLabel* label, const QRect& geometry);

// A text drawn over a picture: no background of its own, in `colour`. The
// caller places it.
QLabel* overlayText(QWidget* parent, const char* name, const QString& caption, const QColor& colour);
// A link drawn over a picture: blue and underlined, `onClick` run when the
// left button is pressed and released over it. The caller places it.
QLabel* link(QWidget* parent, const char* name, const QString& caption, std::function<void()> onClick);
// A picture at its own size from the top-left corner of its place; a picture
// that did not decode (a null image) leaves the place empty.
QLabel* picture(QWidget* parent, const char* name, const QRect& geometry, const QImage& image);

}  // namespace vantrel::build

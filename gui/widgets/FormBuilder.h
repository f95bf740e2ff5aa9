// The one form builder of the windows: buttons, labels, check boxes and
// fields, each named (its object name) and placed at its place in the
// window's fixed layout.
#pragma once

#include <QRect>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace vantrel::build {

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
QLineEdit* field(QWidget* parent, const char* name, const QString& content, const QRect& geometry);
// A label at its place, its text at the top left, grown to its text.
QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry);
// Puts a label at its place, as large as its text needs where that is more.
void placeLabel(QLabel* label, const QRect& geometry);

}  // namespace vantrel::build

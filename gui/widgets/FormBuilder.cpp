#include "gui/widgets/FormBuilder.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace vantrel::build {

namespace {

template <typename Control>
Control* placed(Control* control, const char* name, const QRect& geometry)
{
    control->setObjectName(QString::fromLatin1(name));
    control->setGeometry(geometry);
    return control;
}

}  // namespace

QPushButton* button(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    return placed(new QPushButton(caption, parent), name, geometry);
}

QCheckBox* checkBox(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    return placed(new QCheckBox(caption, parent), name, geometry);
}

QLineEdit* field(QWidget* parent, const char* name, const QString& content, const QRect& geometry)
{
    return placed(new QLineEdit(content, parent), name, geometry);
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    placeLabel(label, geometry);
    return label;
}

void placeLabel(QLabel* label, const QRect& geometry)
{
    const QSize needed = label->sizeHint();
    label->setGeometry(geometry.x(), geometry.y(), std::max(geometry.width(), needed.width()),
                       std::max(geometry.height(), needed.height()));
}

}  // namespace vantrel::build

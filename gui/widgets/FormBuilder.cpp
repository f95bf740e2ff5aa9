#include "gui/widgets/FormBuilder.h"

#include <QCheckBox>
#include <QColor>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace vantrel::build {

namespace {

template <typename Control>
Control* named(Control* control, const char* name)
{
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

template <typename Control>
Control* placed(Control* control, const char* name, const QRect& geometry)
{
    named(control, name)->setGeometry(geometry);
    return control;
}

void setTextColour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// A label that runs an action when clicked: pressed and released with the
// left button over it.
class LinkLabel final : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
          : QLabel(text, parent), onClick_(std::move(onClick))
    {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        pressed_ = event->button() == Qt::LeftButton;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        const bool click =
            pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
        pressed_ = false;
        event->accept();
        if (click)
            onClick_();
    }

private:
    std::function<void()> onClick_;
    bool pressed_ = false;
};

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

QGroupBox* groupBox(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    return placed(new QGroupBox(caption, parent), name, geometry);
}

QComboBox* comboBox(QWidget* parent, const char* name, const QString& placeholder, const QRect& geometry,
                    const QStringList& items)
{
    auto* box = placed(new QComboBox(parent), name, geometry);
    box->setPlaceholderText(placeholder);
    box->addItems(items);
    box->setCurrentIndex(-1);
    return box;
}

QLabel* label(QWidget* parent, const char* name, const QString& caption, const QRect& geometry)
{
    auto* label = named(new QLabel(caption, parent), name);
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

QLabel* overlayText(QWidget* parent, const char* name, const QString& caption, const QColor& colour)
{
    auto* label = named(new QLabel(caption, parent), name);
    setTextColour(label, colour);
    return label;
}

QLabel* link(QWidget* parent, const char* name, const QString& caption, std::function<void()> onClick)
{
    auto* label = named(new LinkLabel(caption, parent, std::move(onClick)), name);
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    setTextColour(label, QColor(0x00, 0x00, 0xff));
    return label;
}

QLabel* picture(QWidget* parent, const char* name, const QRect& geometry, const QImage& image)
{
    auto* label = placed(new QLabel(parent), name, geometry);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (!image.isNull())
        label->setPixmap(QPixmap::fromImage(image));
    return label;
}

}  // namespace vantrel::build

#include "gui/pilotview/WholeNumberField.h"

#include <QLineEdit>

#include <algorithm>
#include <limits>

#include "core/reports/MissionRange.h"

WholeNumberField::WholeNumberField(QWidget* parent) : QAbstractSpinBox(parent)
{
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setAccelerated(true);
    setText(QStringLiteral("0"));
}

QString WholeNumberField::text() const
{
    return lineEdit()->text();
}

void WholeNumberField::setText(const QString& text)
{
    if (lineEdit()->text() != text)
        lineEdit()->setText(text);
}

std::int32_t WholeNumberField::value() const
{
    return vantrel::RangeField{text().toStdString()}.value();
}

void WholeNumberField::setValue(std::int32_t value)
{
    setText(QString::number(value));
}

void WholeNumberField::stepBy(int steps)
{
    const std::int64_t next =
        std::clamp<std::int64_t>(std::int64_t{value()} + steps, std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max());
    setValue(static_cast<std::int32_t>(next));
    lineEdit()->selectAll();
}

QAbstractSpinBox::StepEnabled WholeNumberField::stepEnabled() const
{
    if (isReadOnly())
        return StepNone;
    const std::int32_t current = value();
    StepEnabled enabled = StepNone;
    if (current < std::numeric_limits<std::int32_t>::max())
        enabled |= StepUpEnabled;
    if (current > std::numeric_limits<std::int32_t>::min())
        enabled |= StepDownEnabled;
    return enabled;
}

// A whole-number field with up and down arrows and no bounds of its own: the
// arrows step by 1 across the whole 32-bit range, and any text may stand in
// it. Text that is not a whole number reads as 0 and stays until a new value
// is set.
#pragma once

#include <QAbstractSpinBox>

#include <cstdint>

class WholeNumberField : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit WholeNumberField(QWidget* parent = nullptr);

    QString text() const;
    void setText(const QString& text);

    // The text read as a whole number; 0 for anything else.
    std::int32_t value() const;
    void setValue(std::int32_t value);

    void stepBy(int steps) override;

protected:
    StepEnabled stepEnabled() const override;
};

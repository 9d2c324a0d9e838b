// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSpinBox>

namespace app {

// SpinEdit1: a value outside its range is pulled into it when the field is left, and a text that
// is not a number reads as the minimum.
class SpinEdit final : public QSpinBox {
public:
    explicit SpinEdit(QWidget *parent = nullptr);

    // The value the text stands for right now, without waiting for the field to be left.
    int valueOfText() const;

protected:
    int valueOf(const QString &text) const;
    QValidator::State validate(QString &input, int &position) const override;
    void fixup(QString &input) const override;
};

} // namespace app

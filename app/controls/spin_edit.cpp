// SPDX-License-Identifier: GPL-3.0-or-later
#include "spin_edit.h"

#include <QLineEdit>

#include <algorithm>

namespace app {

namespace {

// Enough digits for any count a user means; more could not be read as a number.
constexpr int kMostDigits = 9;

bool allDigits(const QString &text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

} // namespace

SpinEdit::SpinEdit(QWidget *parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int SpinEdit::valueOf(const QString &text) const
{
    bool ok = false;
    const qlonglong typed = text.trimmed().toLongLong(&ok);
    return ok ? int(std::clamp<qlonglong>(typed, minimum(), maximum())) : minimum();
}

int SpinEdit::valueOfText() const
{
    return valueOf(lineEdit()->text());
}

QValidator::State SpinEdit::validate(QString &input, int &) const
{
    // Any run of digits may be typed, 999 too: it is clamped when the field is left.
    if (input.size() > kMostDigits || !allDigits(input))
        return QValidator::Invalid;
    if (input.isEmpty())
        return QValidator::Intermediate;
    const int typed = input.toInt();
    return typed >= minimum() && typed <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void SpinEdit::fixup(QString &input) const
{
    input = QString::number(valueOf(input));
}

} // namespace app

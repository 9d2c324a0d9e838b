#include "spin_edit.h"

#include <QLineEdit>

#include <algorithm>

namespace app {

SpinEdit::SpinEdit(QWidget *parent) : QSpinBox(parent)
{
    setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

int SpinEdit::valueOf(const QString &text) const
{
    bool ok = false;
    const int typed = text.trimmed().toInt(&ok);
    return ok ? std::clamp(typed, minimum(), maximum()) : minimum();
}

int SpinEdit::valueOfText() const
{
    return valueOf(lineEdit()->text());
}

void SpinEdit::fixup(QString &input) const
{
    input = QString::number(valueOf(input));
}

} // namespace app

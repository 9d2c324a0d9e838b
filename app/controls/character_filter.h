// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

class QKeyEvent;

namespace app {

// A key filter on an edit field: a key that types a character passes only when that character is
// one of `allowed` or backspace. Every other character is discarded, control characters included,
// and so are the clipboard shortcuts. The editing keys (arrows, Home, End, Delete) pass; text pasted
// through the context menu is not a key and is taken as it is.
class CharacterFilter final : public QObject {
public:
    CharacterFilter(const QString &allowed, QObject *parent) : QObject(parent), m_allowed(allowed) {}

    bool passes(const QKeyEvent &key) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QString m_allowed;
};

inline const QString kDigits = QStringLiteral("0123456789");
inline const QString kSkipListCharacters = QStringLiteral("0123456789 -");

} // namespace app

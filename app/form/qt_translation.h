// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "caption_table.h"

#include <QTranslator>

namespace app {

// Qt's own texts (file dialogs, the edit fields' context menus, message box buttons) in the
// interface language: Russian loads Qt's Russian translation, English removes it. Without the
// translation installed they stay English.
class QtTranslation {
public:
    QtTranslation() = default;
    ~QtTranslation();
    QtTranslation(const QtTranslation &) = delete;
    QtTranslation &operator=(const QtTranslation &) = delete;

    void apply(Language language);
    bool installed() const { return m_installed; }

private:
    QTranslator m_russian;
    bool m_installed = false;
};

} // namespace app

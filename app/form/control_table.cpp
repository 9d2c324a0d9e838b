// SPDX-License-Identifier: GPL-3.0-or-later
// The window's one description: the layout builds it, the language switch rewrites its captions and
// the start-up test holds the built window to it. An "&" marks a caption's access key (Alt and the
// letter, underlined); it changes nothing the caption reads. Keys differ within a page in each
// language; a sign ("+", "-", "...") takes none.
#include "control_table.h"

#include "app/version_digits.h"

namespace app {

namespace {

using K = ControlKind;
using S = StartState;

constexpr ControlRow kControls[] = {
    // Starts as "Skarvel 0008" (the version's digits), yet a switch has always set "Skarvel 0007": keep both.
    {"Form1", K::Window, nullptr, {0, 0, 435, 263}, "Skarvel 0007", "Skarvel 0007", "Skarvel %1"},
    {"TabbedNotebook2", K::Notebook, nullptr, {0, 0, 298, 245}},
    {"CutPage", K::Page, "TabbedNotebook2", {}, "Разрезать", "Cut"},
    {"UnitePage", K::Page, "TabbedNotebook2", {}, "Соединить", "Unite"},
    {"SecurityPage", K::Page, "TabbedNotebook2", {}, "Безопасность", "Security"},
    {"AboutPage", K::Page, "TabbedNotebook2", {}, "О программе", "About"},
    // Cut; the frames first, so that they lie beneath the controls
    {"Bevel1", K::Bevel, "CutPage", {0, 7, 139, 39}},
    {"Bevel2", K::Bevel, "CutPage", {0, 59, 139, 39}},
    {"Bevel3", K::Bevel, "CutPage", {146, 7, 138, 91}},
    {"Bevel4", K::Bevel, "CutPage", {0, 107, 284, 46}},
    {"RadioButton1", K::Radio, "CutPage", {7, 0, 122, 14}, "По кол-ву &частей", "By &quantity", nullptr, S::Checked},
    {"SpinEdit1", K::Spin, "CutPage", {80, 20, 53, 22}},
    {"RadioButton2", K::Radio, "CutPage", {7, 52, 124, 14}, "По ра&змеру частей", "By &size"},
    {"Edit1", K::Edit, "CutPage", {7, 72, 67, 21}, nullptr, kFixed, nullptr, S::Disabled},
    {"ComboBox1", K::Combo, "CutPage", {80, 72, 53, 21}, nullptr, kFixed, nullptr, S::Disabled},
    {"CheckBox1", K::Check, "CutPage", {154, 13, 111, 14}, "&Recons.exe", kFixed},
    {"CheckBox2", K::Check, "CutPage", {154, 33, 124, 13}, "&Удалить исходный", "&Delete initial"},
    {"CheckBox3", K::Check, "CutPage", {154, 52, 104, 14}, "Добавить &текст", "&Add string"},
    {"ComboBox2", K::Combo, "CutPage", {154, 72, 124, 21}, nullptr, kFixed, nullptr, S::Disabled},
    // The colon is the layout's own and the first switch has always dropped it: keep both.
    {"Label2", K::Label, "CutPage", {8, 102, 0, 0}, "Не создавать части №", "Don`t create #", "Не создавать части №:"},
    {"Edit6", K::Edit, "CutPage", {8, 120, 269, 21}},
    {"Edit5", K::Edit, "CutPage", {0, 160, 284, 21}, "Файл", ""}, // a switch drops the file name
    {"Button1", K::Button, "CutPage", {7, 190, 98, 20}, "&Открыть", "&Open"},
    {"Button2", K::Button, "CutPage", {180, 190, 98, 20}, "&Разрезать", "&Cut"},
    // Unite
    {"Bevel5", K::Bevel, "UnitePage", {0, 0, 284, 185}},
    {"ListBox1", K::List, "UnitePage", {7, 7, 271, 114}},
    {"Button3", K::Button, "UnitePage", {7, 128, 67, 20}, "&Добавить", "&Add"},
    {"Button8", K::Button, "UnitePage", {76, 128, 63, 20}, "&Очистить", "&Clear"},
    {"Button7", K::Button, "UnitePage", {141, 128, 63, 20}, "&Удалить", "&Delete"},
    {"Button9", K::Button, "UnitePage", {206, 128, 73, 20}, "По &имени", "&Sort"},
    {"Edit2", K::Edit, "UnitePage", {7, 154, 245, 21}, "*.*", kFixed},
    {"Button6", K::Button, "UnitePage", {258, 154, 20, 20}, "...", kFixed},
    {"Button5", K::Button, "UnitePage", {7, 190, 98, 20}, "Очистить &всё", "Clear a&ll"},
    {"Button4", K::Button, "UnitePage", {180, 190, 98, 20}, "&Соединить", "&Unite"},
    // Security
    {"Bevel6", K::Bevel, "SecurityPage", {0, 7, 284, 146}},
    {"Label8", K::Label, "SecurityPage", {8, 0, 0, 0}, "Шифрование", "Codify"},
    {"Label1", K::Label, "SecurityPage", {16, 24, 0, 0}, "Файл-ключ", "File-key"},
    {"Edit4", K::Edit, "SecurityPage", {8, 48, 265, 21}},
    {"Button14", K::Button, "SecurityPage", {168, 88, 97, 20}, "&Найти", "&Find"},
    {"Button13", K::Button, "SecurityPage", {16, 114, 98, 20}, "-", kFixed},
    {"Button11", K::Button, "SecurityPage", {168, 114, 98, 20}, "+", kFixed},
    {"Edit3", K::Edit, "SecurityPage", {0, 160, 284, 21}, "Файл", ""}, // a switch drops the file name
    {"Button10", K::Button, "SecurityPage", {7, 190, 98, 20}, "&Открыть", "&Open"},
    {"Button12", K::Button, "SecurityPage", {180, 190, 98, 20}, "&Удалить", "&Erase"},
    // About
    {"Image1", K::Picture, "AboutPage", {8, 8, 123, 108}},
    {"Memo2", K::Memo, "AboutPage", {143, 8, 138, 108}},
    {"Label4", K::Link, "AboutPage", {8, 126, 273, 22}, "Здесь может быть ваша реклама", kFixed},
    {"CheckBox4", K::Check, "AboutPage", {8, 173, 209, 17}, "&Поверх остальных окон", "&Stay on top"},
    {"RadioButton3", K::Radio, "AboutPage", {8, 192, 121, 17}, "Русский / &Russian", kFixed, nullptr, S::Checked},
    {"RadioButton4", K::Radio, "AboutPage", {144, 192, 137, 17}, "&English / Английский", kFixed},
    // The side panel's strip; the panel fills its page itself.
    {"TabbedNotebook1", K::Notebook, nullptr, {298, 0, 137, 245}},
    {"AdvertisingPage", K::Page, "TabbedNotebook1", {}, "Реклама", kFixed},
    {"ProgressBar1", K::Progress, nullptr, {0, 245, 435, 18}},
};

} // namespace

QString ControlRow::startupCaption() const
{
    if (kind == ControlKind::Window)
        return QString::fromUtf8(startup).arg(versionDigits());
    return QString::fromUtf8(startup ? startup : russian);
}

std::span<const ControlRow> controlTable()
{
    return kControls;
}

} // namespace app

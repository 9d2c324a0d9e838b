// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

#include <span>
#include <stdexcept>
#include <string>

namespace app {

enum class Language { Russian, English };

// What a row of the control table makes.
enum class ControlKind {
    Window,   // the window itself: its rectangle gives the client size, its caption the title
    Notebook, // pages with tabs
    Page,     // a page of the notebook `parent`, in table order; its caption is the tab's
    Bevel,    // a sunken frame grouping the controls over it
    Radio,
    Check,
    Button,
    Label,   // with an empty rectangle it is sized to its caption, at the rectangle's corner
    Link,    // a label that opens a link when clicked
    Picture, // a label showing a picture
    Edit,    // a one-line field; its caption is its text
    Spin,
    Combo, // editable, typed text taken as typed
    List,
    Memo, // read-only text of several lines
    Progress,
};

enum class StartState { Plain, Checked, Disabled };

// A caption no switch of language rewrites: the same in both languages.
inline constexpr const char *kFixed = nullptr;

// One control of the window: where it is, what it starts as and what the language switch makes
// of its caption.
struct ControlRow {
    const char *name; // the object name tests and screen readers find it by
    ControlKind kind;
    const char *parent;            // the page it lies on; nullptr for the window and its direct children
    QRect rect;                    // relative to `parent`
    const char *russian = nullptr; // nullptr: no caption
    const char *english = kFixed;
    const char *startup = nullptr; // the layout's own caption where it differs from `russian`
    StartState state = StartState::Plain;

    bool hasCaption() const { return russian != nullptr; }
    // Whether a switch of language rewrites the caption.
    bool switches() const { return english != kFixed; }
    // The caption at start-up, before any language is chosen.
    QString startupCaption() const;
    // The caption a switch to `language` gives.
    QString caption(Language language) const
    {
        return QString::fromUtf8(language == Language::English && switches() ? english : russian);
    }
};

// Every control of the window, parents before their children, in the order they are made (which
// is the order Tab walks) and in which a switch of language rewrites them.
std::span<const ControlRow> controlTable();

// The control of type W the window holds under `name`: a name it lacks is a fault in a table.
template <typename W = QWidget>
W &tableControl(QWidget &form, const char *name)
{
    W *widget = form.findChild<W *>(QString::fromLatin1(name));
    if (!widget)
        throw std::logic_error(std::string("a table names a control the window lacks: ") + name);
    return *widget;
}

} // namespace app

// SPDX-License-Identifier: GPL-3.0-or-later
#include "compact_style.h"

#include <QApplication>
#include <QCheckBox>
#include <QStyleFactory>
#include <QWidget>

#include <algorithm>

namespace app {

namespace {

// A platform theme may give the application a proxy style of its own (qt6ct does). A style calls
// back only into the proxy directly around it, so over such a proxy the metrics below would size
// the tabs while the drawing went on with the base style's own, wider spacing: the captions came
// out clipped at both ends. So this proxy wraps the innermost style itself.
QStyle *innermostStyle()
{
    const QStyle *style = QApplication::style();
    while (const auto *proxy = qobject_cast<const QProxyStyle *>(style))
        style = proxy->baseStyle();
    if (QStyle *copy = QStyleFactory::create(style->name()))
        return copy;
    return QStyleFactory::create(QStringLiteral("Fusion"));
}

} // namespace

CompactStyle::CompactStyle() : QProxyStyle(innermostStyle()) {}

int CompactStyle::pixelMetric(PixelMetric metric, const QStyleOption *option, const QWidget *widget) const
{
    switch (metric) {
    case PM_CheckBoxLabelSpacing:
    case PM_RadioButtonLabelSpacing:
        return 2;
    case PM_TabBarTabHSpace:
        return 10;
    case PM_TabBarTabVSpace:
        return 6;
    case PM_IndicatorWidth:
    case PM_IndicatorHeight:
        // A check box 13 pixels high keeps its bottom edge: the box shrinks to fit it.
        if (qobject_cast<const QCheckBox *>(widget))
            return std::min(QProxyStyle::pixelMetric(metric, option, widget), widget->height());
        return QProxyStyle::pixelMetric(metric, option, widget);
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

void CompactStyle::apply(QWidget &form)
{
    auto *style = new CompactStyle;
    style->setParent(&form);
    form.setStyle(style);
    for (QWidget *child : form.findChildren<QWidget *>())
        child->setStyle(style);
}

} // namespace app

// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QProxyStyle>

class QWidget;

namespace app {

// The window's controls keep the small sizes of their fixed layout: tabs, check boxes and radio
// buttons spend less room around their captions than the desktop style would.
class CompactStyle final : public QProxyStyle {
public:
    // Over a fresh copy of the style beneath the application's own (see the .cpp).
    CompactStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption *option = nullptr,
                    const QWidget *widget = nullptr) const override;

    // Gives `form` and every control in it this style; the style belongs to `form`.
    static void apply(QWidget &form);
};

} // namespace app

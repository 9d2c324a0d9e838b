// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form/desktop_language.h"
#include "app/panel/product_picture.h"
#include "program_options.h"
#include "app/form/tform1.h"

#include <QApplication>

#include <optional>

int main(int argc, char *argv[])
{
    if (const std::optional<int> status = app::answerCommandLine(argc, argv))
        return *status;
    QApplication application(argc, argv);
    // Wayland shells find the window's entry, and so its icon, by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral(SKARVEL_APP_ID));
    QApplication::setWindowIcon(app::productIcon());
    app::TForm1 form(app::desktopLanguage());
    form.show();
    return application.exec();
}

// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the window on a real display and takes a picture of the screen for every page in both
// languages, of the Russian file dialogs and of the side panel scrolled to its end; prints the
// time to the first painted window and the memory in use then. Run under Xvfb: screens OUTPUT_FOLDER
#include "app/tform1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <ctime>
#include <unistd.h>

namespace {

// Milliseconds since this process started, from its start time in /proc.
double sinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QString line = QString::fromLatin1(stat.readAll());
    const QStringList fields = line.mid(line.lastIndexOf(QLatin1Char(')')) + 2).split(QLatin1Char(' '));
    const double startTicks = fields.value(19).toDouble();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return (now.tv_sec + now.tv_nsec / 1e9 - startTicks / sysconf(_SC_CLK_TCK)) * 1000.0;
}

QString residentMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return QString::fromLatin1(line.mid(6).trimmed());
    }
    return {};
}

class FirstPaint final : public QObject {
public:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            std::printf("first paint after %.0f ms from process start\n", sinceProcessStart());
        }
        return QObject::eventFilter(watched, event);
    }
    bool m_seen = false;
};

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void shoot(const QString &file)
{
    if (!QGuiApplication::primaryScreen()->grabWindow(0).save(file))
        std::fprintf(stderr, "could not save %s\n", qPrintable(file));
}

// Runs `then` once the dialog or box that is opening has been painted.
void whenShown(std::function<void(QWidget &)> then)
{
    QTimer::singleShot(600, [then = std::move(then)] {
        if (QWidget *modal = QApplication::activeModalWidget())
            then(*modal);
        else
            std::fprintf(stderr, "no dialog came up\n");
    });
}

// The file dialog to open a file, then the save dialog of Unite's output filled with an existing
// file and the question it asks before replacing it.
void shootFileDialogs(app::TForm1 &form, const QString &folder)
{
    whenShown([folder](QWidget &dialog) {
        shoot(folder + QStringLiteral("/ru-open-dialog.png"));
        dialog.close();
    });
    form.findChild<QAbstractButton *>(QStringLiteral("Button1"))->click();

    const QString existing = folder + QStringLiteral("/key.bin");
    QFile(existing).open(QIODevice::WriteOnly);
    form.openDialog().adopt({existing});
    whenShown([folder](QWidget &dialog) {
        shoot(folder + QStringLiteral("/ru-save-dialog.png"));
        whenShown([folder, &dialog](QWidget &question) {
            shoot(folder + QStringLiteral("/ru-save-replace.png"));
            question.close(); // No: the dialog stays
            QTimer::singleShot(100, &dialog, &QWidget::close);
        });
        QMetaObject::invokeMethod(&dialog, "accept"); // as Enter in the file name
    });
    form.findChild<QAbstractButton *>(QStringLiteral("Button6"))->click();
}

// The context menu of a file field, with Qt's own texts.
void shootContextMenu(app::TForm1 &form, const QString &file)
{
    form.findChild<QTabWidget *>(QStringLiteral("TabbedNotebook2"))->setCurrentIndex(0);
    auto *edit = form.findChild<QLineEdit *>(QStringLiteral("Edit5"));
    const std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    menu->popup(edit->mapToGlobal(edit->rect().center()));
    settle(300);
    shoot(file);
    menu->close();
}

// Ticks "stay on top" as a user does and tells whether the window kept its place and focus.
void checkStayOnTop(app::TForm1 &form)
{
    auto *check = form.findChild<QAbstractButton *>(QStringLiteral("CheckBox4"));
    check->setFocus();
    settle(100);
    const QPoint before = form.pos();
    check->click();
    settle(500);
    QWidget *focused = QApplication::focusWidget();
    std::printf("stay on top: focus on %s, window active %s, moved by %d,%d\n",
                focused ? qPrintable(focused->objectName()) : "nothing", form.isActiveWindow() ? "yes" : "no",
                form.pos().x() - before.x(), form.pos().y() - before.y());
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots");
    app::TForm1 form;
    FirstPaint firstPaint;
    form.installEventFilter(&firstPaint);
    form.show();
    while (!firstPaint.m_seen)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    settle(300);
    std::printf("memory in use (RSS) after start-up: %s\n", qPrintable(residentMemory()));
    std::printf("window %dx%d\n", form.width(), form.height());

    // Two parts from a deep folder in the Unite list: their names stay in sight.
    const QString deep = QStringLiteral("/home/user/Загрузки/archive/2026/projects/backup/video/");
    form.openDialog().setNextAnswer({deep + QStringLiteral("film.avi.001"), deep + QStringLiteral("film.avi.002")});
    form.findChild<QAbstractButton *>(QStringLiteral("Button3"))->click();

    auto *pages = form.findChild<QTabWidget *>(QStringLiteral("TabbedNotebook2"));
    const char *const languages[] = {"ru", "en"};
    for (int language = 0; language < 2; ++language) {
        form.findChild<QRadioButton *>(language == 0 ? QStringLiteral("RadioButton3") : QStringLiteral("RadioButton4"))
            ->click();
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            settle(250);
            shoot(QStringLiteral("%1/%2-page%3.png").arg(folder, QLatin1String(languages[language])).arg(page));
        }
        if (language == 0) {
            shootFileDialogs(form, folder);
            shootContextMenu(form, folder + QStringLiteral("/ru-context-menu.png"));
        }
    }
    // The advertising panel scrolled to its end, where the web page view is.
    auto *scrollBar = form.findChild<QScrollBar *>(QStringLiteral("ScrollBar1"));
    scrollBar->setValue(1); // the first change sets the maximum the column really has
    scrollBar->setValue(scrollBar->maximum());
    settle(250);
    shoot(QStringLiteral("%1/panel-end.png").arg(folder));
    checkStayOnTop(form);
    std::fflush(stdout);
    return 0;
}

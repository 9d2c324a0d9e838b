// SPDX-License-Identifier: GPL-3.0-or-later
// Shows the window on a real display and takes a picture of the screen for every page in both
// languages, of the Russian file dialogs, of an operation running (its Stop button and the time
// left), of the line a finished one leaves, of a failure's details, of a drag in the Unite list and
// of the side panel scrolled to its end; prints the
// time to the first painted window and the memory in use then. Then it runs itself once per
// theme (the default style, Fusion, Windows, the qt6ct platform theme light and dark) and draws
// every page in both languages into one picture each, theme-NAME.png.
// Run under Xvfb: screens OUTPUT_FOLDER
#include "app/form/tform1.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QTemporaryDir>
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

// The file dialog to open a file, then the save dialog of Unite's output as it opens, and with an
// existing file typed in, the question it asks before replacing it.
void shootFileDialogs(app::TForm1 &form, const QString &folder)
{
    whenShown([folder](QWidget &dialog) {
        shoot(folder + QStringLiteral("/ru-open-dialog.png"));
        dialog.close();
    });
    form.findChild<QAbstractButton *>(QStringLiteral("Button1"))->click();

    const QString existing = folder + QStringLiteral("/key.bin");
    QFile(existing).open(QIODevice::WriteOnly);
    whenShown([folder, existing](QWidget &dialog) {
        shoot(folder + QStringLiteral("/ru-save-dialog.png"));
        if (auto *name = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            name->setText(existing);
        whenShown([folder, &dialog](QWidget &question) {
            shoot(folder + QStringLiteral("/ru-save-replace.png"));
            question.close(); // No: the dialog stays
            QTimer::singleShot(100, &dialog, &QWidget::close);
        });
        QMetaObject::invokeMethod(&dialog, "accept"); // as Enter in the file name
    });
    form.findChild<QAbstractButton *>(QStringLiteral("Button6"))->click();
}

// The questions before what cannot be undone: Erase, and a Cut that would replace files.
void shootQuestions(app::TForm1 &form, const QString &folder, const QString &language)
{
    const QString file = folder + QStringLiteral("/holiday-video.mkv");
    QFile source(file);
    source.open(QIODevice::WriteOnly);
    source.write("0123456789");
    source.close();
    QFile(folder + QStringLiteral("/holiday-video1.mkv")).open(QIODevice::WriteOnly);

    auto *pages = form.findChild<QTabWidget *>(QStringLiteral("TabbedNotebook2"));
    pages->setCurrentIndex(2);
    form.findChild<QLineEdit *>(QStringLiteral("Edit3"))->setText(file);
    whenShown([folder, language](QWidget &question) {
        shoot(QStringLiteral("%1/%2-erase-question.png").arg(folder, language));
        question.close(); // No
    });
    form.findChild<QAbstractButton *>(QStringLiteral("Button12"))->click();

    pages->setCurrentIndex(0);
    form.findChild<QLineEdit *>(QStringLiteral("Edit5"))->setText(file);
    whenShown([folder, language](QWidget &question) {
        shoot(QStringLiteral("%1/%2-replace-question.png").arg(folder, language));
        question.close(); // No
    });
    form.findChild<QAbstractButton *>(QStringLiteral("Button2"))->click();
}

QAbstractButton *button(app::TForm1 &form, const char *name)
{
    return form.findChild<QAbstractButton *>(QLatin1String(name));
}

// An operation while it runs, stopped with its own button once the time left shows; then one that
// runs to its end, and the line it leaves; then a failure with its details open.
void shootOperations(app::TForm1 &form, const QString &folder, const QString &language)
{
    QTemporaryDir data;
    const QString big = data.filePath(QStringLiteral("film.mkv"));
    QFile sparse(big);
    if (!sparse.open(QIODevice::WriteOnly) || !sparse.resize(qint64{8} << 30)) // sparse: long to read
        std::fprintf(stderr, "could not make %s\n", qPrintable(big));
    sparse.close();
    auto *pages = form.findChild<QTabWidget *>(QStringLiteral("TabbedNotebook2"));
    const bool cut = language == QLatin1String("ru"); // Cut in Russian, Codify in English
    pages->setCurrentIndex(cut ? 0 : 2);
    form.findChild<QLineEdit *>(cut ? QStringLiteral("Edit5") : QStringLiteral("Edit3"))->setText(big);
    form.findChild<QLineEdit *>(QStringLiteral("Edit4"))->setText(big + QStringLiteral(".key"));
    QFile key(big + QStringLiteral(".key"));
    key.open(QIODevice::WriteOnly);
    key.write("key");
    key.close();
    QAbstractButton *run = button(form, cut ? "Button2" : "Button11");
    QTimer::singleShot(2500, [&] {
        shoot(QStringLiteral("%1/%2-running.png").arg(folder, language));
        whenShown([](QWidget &note) { note.close(); }); // what the stop left
        run->click();                                   // reads "Stop" meanwhile
    });
    run->click();

    // A Cut that runs to its end.
    const QString small = data.filePath(QStringLiteral("holiday.mkv"));
    QFile source(small);
    source.open(QIODevice::WriteOnly);
    source.write(QByteArray(5 << 20, 'x'));
    source.close();
    pages->setCurrentIndex(0);
    form.findChild<QLineEdit *>(QStringLiteral("Edit5"))->setText(small);
    button(form, "Button2")->click();
    settle(250);
    shoot(QStringLiteral("%1/%2-done.png").arg(folder, language));

    // Codify with the data file as its own key, refused; its details in the window's language.
    pages->setCurrentIndex(2);
    form.findChild<QLineEdit *>(QStringLiteral("Edit3"))->setText(small);
    form.findChild<QLineEdit *>(QStringLiteral("Edit4"))->setText(small);
    whenShown([folder, language](QWidget &box) {
        if (auto *message = qobject_cast<QMessageBox *>(&box)) {
            for (QAbstractButton *details : message->buttons()) {
                if (message->buttonRole(details) == QMessageBox::ActionRole)
                    details->click(); // "Show Details..."
            }
        }
        settle(250);
        shoot(QStringLiteral("%1/%2-details.png").arg(folder, language));
        box.close();
    });
    button(form, "Button11")->click();
}

// A drag in the Unite list, held over the third file: the two files a release would swap are framed.
void shootDrag(app::TForm1 &form, const QString &file)
{
    form.findChild<QTabWidget *>(QStringLiteral("TabbedNotebook2"))->setCurrentIndex(1);
    auto *list = form.findChild<QListWidget *>(QStringLiteral("ListBox1"));
    settle(100);
    const auto send = [list](QEvent::Type type, int row, Qt::MouseButtons held) {
        const QPoint at = list->visualItemRect(list->item(row)).center();
        QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton, held, Qt::NoModifier);
        QCoreApplication::sendEvent(list->viewport(), &event);
    };
    send(QEvent::MouseButtonPress, 0, Qt::LeftButton);
    send(QEvent::MouseMove, 2, Qt::LeftButton);
    settle(250);
    shoot(file);
    send(QEvent::MouseMove, 0, Qt::LeftButton); // back where it began: the release changes nothing
    send(QEvent::MouseButtonRelease, 0, Qt::NoButton);
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

// How a theme is asked for: through the environment, as a user's desktop does.
struct Theme {
    const char *name;
    const char *style;        // QT_STYLE_OVERRIDE, or empty
    const char *colourScheme; // a qt6ct colour scheme: QT_QPA_PLATFORMTHEME=qt6ct with it
};

constexpr Theme kThemes[] = {
    {"default", "", ""},         {"fusion", "Fusion", ""},     {"windows", "Windows", ""},
    {"qt6ct-light", "", "airy"}, {"qt6ct-dark", "", "darker"},
};

// A qt6ct set-up that pulls the other way from the window's own: a large bold serif font, and a
// style sheet as qt6ct ships it.
void writeQt6ctSettings(const QString &configHome, const Theme &theme)
{
    QSettings settings(configHome + QStringLiteral("/qt6ct/qt6ct.conf"), QSettings::IniFormat);
    settings.setValue(QStringLiteral("Appearance/style"), QStringLiteral("Fusion"));
    settings.setValue(QStringLiteral("Appearance/custom_palette"), true);
    settings.setValue(QStringLiteral("Appearance/color_scheme_path"),
                      QStringLiteral("/usr/share/qt6ct/colors/%1.conf").arg(QLatin1String(theme.colourScheme)));
    QFont general(QStringLiteral("DejaVu Serif"), 12, QFont::Bold);
    general.setLetterSpacing(QFont::PercentageSpacing, 110);
    settings.setValue(QStringLiteral("Fonts/general"), general);
    settings.setValue(QStringLiteral("Fonts/fixed"), QFont(QStringLiteral("DejaVu Sans Mono"), 12));
    settings.setValue(QStringLiteral("Interface/stylesheets"),
                      QStringList{QStringLiteral("/usr/share/qt6ct/qss/fusion-fixes.qss")});
}

// Runs this program once per theme, each run drawing theme-NAME.png.
void shootThemes(const QString &program, const QString &folder)
{
    for (const Theme &theme : kThemes) {
        QTemporaryDir configHome;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove(QStringLiteral("QT_QPA_PLATFORMTHEME"));
        environment.remove(QStringLiteral("QT_STYLE_OVERRIDE"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome.path());
        if (*theme.style)
            environment.insert(QStringLiteral("QT_STYLE_OVERRIDE"), QLatin1String(theme.style));
        if (*theme.colourScheme) {
            environment.insert(QStringLiteral("QT_QPA_PLATFORMTHEME"), QStringLiteral("qt6ct"));
            writeQt6ctSettings(configHome.path(), theme);
        }
        QProcess run;
        run.setProcessEnvironment(environment);
        run.setProcessChannelMode(QProcess::ForwardedChannels);
        run.start(program, {QStringLiteral("--theme"), QLatin1String(theme.name), folder});
        if (!run.waitForFinished(60000) || run.exitCode() != 0)
            std::fprintf(stderr, "theme %s: the picture was not made\n", theme.name);
    }
}

// Every page in both languages, Russian above English, as the window draws itself in this theme.
int shootTheme(const QString &name, const QString &folder)
{
    if (qEnvironmentVariable("QT_QPA_PLATFORMTHEME") == QLatin1String("qt6ct")
        && !QStyleFactory::keys().contains(QStringLiteral("qt6ct-style"))) {
        std::fprintf(stderr, "theme %s: qt6ct is not installed (apt-get install qt6ct)\n", qPrintable(name));
        return 1;
    }
    app::TForm1 form;
    form.show();
    form.activateWindow();
    settle(500); // a platform theme applies its settings once the event loop runs
    auto *pages = form.findChild<QTabWidget *>(QStringLiteral("TabbedNotebook2"));
    QImage sheet(form.width() * pages->count(), form.height() * 2, QImage::Format_RGB32);
    QPainter painter(&sheet);
    const char *const languages[] = {"RadioButton3", "RadioButton4"};
    for (int language = 0; language < 2; ++language) {
        form.findChild<QRadioButton *>(QLatin1String(languages[language]))->click();
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            if (page == pages->count() - 1) // the link's focus frame
                form.findChild<QWidget *>(QStringLiteral("Label4"))->setFocus(Qt::TabFocusReason);
            settle(100);
            painter.drawPixmap(page * form.width(), language * form.height(), form.grab());
        }
    }
    const QString file = QStringLiteral("%1/theme-%2.png").arg(folder, name);
    std::printf("%s: %s\n", qPrintable(file), QApplication::style()->metaObject()->className());
    return sheet.save(file) ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc == 4 && QLatin1String(argv[1]) == QLatin1String("--theme"))
        return shootTheme(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/tmp/shots");
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "skarvel-screens: cannot make the folder %s\n", qPrintable(folder));
        return 1;
    }
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
    form.openDialog().setNextAnswer({deep + QStringLiteral("film.avi.001"), deep + QStringLiteral("film.avi.002"),
                                     deep + QStringLiteral("film.avi.003")});
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
            shootDrag(form, folder + QStringLiteral("/ru-unite-drag.png"));
        }
        shootQuestions(form, folder, QLatin1String(languages[language]));
        shootOperations(form, folder, QLatin1String(languages[language]));
    }
    // The advertising panel scrolled to its end, where the web page view is.
    auto *scrollBar = form.findChild<QScrollBar *>(QStringLiteral("ScrollBar1"));
    scrollBar->setValue(1); // the first change sets the maximum the column really has
    scrollBar->setValue(scrollBar->maximum());
    settle(250);
    shoot(QStringLiteral("%1/panel-end.png").arg(folder));
    checkStayOnTop(form);
    std::fflush(stdout);
    shootThemes(QCoreApplication::applicationFilePath(), folder);
    return 0;
}

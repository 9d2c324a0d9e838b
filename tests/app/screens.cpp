// Shows the window on a real display and saves a picture of it for every page in both languages;
// prints the time to the first painted window and the memory in use then.
// Run under Xvfb: screens OUTPUT_FOLDER
#include "app/tform1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
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

// The window as it is painted, without the window manager's frame.
void shoot(QWidget &window, const QString &file)
{
    if (!window.grab().save(file))
        std::fprintf(stderr, "cannot save %s\n", qPrintable(file));
}

void settle(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
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

    auto *pages = form.findChild<QTabWidget *>(QStringLiteral("TabbedNotebook2"));
    const char *const languages[] = {"ru", "en"};
    for (int language = 0; language < 2; ++language) {
        form.findChild<QRadioButton *>(language == 0 ? QStringLiteral("RadioButton3") : QStringLiteral("RadioButton4"))
            ->click();
        for (int page = 0; page < pages->count(); ++page) {
            pages->setCurrentIndex(page);
            settle(250);
            const QString file = QStringLiteral("%1/%2-page%3.png").arg(folder, QLatin1String(languages[language])).arg(page);
            shoot(form, file);
        }
    }
    // The advertising panel scrolled to its end, where the web page view is.
    auto *scrollBar = form.findChild<QScrollBar *>(QStringLiteral("ScrollBar1"));
    scrollBar->setValue(1); // the first change sets the maximum the column really has
    scrollBar->setValue(scrollBar->maximum());
    settle(250);
    shoot(form, QStringLiteral("%1/panel-end.png").arg(folder));
    std::fflush(stdout);
    return 0;
}

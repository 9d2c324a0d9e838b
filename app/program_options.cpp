// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_options.h"

#include "skarvel_version.h"

#include <QCommandLineParser>
#include <QStringList>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace app {

namespace {

constexpr const char *kHelp =
    "Usage: skarvel [OPTION]...\n"
    "Opens the Skarvel window: cuts a large file into numbered parts, unites files,\n"
    "codifies a file with a key file, erases a file. skarvel-cli does the same from\n"
    "the command line, for scripts.\n"
    "\n"
    "  -h, --help       show this help and exit\n"
    "  -V, --version    show the version and exit\n"
    "\n"
    "Qt's own options are taken as well, such as -platform NAME, -style NAME,\n"
    "-stylesheet FILE, -reverse, -qwindowgeometry GEOMETRY and -qwindowtitle TITLE.\n";

// The options that QGuiApplication, QApplication and the X11 platform take for themselves, with a
// value and without; the parser only has to know them to let them through.
constexpr const char *kQtOptionsWithValue[] = {
    "platform",
    "platformpluginpath",
    "platformtheme",
    "plugin",
    "qwindowgeometry",
    "qwindowicon",
    "qwindowtitle",
    "session",
    "display",
    "geometry",
    "title",
    "icon",
    "name",
    "visual",
    "style",
    "stylesheet",
    "qmljsdebugger",
};
constexpr const char *kQtFlags[] = {"reverse", "widgetcount", "nograb", "dograb", "testability"};

int print(const std::string &text)
{
    std::fputs(text.c_str(), stdout);
    if (std::fflush(stdout) == 0 && !std::ferror(stdout))
        return 0;
    std::fprintf(stderr, "skarvel: write error: %s\n", std::strerror(errno));
    return 1;
}

int refuse(const QString &problem)
{
    std::fprintf(stderr, "skarvel: %s\nTry 'skarvel --help'.\n", qPrintable(problem));
    return 2;
}

// The word as it was typed ("--frob", "-x") for an option name the parser did not know.
QString typedOption(const QStringList &words, const QString &name)
{
    for (const QString &word : words) {
        const QString bare = word.section(QLatin1Char('='), 0, 0);
        if (bare == QLatin1Char('-') + name || bare == QLatin1String("--") + name)
            return bare;
    }
    return QLatin1String("--") + name;
}

} // namespace

std::optional<int> answerCommandLine(int argc, char **argv)
{
    QStringList words;
    for (int i = 0; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));

    QCommandLineParser parser;
    // Qt's options are single-dash words ("-platform offscreen"), not bundled letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("V"), QStringLiteral("version")});
    parser.addOptions({help, version});
    for (const char *name : kQtOptionsWithValue)
        parser.addOption(QCommandLineOption(QLatin1String(name), {}, QStringLiteral("value")));
    for (const char *name : kQtFlags)
        parser.addOption(QCommandLineOption(QLatin1String(name)));

    if (!parser.parse(words)) {
        const QStringList unknown = parser.unknownOptionNames();
        if (!unknown.isEmpty())
            return refuse(QStringLiteral("unrecognized option '%1'").arg(typedOption(words, unknown.front())));
        return refuse(parser.errorText());
    }
    if (parser.isSet(help))
        return print(kHelp);
    if (parser.isSet(version))
        return print(skarvelVersionText("skarvel"));
    if (!parser.positionalArguments().isEmpty())
        return refuse(QStringLiteral("extra operand '%1'").arg(parser.positionalArguments().front()));
    return std::nullopt;
}

} // namespace app

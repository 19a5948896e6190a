#include "CommandLine.h"

namespace zumzik {
namespace {

QStringList argumentList(int argc, const char* const* argv) {
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments << QString::fromLocal8Bit(argv[index]);
    return arguments;
}

} // namespace

CommandLine::CommandLine(int argc, const char* const* argv)
    : CommandLine(argumentList(argc, argv)) {}

CommandLine::CommandLine(const QStringList& arguments) {
    for (const QString& argument : arguments.mid(1)) {
        if (argument == QLatin1String("--minimized")) {
            m_startMinimised = true;
        } else if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            m_helpRequested = true;
        } else if (m_error.isEmpty()) {
            // The first stranger is named; the rest would only repeat the advice.
            const QString what = argument.startsWith(u'-') ? QStringLiteral("unknown option")
                                                           : QStringLiteral("unexpected argument");
            m_error = QStringLiteral("zumzik: %1 '%2'; try 'zumzik --help'").arg(what, argument);
        }
    }
}

QString CommandLine::helpText() {
    return QStringLiteral(
        "Usage: zumzik [--minimized] [Qt options]\n"
        "Зумзик (Zumzik), a cheeky chat companion: it asks your name and answers every line you\n"
        "type, in Russian, with replies from the reply files in the current directory.\n"
        "\n"
        "  --minimized  start hidden in the notification area, as if minimised at once; the\n"
        "               window comes back on a click on the icon or by itself after 50 seconds\n"
        "               (without a notification area it starts minimised on the task bar)\n"
        "  -h, --help   show this help and end\n"
        "\n"
        "Qt's own options, such as -platform NAME and -display DISPLAY, work as for any Qt\n"
        "program.\n");
}

} // namespace zumzik

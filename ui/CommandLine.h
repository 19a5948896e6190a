#pragma once

#include <QString>
#include <QStringList>

namespace zumzik {

// The program's own command-line options: --minimized starts it hidden in the notification area,
// as if it had been minimised at once, and -h or --help describes the program and its options.
// Qt takes its own options (-platform, -display and the like) out of the arguments when the
// application is created; what is left belongs here, and anything else is a usage error.
class CommandLine {
public:
    // The arguments as main() receives them, the program's name first.
    CommandLine(int argc, const char* const* argv);
    explicit CommandLine(const QStringList& arguments);

    bool helpRequested() const { return m_helpRequested; }
    bool startMinimised() const { return m_startMinimised; }
    // One line that says what is wrong, or empty when the arguments are all understood.
    const QString& error() const { return m_error; }

    // What --help prints.
    static QString helpText();

private:
    bool m_helpRequested = false;
    bool m_startMinimised = false;
    QString m_error;
};

} // namespace zumzik

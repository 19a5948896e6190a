#pragma once

#include <QString>

namespace zumzik {

// The program's two kinds of message box, behind a seam so that tests can answer them.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // The error box: caption "Зумзик", error icon, one OK button, modal for the whole program.
    virtual void showError(const QString& text) = 0;
    // The exit protest: caption "Зумзик", no icon, one OK button, no owner window.
    virtual void showProtest(const QString& text) = 0;
};

} // namespace zumzik

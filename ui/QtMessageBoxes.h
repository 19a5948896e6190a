#pragma once

#include "MessageBoxes.h"

namespace zumzik {

// The message boxes as the desktop shows them.
class QtMessageBoxes final : public MessageBoxes {
public:
    void showError(const QString& text) override;
    void showProtest(const QString& text) override;
};

} // namespace zumzik

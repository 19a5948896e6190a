#pragma once

#include "LinkOpener.h"

namespace zumzik {

// Opens addresses with the desktop's default handlers (xdg-open and its kin).
class DesktopLinkOpener final : public LinkOpener {
public:
    void open(const QString& address) override;
};

} // namespace zumzik

#pragma once

#include <QString>

namespace zumzik {

// Hands an address ("mailto:…" or a web address) to the desktop's default program for it. The
// outcome is not looked at: an address that nothing can open simply does nothing.
class LinkOpener {
public:
    virtual ~LinkOpener() = default;
    virtual void open(const QString& address) = 0;
};

} // namespace zumzik

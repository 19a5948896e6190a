#pragma once

#include <QObject>
#include <functional>

namespace zumzik {

// Runs a piece of work once, as soon as the first window of the program has been painted on the
// screen: work that the first frame does not need waits for it instead of delaying it.
class AfterFirstFrame : public QObject {
public:
    // Watches the application's windows from now on; owned by parent.
    AfterFirstFrame(std::function<void()> work, QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::function<void()> m_work;
};

} // namespace zumzik

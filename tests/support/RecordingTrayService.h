#pragma once

#include "TrayService.h"

#include <QStringList>
#include <atomic>
#include <thread>
#include <vector>

namespace zumzik::test {

// A notification area that records every add, modification and removal, and lets a test play the
// mouse activity that a desktop would report. It also counts the calls that come from another
// thread than the one that made it, since only that thread may touch the desktop's tray.
class RecordingTrayService final : public TrayService {
public:
    enum class Kind { Add, Modify, Remove };
    struct Call {
        Kind kind;
        TrayRecord record;
    };

    std::vector<Call> calls;
    // What the desktop answers.
    bool trayAvailable = true;
    bool acceptAdd = true;
    QPoint cursor;
    Qt::KeyboardModifiers modifiers;
    std::atomic<int> foreignThreadCalls = 0;

    bool available() const override { return trayAvailable; }
    bool add(const TrayRecord& record) override {
        countThread();
        calls.push_back({Kind::Add, record});
        m_shown = acceptAdd;
        return acceptAdd;
    }
    void modify(const TrayRecord& record) override {
        countThread();
        calls.push_back({Kind::Modify, record});
    }
    void remove() override {
        countThread();
        calls.push_back({Kind::Remove, {}});
        m_shown = false;
    }
    QPoint cursorPosition() const override { return cursor; }
    Qt::KeyboardModifiers keyboardModifiers() const override { return modifiers; }
    void setMouseListener(MouseListener listener) override { m_listener = std::move(listener); }

    // Plays mouse messages as the desktop would report them, in order.
    void send(std::initializer_list<TrayMouseMessage> messages) {
        for (TrayMouseMessage message : messages) {
            if (m_listener)
                m_listener(message);
        }
    }
    bool hasListener() const { return bool(m_listener); }
    // Whether the icon is in the notification area after the calls so far.
    bool shown() const { return m_shown; }
    // The picture and the tip the notification area shows now; null and empty when none.
    QIcon shownIcon() const { return m_shown ? calls.back().record.icon : QIcon(); }
    QString shownTip() const { return m_shown ? calls.back().record.tip : QString(); }
    // The calls as "add", "modify" and "remove", for comparing sequences.
    QStringList kinds() const {
        QStringList names;
        for (const Call& call : calls)
            names << (call.kind == Kind::Add      ? "add"
                      : call.kind == Kind::Modify ? "modify"
                                                  : "remove");
        return names;
    }

private:
    void countThread() {
        if (std::this_thread::get_id() != m_thread)
            ++foreignThreadCalls;
    }

    const std::thread::id m_thread = std::this_thread::get_id();
    MouseListener m_listener;
    bool m_shown = false;
};

} // namespace zumzik::test

#pragma once

#include "TrayService.h"

#include <QStringList>
#include <vector>

namespace zumzik::test {

// A notification area that records every add, modification and removal, and lets a test play the
// mouse activity that a desktop would report.
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

    bool available() const override { return trayAvailable; }
    bool add(const TrayRecord& record) override {
        calls.push_back({Kind::Add, record});
        m_shown = acceptAdd;
        return acceptAdd;
    }
    void modify(const TrayRecord& record) override { calls.push_back({Kind::Modify, record}); }
    void remove() override {
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
    MouseListener m_listener;
    bool m_shown = false;
};

} // namespace zumzik::test

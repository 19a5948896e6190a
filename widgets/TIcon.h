#pragma once

#include "TPersistent.h"

#include <QByteArray>
#include <QIODevice>
#include <QIcon>
#include <QString>
#include <functional>

namespace zumzik {

// An icon image: the bytes of one icon file, a platform icon (a QIcon), or nothing. Bytes that
// were loaded are kept and saved unchanged; a platform icon gets icon-file bytes made from it when
// it is saved. Copies share the bytes and the platform icon.
//
// The platform icon of loaded bytes and the bytes of a platform icon are made on first use, so an
// icon, like any Qt value, is used from one thread at a time.
class TIcon : public TPersistent {
public:
    using NotifyEvent = std::function<void(TIcon* sender)>;

    TIcon() = default;
    TIcon(const TIcon&) = delete;
    TIcon& operator=(const TIcon&) = delete;
    ~TIcon() override = default;

    const char* ClassName() const override { return "TIcon"; }

    // Copies another icon image; null makes this one empty. Anything else fails with
    // "Cannot assign a <class> to a TIcon".
    void Assign(const TPersistent* source) override;

    // Neither bytes nor a platform icon.
    bool Empty() const;

    // Takes every byte from the stream's position to its end. Only the header's type word is
    // checked here (0 and 1 pass); the rest is checked when the platform icon is made.
    void LoadFromStream(QIODevice& stream);
    // Writes the icon-file bytes; an empty icon writes nothing.
    void SaveToStream(QIODevice& stream) const;

    // Makes the platform icon from the named file of a resource folder, such as
    // LoadFromResource(":/artwork", "zumzik.ico").
    void LoadFromResource(const QString& module, const QString& resourceName);

    // The platform icon for the desktop; null when empty. Fails with "Icon image is not valid"
    // when the bytes hold no picture that the platform can read.
    QIcon Handle() const;
    void SetHandle(const QIcon& handle);

    const NotifyEvent& OnChange() const { return m_onChange; }
    void SetOnChange(NotifyEvent handler) { m_onChange = std::move(handler); }

private:
    void Changed();
    // The icon-file bytes, made from the platform icon when there are none yet.
    const QByteArray& Data() const;

    mutable QByteArray m_data;
    mutable QIcon m_handle;
    NotifyEvent m_onChange;
};

} // namespace zumzik

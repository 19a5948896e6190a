#pragma once

#include "TIcon.h"
#include "TPersistent.h"

#include <QIODevice>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace zumzik {

// An ordered list of icon images that owns its entries, tells one listener of every change, and
// lets a caller batch several changes into one notification (BeginUpdate ... EndUpdate).
// A change inside an entry counts as a change of the list.
//
// An entry can be null: only reading a stored record of length 0 or less makes one.
//
// Stored form, little-endian: a signed 32-bit count N, then N records, each a signed 32-bit
// length L followed by L bytes of an icon file when L > 0.
class TIconList : public TPersistent {
public:
    using NotifyEvent = std::function<void(TIconList* sender)>;

    TIconList() = default;
    TIconList(const TIconList&) = delete;
    TIconList& operator=(const TIconList&) = delete;
    ~TIconList() override;

    const char* ClassName() const override { return "TIconList"; }

    // Declares the binary property "Icons", stored only when the list has entries.
    void DefineProperties(TFiler& filer) override;
    // Takes a copy of every entry of another list (a null entry becomes an empty image) or of a
    // single icon image; null clears the list. Anything else fails with
    // "Cannot assign a <class> to a TIconList". Notifies once.
    void Assign(const TPersistent* source) override;

protected:
    // Notifies the listener unless a batch is open.
    virtual void Changed();

public:
    // Fails with "List index out of bounds (%d)" outside 0..Count-1.
    virtual TIcon* Icons(int index) const;
    virtual int Count() const;
    // Copies source into the entry at index (an empty image takes the place of a null entry);
    // index Count appends. Notifies once, also when it fails.
    virtual void SetIcons(int index, const TPersistent* source);
    // Appends a copy of source (null appends an empty image); returns its index.
    virtual int Add(const TPersistent* source);
    // Appends an icon made from the named file of a resource folder; returns its index.
    virtual int AddResource(const QString& module, const QString& resourceName);
    virtual void Clear();
    virtual void Delete(int index);
    virtual void Exchange(int index1, int index2);
    // The index of that very image object, or -1; a copy of it is not found.
    virtual int IndexOf(const TIcon* icon) const;
    // Inserts a copy of source before index; index Count appends.
    virtual void Insert(int index, const TPersistent* source);
    virtual void InsertResource(int index, const QString& module, const QString& resourceName);
    // Replaces the entries with those of the stored form. The entries read before a failure
    // stay; a stored form that ends before its counts are met fails rather than read on.
    virtual void LoadFromStream(QIODevice& stream);
    virtual void Move(int currentIndex, int newIndex);
    virtual void SaveToStream(QIODevice& stream) const;

    void BeginUpdate();
    // Closes a batch; the outermost one notifies. An unmatched call leaves the depth negative, and
    // notifications stay off until the calls balance again.
    void EndUpdate();

    const NotifyEvent& OnChange() const { return m_onChange; }
    void SetOnChange(NotifyEvent handler) { m_onChange = std::move(handler); }

private:
    // Appends an entry the list now owns, hooks its listener and notifies; returns its index.
    int AppendOwned(std::unique_ptr<TIcon> icon);
    void InsertOwned(int index, std::unique_ptr<TIcon> icon);
    void Hook(TIcon& icon);
    void CheckIndex(int index) const;
    // Runs change inside BeginUpdate ... EndUpdate; the batch is closed also when change fails.
    void Batched(const std::function<void()>& change);
    void ReadRecords(QIODevice& stream);

    std::vector<std::unique_ptr<TIcon>> m_entries;
    qint32 m_updateDepth = 0;
    NotifyEvent m_onChange;
};

} // namespace zumzik

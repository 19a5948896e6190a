#include "TIconList.h"

#include "IconTestData.h"
#include "TFiler.h"
#include "TIcon.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

using namespace zumzik;
using zumzik::test::componentErrorOf;
using zumzik::test::iconBytes;
using zumzik::test::StoredForm;

namespace {

// A persistent object that neither the icon nor the list knows how to copy.
class TStrangeThing : public TPersistent {
public:
    const char* ClassName() const override { return "TStrangeThing"; }
};

std::unique_ptr<TIcon> iconFrom(QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    auto icon = std::make_unique<TIcon>();
    icon->LoadFromStream(buffer);
    return icon;
}

QByteArray savedIcon(const TIcon& icon) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    icon.SaveToStream(buffer);
    return buffer.data();
}

QByteArray savedList(const TIconList& list) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    list.SaveToStream(buffer);
    return buffer.data();
}

void load(TIconList& list, QByteArray bytes) {
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    list.LoadFromStream(buffer);
}

// A stream that cannot seek, like a pipe, so the reader cannot ask it how much it still holds.
class PipeStream : public QIODevice {
public:
    explicit PipeStream(QByteArray bytes) : m_bytes(std::move(bytes)) { open(ReadOnly); }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 count = std::min(maxSize, m_bytes.size() - m_offset);
        std::copy_n(m_bytes.constData() + m_offset, count, data);
        m_offset += count;
        return count;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QByteArray m_bytes;
    qint64 m_offset = 0;
};

class IconListTest : public ::testing::Test {
protected:
    IconListTest() {
        list.SetOnChange([this](TIconList* sender) {
            EXPECT_EQ(sender, &list);
            ++notifications;
        });
    }

    // Fills the list with red, green, blue icons and forgets the notifications that took.
    void fillThree() {
        for (const QColor colour : {QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue)})
            list.Add(iconFrom(iconBytes(colour)).get());
        notifications = 0;
    }

    TIconList list;
    int notifications = 0;
};

TEST_F(IconListTest, ClearAndAssignOfNothingNotifyOnceEvenWhenNothingChanges) {
    list.Clear();
    EXPECT_EQ(notifications, 1);
    list.Assign(nullptr);
    EXPECT_EQ(notifications, 2);

    fillThree();
    list.Assign(nullptr);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(notifications, 1);
}

TEST_F(IconListTest, EveryChangeNotifiesExactlyOnce) {
    const auto icon = iconFrom(iconBytes(Qt::yellow));
    TIconList other;
    other.Add(icon.get());

    const std::vector<std::pair<const char*, std::function<void()>>> changes = {
        {"Add", [&] { list.Add(icon.get()); }},
        {"Insert", [&] { list.Insert(0, icon.get()); }},
        {"SetIcons", [&] { list.SetIcons(1, icon.get()); }},
        {"Exchange", [&] { list.Exchange(0, 1); }},
        {"Move", [&] { list.Move(0, 1); }},
        {"Move to the same place", [&] { list.Move(1, 1); }},
        {"Delete", [&] { list.Delete(0); }},
        {"Assign a list", [&] { list.Assign(&other); }},
        {"Assign an icon", [&] { list.Assign(icon.get()); }},
        {"a change inside an entry", [&] { list.Icons(0)->Assign(icon.get()); }},
        {"LoadFromStream", [&] { load(list, StoredForm().number(2).number(0).number(0).bytes()); }},
    };
    for (const auto& [name, change] : changes) {
        notifications = 0;
        change();
        EXPECT_EQ(notifications, 1) << name;
    }
}

TEST_F(IconListTest, BatchesNotifyOnceWhenTheOutermostEnds) {
    list.BeginUpdate();
    list.Add(nullptr);
    list.BeginUpdate();
    list.Add(nullptr);
    list.Clear();
    list.EndUpdate();
    list.Add(nullptr);
    EXPECT_EQ(notifications, 0);
    list.EndUpdate();
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(IconListTest, AnUnmatchedEndUpdateSilencesTheListUntilTheCallsBalance) {
    list.EndUpdate();
    list.Add(nullptr);
    EXPECT_EQ(notifications, 0);
    list.BeginUpdate();
    EXPECT_EQ(notifications, 0);
    list.Add(nullptr);
    EXPECT_EQ(notifications, 1);
}

TEST_F(IconListTest, DestroyingTheListTellsNobody) {
    auto doomed = std::make_unique<TIconList>();
    int calls = 0;
    doomed->SetOnChange([&](TIconList*) { ++calls; });
    doomed->Add(nullptr);
    doomed.reset();
    EXPECT_EQ(calls, 1);
}

TEST_F(IconListTest, BadIndicesFailAndLeaveTheListAlone) {
    fillThree();
    const QByteArray before = savedList(list);

    EXPECT_EQ(componentErrorOf([&] { list.Icons(3); }), "List index out of bounds (3)");
    EXPECT_EQ(componentErrorOf([&] { list.Icons(-1); }), "List index out of bounds (-1)");
    EXPECT_EQ(componentErrorOf([&] { list.Delete(7); }), "List index out of bounds (7)");
    EXPECT_EQ(componentErrorOf([&] { list.Exchange(0, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(componentErrorOf([&] { list.Move(-2, 0); }), "List index out of bounds (-2)");
    EXPECT_EQ(componentErrorOf([&] { list.Move(1, 3); }), "List index out of bounds (3)");
    EXPECT_EQ(componentErrorOf([&] { list.Insert(4, nullptr); }), "List index out of bounds (4)");
    EXPECT_EQ(notifications, 0);
    EXPECT_EQ(savedList(list), before);
}

TEST_F(IconListTest, WritingAtCountAppendsAndOneFurtherFailsInsideItsBatch) {
    fillThree();
    const auto icon = iconFrom(iconBytes(Qt::cyan));

    list.SetIcons(3, icon.get());
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(savedIcon(*list.Icons(3)), savedIcon(*icon));
    EXPECT_EQ(notifications, 1);

    EXPECT_EQ(componentErrorOf([&] { list.SetIcons(5, icon.get()); }),
              "List index out of bounds (5)");
    EXPECT_EQ(list.Count(), 4);
    EXPECT_EQ(notifications, 2);
}

TEST_F(IconListTest, InsertMoveAndExchangeKeepTheEntriesThemselves) {
    fillThree();
    TIcon* red = list.Icons(0);
    TIcon* green = list.Icons(1);
    TIcon* blue = list.Icons(2);

    list.Move(0, 2);
    EXPECT_EQ((std::vector{list.Icons(0), list.Icons(1), list.Icons(2)}),
              (std::vector{green, blue, red}));
    list.Exchange(0, 2);
    EXPECT_EQ((std::vector{list.Icons(0), list.Icons(1), list.Icons(2)}),
              (std::vector{red, blue, green}));
    list.Insert(3, nullptr);
    EXPECT_TRUE(list.Icons(3)->Empty());
    list.Delete(1);
    EXPECT_EQ((std::vector{list.Icons(0), list.Icons(1)}), (std::vector{red, green}));

    // Entries keep telling the list of their changes wherever they moved to.
    notifications = 0;
    green->Assign(nullptr);
    EXPECT_EQ(notifications, 1);
}

TEST_F(IconListTest, IndexOfFindsTheVeryObjectNotAnEqualCopy) {
    const auto icon = iconFrom(iconBytes(Qt::magenta));
    list.Add(nullptr);
    list.Add(icon.get());
    EXPECT_EQ(list.IndexOf(icon.get()), -1);
    EXPECT_EQ(list.IndexOf(list.Icons(1)), 1);
    EXPECT_EQ(savedIcon(*list.Icons(1)), savedIcon(*icon));
}

TEST_F(IconListTest, AssignCopiesEveryEntryAndTurnsNullEntriesIntoEmptyImages) {
    TIconList source;
    load(source, StoredForm().number(2).record(iconBytes(Qt::red)).number(0).bytes());
    ASSERT_EQ(source.Icons(1), nullptr);

    list.Assign(&source);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_NE(list.Icons(0), source.Icons(0));
    EXPECT_EQ(savedIcon(*list.Icons(0)), savedIcon(*source.Icons(0)));
    ASSERT_NE(list.Icons(1), nullptr);
    EXPECT_TRUE(list.Icons(1)->Empty());

    list.Assign(source.Icons(0));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(savedIcon(*list.Icons(0)), savedIcon(*source.Icons(0)));
}

TEST_F(IconListTest, AssigningTheListOrOneOfItsOwnEntriesKeepsWhatIsCopied) {
    fillThree();
    const QByteArray blue = savedIcon(*list.Icons(2));
    const QByteArray before = savedList(list);

    list.Assign(&list);
    EXPECT_EQ(savedList(list), before);
    EXPECT_EQ(notifications, 1);

    list.Assign(list.Icons(2));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(savedIcon(*list.Icons(0)), blue);
}

TEST_F(IconListTest, UnsupportedSourcesFailWithBothClassNames) {
    fillThree();
    const QByteArray before = savedList(list);
    const TStrangeThing strange;

    EXPECT_EQ(componentErrorOf([&] { list.Assign(&strange); }),
              "Cannot assign a TStrangeThing to a TIconList");
    EXPECT_EQ(componentErrorOf([&] { list.Add(&strange); }),
              "Cannot assign a TStrangeThing to a TIcon");
    EXPECT_EQ(componentErrorOf([&] { list.Insert(0, &strange); }),
              "Cannot assign a TStrangeThing to a TIcon");
    EXPECT_EQ(componentErrorOf([&] { list.SetIcons(1, &strange); }),
              "Cannot assign a TStrangeThing to a TIcon");
    EXPECT_EQ(savedList(list), before);

    TIcon icon;
    EXPECT_EQ(componentErrorOf([&] { icon.Assign(&list); }),
              "Cannot assign a TIconList to a TIcon");

    // Writing at Count appends an empty image first, and that stays.
    notifications = 0;
    EXPECT_EQ(componentErrorOf([&] { list.SetIcons(3, &strange); }),
              "Cannot assign a TStrangeThing to a TIcon");
    ASSERT_EQ(list.Count(), 4);
    EXPECT_TRUE(list.Icons(3)->Empty());
    EXPECT_EQ(notifications, 1);
}

TEST_F(IconListTest, StoredFormWithNoRecordsReadsAsAnEmptyList) {
    fillThree();
    load(list, StoredForm().number(0).bytes());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(notifications, 1);

    load(list, StoredForm().number(-5).bytes());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(savedList(list), StoredForm().number(0).bytes());
}

TEST_F(IconListTest, RecordsOfLengthZeroOrLessAreNullEntriesWrittenBackAsZero) {
    const QByteArray red = iconBytes(Qt::red);
    load(list, StoredForm().number(3).number(0).record(red).number(-7).bytes());
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Icons(0), nullptr);
    EXPECT_EQ(list.Icons(2), nullptr);
    EXPECT_EQ(savedList(list), StoredForm().number(3).number(0).record(red).number(0).bytes());

    // An empty image is stored like a null one.
    list.SetIcons(0, nullptr);
    ASSERT_NE(list.Icons(0), nullptr);
    EXPECT_EQ(savedList(list), StoredForm().number(3).number(0).record(red).number(0).bytes());
}

TEST_F(IconListTest, ImageBytesAreKeptExactlyAsRead) {
    // Bytes after the image are no business of the list; they come back unchanged.
    const QByteArray odd = iconBytes(Qt::green) + QByteArray("trailing bytes");
    const QByteArray stored = StoredForm().number(1).record(odd).bytes();
    load(list, stored);
    EXPECT_EQ(savedList(list), stored);
}

TEST_F(IconListTest, AnImageThatIsNotAnIconStopsTheReadButKeepsWhatCameBefore) {
    QByteArray cursor = iconBytes(Qt::red);
    cursor[2] = 2; // the type word of a cursor file
    const QByteArray stored =
        StoredForm().number(3).record(iconBytes(Qt::blue)).record(cursor).number(0).bytes();

    EXPECT_EQ(componentErrorOf([&] { load(list, stored); }), "Icon image is not valid");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(notifications, 1);
}

TEST_F(IconListTest, TruncatedOrHostileStoredFormsFailAndKeepTheEntriesReadBeforeThem) {
    const QByteArray blue = iconBytes(Qt::blue);
    struct Case {
        const char* what;
        QByteArray stored;
        int entriesKept;
        const char* message;
    };
    const Case cases[] = {
        {"no count", QByteArray("\x01\x00", 2), 0,
         "Icon list data is truncated: the record count is missing"},
        {"fewer records than counted", StoredForm().number(3).record(blue).bytes(), 1,
         "Icon list data is truncated: record 2 of 3 has no length"},
        {"a record shorter than its length",
         StoredForm().number(1).number(100).raw("abcdef").bytes(), 0,
         "Icon list data is truncated: record 1 of 1 promises 100 bytes, but only 6 follow"},
        {"a huge length", StoredForm().number(2).record(blue).number(0x7FFFFFFF).raw("x").bytes(),
         1,
         "Icon list data is truncated: record 2 of 2 promises 2147483647 bytes, but only 1 follow"},
        {"two billion records in eight bytes",
         StoredForm().number(2000000000).number(0).number(0).bytes(), 2,
         "Icon list data is truncated: record 3 of 2000000000 has no length"},
    };
    for (const Case& c : cases) {
        TIconList victim;
        int calls = 0;
        victim.SetOnChange([&](TIconList*) { ++calls; });
        EXPECT_EQ(componentErrorOf([&] { load(victim, c.stored); }), c.message) << c.what;
        EXPECT_EQ(victim.Count(), c.entriesKept) << c.what;
        EXPECT_EQ(calls, 1) << c.what;
    }
}

TEST_F(IconListTest, AStreamThatCannotSeekIsReadOnlyAsFarAsItGoes) {
    PipeStream stream(
        StoredForm().number(2).record(iconBytes(Qt::red)).number(1 << 30).raw("xyz").bytes());
    EXPECT_EQ(componentErrorOf([&] { list.LoadFromStream(stream); }),
              "Icon list data is truncated: record 2 of 2 promises 1073741824 bytes, but only 3 "
              "follow");
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(IconListTest, AStreamThatRefusesToBeWrittenFails) {
    fillThree();
    QByteArray bytes;
    QBuffer readOnly(&bytes);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_EQ(componentErrorOf([&] { list.SaveToStream(readOnly); }), "Stream write error");
}

TEST_F(IconListTest, TheTrayFramesReadAsTwoIconsAndWriteBackToTheSameBytes) {
    QFile file(QStringLiteral(ZUMZIK_ARTWORK_DIR "/tray-frames.bin"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray stored = file.readAll();
    ASSERT_EQ(stored.size(), 19336);

    load(list, stored);
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(savedIcon(*list.Icons(0)).size(), 9662);
    EXPECT_EQ(savedIcon(*list.Icons(1)).size(), 9662);
    EXPECT_EQ(savedList(list), stored);
}

// Remembers what the list declares, as the reader and writer of a description would see it.
class RecordingFiler : public TFiler {
public:
    void DefineBinaryProperty(const QString& propertyName, StreamProc readData,
                              StreamProc writeData, bool withData) override {
        name = propertyName;
        read = std::move(readData);
        write = std::move(writeData);
        hasData = withData;
    }
    QString name;
    StreamProc read;
    StreamProc write;
    bool hasData = false;
};

TEST_F(IconListTest, DeclaresItsStoredPropertyWithDataOnlyWhenItHasEntries) {
    RecordingFiler filer;
    list.DefineProperties(filer);
    EXPECT_EQ(filer.name, "Icons");
    EXPECT_FALSE(filer.hasData);

    QByteArray stored = StoredForm().number(1).record(iconBytes(Qt::red)).bytes();
    QBuffer in(&stored);
    in.open(QIODevice::ReadOnly);
    filer.read(in);
    list.DefineProperties(filer);
    EXPECT_TRUE(filer.hasData);
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    filer.write(out);
    EXPECT_EQ(out.data(), stored);
}

TEST_F(IconListTest, ResourceIconsAreAddedAndInsertedAndAMissingOneChangesNothing) {
    EXPECT_EQ(list.AddResource(QStringLiteral(":/artwork"), QStringLiteral("tray-frame1.ico")), 0);
    list.InsertResource(0, QStringLiteral(":/artwork"), QStringLiteral("zumzik.ico"));
    ASSERT_EQ(list.Count(), 2);
    EXPECT_FALSE(list.Icons(0)->Empty());
    EXPECT_TRUE(list.Icons(1)->Handle().availableSizes().contains(QSize(48, 48)));
    EXPECT_EQ(notifications, 2);

    EXPECT_NE(componentErrorOf([&] {
                  list.AddResource(QStringLiteral(":/artwork"), QStringLiteral("missing.ico"));
              }).find("Cannot load the icon resource :/artwork/missing.ico"),
              std::string::npos);
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(notifications, 2);
}

} // namespace

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "files/ByteSource.h"
#include "files/TempStore.h"
#include "link/Exceptions.h"
#include "tests/files/FileTestSupport.h"

TEST(TempStoreTest, IndexRecordLayoutKeeps17CharacterNames)
{
    IndexRecord r{"abcdefgh\\ijklmnop", 4, 0x1020, -1, 0x1D};
    std::string bytes = EncodeIndexRecord(r);
    ASSERT_EQ(bytes.size(), 36u);
    EXPECT_EQ(bytes.substr(0, 18), "\x11"
                                   "abcdefgh\\ijklmnop");
    EXPECT_EQ(bytes.substr(18, 2), Zeros(2));
    EXPECT_EQ(bytes.substr(20, 16), Hex("04000000 20100000 FFFFFFFF 1D 000000"));
    IndexRecord back = DecodeIndexRecord(bytes);
    EXPECT_EQ(back.name, r.name);
    EXPECT_EQ(back.start, 4);
    EXPECT_EQ(back.finish, 0x1020);
    EXPECT_EQ(back.length, -1);
    EXPECT_EQ(back.type, 0x1D);

    r.name = "abcdefgh\\ijklmnopq";
    EXPECT_EQ(DecodeIndexRecord(EncodeIndexRecord(r)).name, "abcdefgh\\ijklmnop");
    // A damaged length byte never reaches past the name field.
    bytes[0] = '\x40';
    EXPECT_EQ(DecodeIndexRecord(bytes).name.size(), 17u);
}

TEST(TempStoreTest, CreateAppendAndReadBack)
{
    ScratchFolder dir;
    TempStore store(dir.Path());
    EXPECT_EQ(store.DataPath(), dir.Path() / "~data.~92");
    EXPECT_EQ(store.IndexPath(), dir.Path() / "~indx.~92");
    store.Clear();
    EXPECT_EQ(store.DataSize(), 0u);
    EXPECT_TRUE(store.ReadIndex().empty());

    store.AddItem("main\\a", 0x00, SizedData("abc"));
    {
        // Item by item, as a receive writes: the size word, the data, the record.
        TempStoreWriter w(store, false);
        IndexRecord r{"main\\b", static_cast<int32_t>(w.Position()), 0, 0, 0x0C};
        w.Write(Hex("0000"));
        w.Write("xy");
        w.WriteAt(r.start, Hex("0002"));
        r.finish = static_cast<int32_t>(w.Position());
        r.length = r.finish - r.start;
        w.AddRecord(r);
        w.Close();
    }
    auto records = store.ReadIndex();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].start, 5);
    EXPECT_EQ(store.ReadItem(records[0]), SizedData("abc"));
    EXPECT_EQ(store.ReadItem(records[1]), SizedData("xy"));
    EXPECT_EQ(store.DataSize(), 9u);

    // A record pointing past the data is an error, not a short read.
    records[1].length = 10;
    EXPECT_THROW(store.ReadItem(records[1]), EFileError);

    TempStoreWriter(store, true).Close();
    EXPECT_EQ(store.DataSize(), 0u);
    store.Remove();
    EXPECT_THROW(store.ReadIndex(), EFileError);
}

// An item that is not kept leaves the data file as it was before the item,
// even when an exception ends the write.
TEST(TempStoreTest, UnfinishedItemIsCutBack)
{
    struct Row {
        bool first, keep, thrown;
        uint64_t size;
    };
    for (const Row& r : {Row{false, true, false, 9}, Row{false, false, false, 5}, Row{false, false, true, 5},
                         Row{true, false, false, 0}, Row{true, true, false, 4}}) {
        SCOPED_TRACE(testing::Message() << r.first << r.keep << r.thrown);
        ScratchFolder dir;
        TempStore store(dir.Path());
        store.Clear();
        store.AddItem("main\\a", 0x00, SizedData("abc"));
        try {
            UnfinishedItem item(store, r.first);
            TempStoreWriter w(store, r.first);
            w.Write("half");
            if (r.thrown)
                throw EFileError("interrupted");
            w.Close();
            if (r.keep)
                item.Keep();
        } catch (const EFileError&) {
        }
        EXPECT_EQ(store.DataSize(), r.size);
    }
}

TEST(DiskBytesTest, OnlyRegularFilesAreOpened)
{
    ScratchFolder dir;
    EXPECT_THROW(DiskBytes(dir.Path()), EFileError);
    EXPECT_THROW(DiskBytes(dir / "missing"), EFileError);
    ASSERT_EQ(mkfifo((dir / "pipe.92p").c_str(), 0600), 0);
    EXPECT_THROW(DiskBytes(dir / "pipe.92p"), EFileError);
    WriteFile(dir / "f", "abc");
    DiskBytes file(dir / "f");
    char buf[8];
    EXPECT_EQ(file.ReadAt(1, buf, 8), 2u);
    EXPECT_EQ(file.ReadAt(3, buf, 8), 0u);
}

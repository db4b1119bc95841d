#include "formats/ReadOnlyFile.h"
#include "platform/Exception.h"
#include "support/TestDir.h"

#include <gtest/gtest.h>

// Small reads come from a read-ahead block, large ones straight from the file; either way
// every read returns exactly the file's bytes, fewer only at the end.
TEST(ReadOnlyFile, ReadsAnyRangeThroughTheReadAheadBlock)
{
    TTestDir dir;
    QByteArray bytes(10000, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char((i * 31 + i / 256) & 0xFF);
    TReadOnlyFile file(dir.createFile("a.bin", bytes));
    ASSERT_EQ(file.size(), 10000u);
    // In an order that moves the block forward, back and across its end.
    for (uint64_t offset : {0u, 1u, 4095u, 4096u, 4097u, 100u, 8190u, 9990u, 9999u, 10000u, 20000u, 2u})
        for (size_t count : {1u, 7u, 100u, 4095u, 4096u, 5000u}) {
            std::vector<uint8_t> got(count, 0xEE);
            const size_t n = file.readAt(offset, got.data(), count);
            const size_t expected = offset >= 10000 ? 0 : std::min<size_t>(count, 10000 - offset);
            ASSERT_EQ(n, expected) << offset << "+" << count;
            EXPECT_EQ(QByteArray(reinterpret_cast<const char *>(got.data()), qsizetype(n)),
                      bytes.mid(qsizetype(offset), qsizetype(n)))
                << offset << "+" << count;
        }
    EXPECT_EQ(file.readAll(20000), bytes);
    EXPECT_THROW(file.readAll(9999), EModwright);
}

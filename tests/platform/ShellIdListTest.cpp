#include "platform/ShellIdList.h"

#include "platform/Exception.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Builds a list from item payloads: each item is [count lo][count hi][payload...].
std::vector<uint8_t> ListBytes(std::initializer_list<std::vector<uint8_t>> items)
{
    std::vector<uint8_t> bytes;
    for (const auto &payload : items) {
        const size_t cb = payload.size() + 2;
        bytes.push_back(uint8_t(cb & 0xFF));
        bytes.push_back(uint8_t(cb >> 8));
        bytes.insert(bytes.end(), payload.begin(), payload.end());
    }
    bytes.push_back(0); // 16-bit zero terminator
    bytes.push_back(0);
    return bytes;
}

TItemIdList Make(std::initializer_list<std::vector<uint8_t>> items)
{
    const auto bytes = ListBytes(items);
    return TItemIdList::FromBytes(bytes.data(), bytes.size());
}

QByteArray Bytes(std::initializer_list<std::vector<uint8_t>> items)
{
    const auto bytes = ListBytes(items);
    return QByteArray(reinterpret_cast<const char *>(bytes.data()), qsizetype(bytes.size()));
}

} // namespace

TEST(ShellIdList, SizeAndCountFollowTheItemCounts)
{
    EXPECT_EQ(PidlSize(nullptr), 2u);
    EXPECT_EQ(PidlCount(nullptr), 0);
    const TItemIdList root = Make({});
    EXPECT_TRUE(root.isRoot());
    EXPECT_EQ(PidlSize(root.get()), 2u);
    EXPECT_EQ(PidlCount(root.get()), 0);

    // Items of 3 + 2, 1 + 2 and 300 + 2 bytes: 5 + 3 + 302 + terminator 2.
    const TItemIdList list = Make({{1, 2, 3}, {9}, std::vector<uint8_t>(300, 7)});
    EXPECT_EQ(PidlSize(list.get()), 312u);
    EXPECT_EQ(PidlCount(list.get()), 3);
    EXPECT_EQ(PidlItemSize(PidlItem(list.get(), 2)), 302);
    EXPECT_EQ(PidlItem(list.get(), 3), nullptr);
    EXPECT_FALSE(list.isRoot());
}

TEST(ShellIdList, CloneIsAnIndependentCopy)
{
    const TItemIdList list = Make({{1, 2}, {3}});
    TItemIdList copy = PidlClone(list.get());
    ASSERT_NE(copy.get(), list.get());
    EXPECT_EQ(copy.toBytes(), list.toBytes());
    EXPECT_TRUE(PidlClone(nullptr).isNull());
}

TEST(ShellIdList, CombinePutsTheChildAfterTheParent)
{
    const TItemIdList parent = Make({{1}, {2, 2}});
    const TItemIdList child = Make({{3, 3, 3}});
    EXPECT_EQ(PidlCombine(parent.get(), child.get()).toBytes(), Bytes({{1}, {2, 2}, {3, 3, 3}}));
    EXPECT_EQ(PidlCombine(nullptr, child.get()).toBytes(), Bytes({{3, 3, 3}}));
    EXPECT_EQ(PidlCombine(parent.get(), nullptr).toBytes(), Bytes({{1}, {2, 2}}));
    EXPECT_TRUE(PidlCombine(nullptr, nullptr).isNull());
}

TEST(ShellIdList, ParentDropsTheLastItemAndShortListsGiveTheRoot)
{
    EXPECT_EQ(PidlParent(Make({{1}, {2}, {3}}).get()).toBytes(), Bytes({{1}, {2}}));
    // Fewer than two items: the null list, the root.
    EXPECT_TRUE(PidlParent(Make({{1}}).get()).isNull());
    EXPECT_TRUE(PidlParent(Make({}).get()).isNull());
    EXPECT_TRUE(PidlParent(nullptr).isNull());
}

TEST(ShellIdList, LastAndFirstCopyOneItem)
{
    EXPECT_EQ(PidlLast(Make({{1}, {2}, {3, 4}}).get()).toBytes(), Bytes({{3, 4}}));
    // One item: the whole list.
    EXPECT_EQ(PidlLast(Make({{5}}).get()).toBytes(), Bytes({{5}}));
    EXPECT_EQ(PidlFirst(Make({{1}, {2}}).get()).toBytes(), Bytes({{1}}));
    EXPECT_TRUE(PidlLast(nullptr).isNull());
}

TEST(ShellIdList, ReplaceLastKeepsTheParentItems)
{
    const TItemIdList item = Make({{8, 8, 8, 8}});
    EXPECT_EQ(PidlReplaceLast(Make({{1}, {2}}).get(), item.get()).toBytes(), Bytes({{1}, {8, 8, 8, 8}}));
    EXPECT_EQ(PidlReplaceLast(Make({{1}}).get(), item.get()).toBytes(), Bytes({{8, 8, 8, 8}}));
}

TEST(ShellIdList, EqualityAndPrefixRespectItemBoundaries)
{
    const TItemIdList a = Make({{1}, {2, 3}});
    EXPECT_TRUE(PidlEqual(a.get(), Make({{1}, {2, 3}}).get()));
    EXPECT_FALSE(PidlEqual(a.get(), Make({{1}, {2, 4}}).get()));
    EXPECT_TRUE(PidlEqual(nullptr, Make({}).get()));
    EXPECT_TRUE(PidlIsPrefix(Make({{1}}).get(), a.get()));
    EXPECT_TRUE(PidlIsPrefix(a.get(), a.get()));
    EXPECT_TRUE(PidlIsPrefix(nullptr, a.get()));
    EXPECT_FALSE(PidlIsPrefix(Make({{1}, {2}}).get(), a.get()));
    EXPECT_FALSE(PidlIsPrefix(a.get(), Make({{1}}).get()));
}

TEST(ShellIdList, MalformedBytesFromOutsideAreRefused)
{
    const uint8_t noTerminator[] = {3, 0, 1};
    const uint8_t countTooSmall[] = {1, 0, 0, 0};
    const uint8_t countPastEnd[] = {9, 0, 1, 2, 0, 0};
    const uint8_t halfTerminator[] = {3, 0, 1, 0};
    EXPECT_THROW(TItemIdList::FromBytes(noTerminator, sizeof noTerminator), EModwright);
    EXPECT_THROW(TItemIdList::FromBytes(countTooSmall, sizeof countTooSmall), EModwright);
    EXPECT_THROW(TItemIdList::FromBytes(countPastEnd, sizeof countPastEnd), EModwright);
    EXPECT_THROW(TItemIdList::FromBytes(halfTerminator, sizeof halfTerminator), EModwright);
    EXPECT_THROW(TItemIdList::FromBytes(nullptr, 0), EModwright);
    // Bytes after the terminator are not part of the list.
    const uint8_t trailing[] = {3, 0, 7, 0, 0, 0xEE, 0xEE};
    EXPECT_EQ(TItemIdList::FromBytes(trailing, sizeof trailing).toBytes(), Bytes({{7}}));
}

TEST(ShellIdList, OwnershipMovesAndFreesOnce)
{
    TItemIdList a = Make({{1}});
    TItemIdList b = std::move(a);
    EXPECT_TRUE(a.isNull());
    EXPECT_FALSE(b.isNull());
    uint8_t *raw = b.release();
    EXPECT_TRUE(b.isNull());
    TItemIdList c = TItemIdList::Adopt(raw);
    EXPECT_EQ(c.toBytes(), Bytes({{1}}));
}

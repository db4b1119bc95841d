// The COM layer: GUIDs, reference counting, interface lookup, the class
// factory, the server's unload rule and the file-drop record.

#include "platform/Exception.h"
#include "platform/ShellExtNames.h"
#include "shellext/ComMemory.h"
#include "shellext/ContextMenu.h"

#include <cstring>
#include <gtest/gtest.h>

namespace {

const IID UnknownIid{0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};

// A handler made through the factory, as the host makes one; one reference.
IShellExtInit *NewHandler()
{
    void *object = nullptr;
    EXPECT_EQ(ContextMenuFactory().CreateInstance(nullptr, IID_IShellExtInit, &object), S_OK);
    return static_cast<IShellExtInit *>(object);
}

} // namespace

TEST(ComGuid, ParsesAndFormatsTheRegistrySpelling)
{
    GUID g;
    ASSERT_TRUE(GuidFromString("{6BCAD262-73D3-4b17-BA5F-40AF35E9123B}", g));
    EXPECT_EQ(g, TContextMenu::ClassId);
    EXPECT_EQ(g.Data1, 0x6BCAD262u);
    EXPECT_EQ(g.Data4[0], 0xBA);
    EXPECT_EQ(g.Data4[7], 0x3B);
    EXPECT_EQ(GuidToString(g), "{6BCAD262-73D3-4B17-BA5F-40AF35E9123B}");
    EXPECT_EQ(GuidToString(IID_IContextMenu), "{000214E4-0000-0000-C000-000000000046}");
}

TEST(ComGuid, RejectsMalformedTexts)
{
    GUID g = TContextMenu::ClassId;
    for (const char *bad :
         {"", "6BCAD262-73D3-4b17-BA5F-40AF35E9123B", "{6BCAD262-73D3-4b17-BA5F-40AF35E9123}",
          "{6BCAD262-73D3-4b17-BA5F-40AF35E9123BX}", "{6BCAD26G-73D3-4b17-BA5F-40AF35E9123B}",
          "{6BCAD262+73D3-4b17-BA5F-40AF35E9123B}"})
        EXPECT_FALSE(GuidFromString(bad, g)) << bad;
    EXPECT_EQ(g, TContextMenu::ClassId); // untouched
    EXPECT_THROW(MakeGuid("{nonsense}"), EModwright);
}

TEST(ComObject, CountsReferencesAndFreesOnTheLastRelease)
{
    const long before = TComServer::ObjectCount();
    IShellExtInit *init = NewHandler();
    ASSERT_NE(init, nullptr);
    EXPECT_EQ(TComServer::ObjectCount(), before + 1);
    EXPECT_EQ(init->AddRef(), 2u);

    IContextMenu *menu = nullptr;
    ASSERT_EQ(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void **>(&menu)), S_OK);
    EXPECT_EQ(menu->AddRef(), 4u); // one count for the object, whichever interface
    EXPECT_EQ(menu->Release(), 3u);
    EXPECT_EQ(menu->Release(), 2u);
    EXPECT_EQ(init->Release(), 1u);
    EXPECT_EQ(TComServer::ObjectCount(), before + 1);
    EXPECT_EQ(init->Release(), 0u);
    EXPECT_EQ(TComServer::ObjectCount(), before);
}

TEST(ComObject, QueryInterfaceKeepsIdentityAndRefusesUnknownInterfaces)
{
    IShellExtInit *init = NewHandler();
    void *object = reinterpret_cast<void *>(0x1);
    EXPECT_EQ(init->QueryInterface(UnknownIid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(init->QueryInterface(IID_IDataObject, &object), E_NOINTERFACE);
    EXPECT_EQ(init->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    EXPECT_EQ(init->AddRef(), 2u) << "a refused query must not count a reference";
    init->Release();

    // IUnknown asked through either interface is the same pointer: COM's identity rule.
    IContextMenu *menu = nullptr;
    ASSERT_EQ(init->QueryInterface(IID_IContextMenu, reinterpret_cast<void **>(&menu)), S_OK);
    void *unknown1 = nullptr, *unknown2 = nullptr;
    ASSERT_EQ(init->QueryInterface(IID_IUnknown, &unknown1), S_OK);
    ASSERT_EQ(menu->QueryInterface(IID_IUnknown, &unknown2), S_OK);
    EXPECT_EQ(unknown1, unknown2);
    static_cast<IUnknown *>(unknown1)->Release();
    static_cast<IUnknown *>(unknown2)->Release();
    menu->Release();
    EXPECT_EQ(init->Release(), 0u);
}

TEST(ComFactory, GetClassObjectServesOnlyItsClass)
{
    const std::vector<TComObjectFactory *> factories{&ContextMenuFactory()};
    void *object = reinterpret_cast<void *>(0x1);
    const CLSID other = MakeGuid(OlderShellExtClassId);
    EXPECT_EQ(ComGetClassObject(factories, &other, &IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(ComGetClassObject(factories, &TContextMenu::ClassId, &UnknownIid, &object), E_NOINTERFACE);
    EXPECT_EQ(ComGetClassObject(factories, &TContextMenu::ClassId, &IID_IClassFactory, nullptr), E_POINTER);
    ASSERT_EQ(ComGetClassObject(factories, &TContextMenu::ClassId, &IID_IClassFactory, &object), S_OK);
    EXPECT_EQ(object, static_cast<IClassFactory *>(&ContextMenuFactory()));
    static_cast<IClassFactory *>(object)->Release();
}

TEST(ComFactory, CreateInstanceRefusesAggregationAndUnknownInterfaces)
{
    const long before = TComServer::ObjectCount();
    TComObjectFactory &factory = ContextMenuFactory();
    void *object = reinterpret_cast<void *>(0x1);
    IShellExtInit *outer = NewHandler();
    EXPECT_EQ(factory.CreateInstance(outer, IID_IShellExtInit, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    outer->Release();
    // The object made for an interface it lacks is freed again at once.
    EXPECT_EQ(factory.CreateInstance(nullptr, UnknownIid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(TComServer::ObjectCount(), before);
}

TEST(ComServer, CanUnloadOnlyWithoutObjectsAndLocks)
{
    ASSERT_EQ(ComCanUnloadNow(), S_OK);
    IShellExtInit *init = NewHandler();
    EXPECT_EQ(ComCanUnloadNow(), S_FALSE);
    init->Release();
    EXPECT_EQ(ComCanUnloadNow(), S_OK);

    ContextMenuFactory().LockServer(1);
    ContextMenuFactory().LockServer(1);
    EXPECT_EQ(ComCanUnloadNow(), S_FALSE);
    ContextMenuFactory().LockServer(0);
    EXPECT_EQ(ComCanUnloadNow(), S_FALSE);
    ContextMenuFactory().LockServer(0);
    EXPECT_EQ(ComCanUnloadNow(), S_OK);
}

TEST(ComMemory, DropFilesRoundTrip)
{
    const std::vector<std::string> names{"/tmp/a.wav", "/home/u/Bild \"1\"; $(rm -rf ~).bmp", "/x/ü.jpg"};
    HDROP drop = MakeDropFiles(names);
    ASSERT_NE(drop, nullptr);
    EXPECT_EQ(DragQueryFileA(drop, DragQueryCount, nullptr, 0), 3u);
    for (UINT i = 0; i < 3; ++i) {
        EXPECT_EQ(DragQueryFileA(drop, i, nullptr, 0), names[i].size());
        char buffer[256];
        EXPECT_EQ(DragQueryFileA(drop, i, buffer, sizeof buffer), names[i].size());
        EXPECT_EQ(std::string(buffer), names[i]);
    }
    char small[5];
    EXPECT_EQ(DragQueryFileA(drop, 0, small, sizeof small), 4u);
    EXPECT_STREQ(small, "/tmp");
    EXPECT_EQ(DragQueryFileA(drop, 3, nullptr, 0), 0u);
    STGMEDIUM medium;
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = drop;
    ReleaseStgMedium(&medium);
    EXPECT_EQ(medium.hGlobal, nullptr);

    EXPECT_THROW(MakeDropFiles({""}), EModwright);
    EXPECT_THROW(MakeDropFiles({std::string("a\0b", 3)}), EModwright);
}

TEST(ComMemory, BrokenDropRecordsAreReadWithinTheirBlock)
{
    // Names without their terminators: the reader stops at the block's end.
    HGLOBAL block = GlobalAlloc(sizeof(DROPFILES) + 4);
    auto *bytes = static_cast<char *>(GlobalLock(block));
    const DROPFILES header;
    std::memcpy(bytes, &header, sizeof header);
    std::memcpy(bytes + sizeof header, "abcd", 4);
    EXPECT_EQ(DragQueryFileA(block, DragQueryCount, nullptr, 0), 0u);

    // A names offset beyond the block.
    DROPFILES far;
    far.pFiles = 1000;
    std::memcpy(bytes, &far, sizeof far);
    EXPECT_EQ(DragQueryFileA(block, DragQueryCount, nullptr, 0), 0u);
    GlobalFree(block);

    HGLOBAL tiny = GlobalAlloc(3);
    EXPECT_EQ(DragQueryFileA(tiny, DragQueryCount, nullptr, 0), 0u);
    GlobalFree(tiny);
    EXPECT_EQ(DragQueryFileA(nullptr, DragQueryCount, nullptr, 0), 0u);
}

// The extraction layer's COM objects: which interfaces they answer, and how
// their reference counts start and end.
#include <gtest/gtest.h>

#include <vector>

#include "install/archive_extract_callback.h"
#include "install/archive_open_callback.h"
#include "install/stream_wrappers.h"

using namespace SevenZip::intl;

namespace {

struct Case {
    const char* name;
    IUnknown* object;  // the creator's pointer, count still at 0
    std::vector<const IID*> answered;
    const IID* refused;
};

}  // namespace

TEST(ExtractionComObjects, AnswerTheirInterfacesOnlyAndCountFromZero)
{
    const std::vector<Case> cases = {
        {"open callback", static_cast<IArchiveOpenCallback*>(new ArchiveOpenCallback),
         {&IID_IUnknown, &IID_IArchiveOpenCallback, &IID_ICryptoGetTextPassword},
         &IID_IArchiveExtractCallback},
        {"extract callback",
         static_cast<IArchiveExtractCallback*>(
             new ArchiveExtractCallback(nullptr, L"C:\\nowhere", nullptr)),
         {&IID_IUnknown, &IID_IArchiveExtractCallback, &IID_IProgress, &IID_ICryptoGetTextPassword,
          &IID_IArchiveExtractCallbackMessage2},
         &IID_IArchiveOpenCallback},
        {"in stream", static_cast<IInStream*>(new InStreamWrapper({})),
         {&IID_IUnknown, &IID_ISequentialInStream, &IID_IInStream, &IID_IStreamGetSize},
         &IID_IOutStream},
        {"out stream", static_cast<IOutStream*>(new OutStreamWrapper({})),
         {&IID_IUnknown, &IID_ISequentialOutStream, &IID_IOutStream},
         &IID_IInStream},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.object->AddRef(), 1u) << "the creator takes the first reference";
        void* unknown = nullptr;
        ASSERT_EQ(c.object->QueryInterface(IID_IUnknown, &unknown), S_OK);
        ULONG refs = 2;
        for (const IID* iid : c.answered) {
            void* out = nullptr;
            EXPECT_EQ(c.object->QueryInterface(*iid, &out), S_OK);
            EXPECT_NE(out, nullptr);
            if (out)
                ++refs;
        }
        // Asked twice, IUnknown gives the same pointer: the object's identity.
        void* again = nullptr;
        ASSERT_EQ(c.object->QueryInterface(IID_IUnknown, &again), S_OK);
        EXPECT_EQ(again, unknown);
        ++refs;
        void* none = &none;
        EXPECT_EQ(c.object->QueryInterface(*c.refused, &none), E_NOINTERFACE);
        EXPECT_EQ(none, nullptr);
        EXPECT_EQ(c.object->QueryInterface(IID_IUnknown, nullptr), E_POINTER);
        // Every answer took a reference; the last release deletes.
        for (; refs > 1; --refs)
            EXPECT_EQ(c.object->Release(), refs - 1);
        EXPECT_EQ(c.object->Release(), 0u);
    }
}

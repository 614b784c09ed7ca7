// The benchmark's embedder: a copy of a program that carries an archive as
// its payload resource, as the installer carries the product, with the
// program's own resources kept.
#include "bench/embed_payload.h"

#include <gtest/gtest.h>

#include <string>

#include "system/embedded_resource.h"
#include "tests/system/test_files.h"

namespace {

std::wstring Self()
{
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// The resource's bytes in IMAGE, mapped as the loader maps an image.
std::string ResourceOf(const std::wstring& image, LPCWSTR name, LPCWSTR type)
{
    HMODULE module = LoadLibraryExW(image.c_str(), nullptr, LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return "(not loadable)";
    auto bytes = EmbeddedResource(module, name, type);
    std::string copy = bytes.data() ? std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size())
                                    : "(missing)";
    FreeLibrary(module);
    return copy;
}

}  // namespace

TEST(EmbedPayload, TheCopyCarriesTheArchiveKeepsItsResourcesAndReplacesAnOldPayload)
{
    TempDir temp;
    const std::wstring first = temp.Path() + L"first.7z", second = temp.Path() + L"second.7z";
    // Longer than the embedder's buffer, and of no round size.
    std::string payload(3 * 1024 * 1024 + 17, '\0');
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<char>(i * 7 + i / 4093);
    ASSERT_TRUE(WriteFileBytes(first, payload));
    ASSERT_TRUE(WriteFileBytes(second, "7z then something shorter"));

    const std::wstring once = temp.Path() + L"once.exe", twice = temp.Path() + L"twice.exe";
    ASSERT_TRUE(EmbedPayload(Self().c_str(), first.c_str(), once.c_str(), L"7Z", 101));
    EXPECT_TRUE(ResourceOf(once, MAKEINTRESOURCEW(101), L"7Z") == payload) << "the payload, byte for byte";
    // The string bundle this program links stays where its loader finds it.
    std::string bundle = ResourceOf(Self(), MAKEINTRESOURCEW(104), L"LANG");
    ASSERT_GT(bundle.size(), 100u);
    EXPECT_TRUE(ResourceOf(once, MAKEINTRESOURCEW(104), L"LANG") == bundle) << "the string bundle kept";

    ASSERT_TRUE(EmbedPayload(once.c_str(), second.c_str(), twice.c_str(), L"7Z", 101));
    EXPECT_EQ(ResourceOf(twice, MAKEINTRESOURCEW(101), L"7Z"), "7z then something shorter");
    EXPECT_TRUE(ResourceOf(twice, MAKEINTRESOURCEW(104), L"LANG") == bundle) << "the string bundle kept";

    EXPECT_FALSE(EmbedPayload(Self().c_str(), (temp.Path() + L"none.7z").c_str(),
                              (temp.Path() + L"none.exe").c_str(), L"7Z", 101));
    EXPECT_FALSE(EmbedPayload(first.c_str(), second.c_str(), (temp.Path() + L"no.exe").c_str(), L"7Z", 101))
        << "an archive is no program";
}

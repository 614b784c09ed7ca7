// The window layouts and the font table of the skin package: encodings, root
// attributes, the controls the installer looks up, and the references from
// layouts to fonts and pictures.
#include "tests/skin/skin_archive.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <map>
#include <set>
#include <string>
#include <vector>

using skintest::SkinPackage;

namespace {

const char* const kWindowLayouts[] = {"wnd_main_zh_CN.xml", "messagebox_zh_CN.xml",
                                      "wnd_userargment_zh_CN.xml", "wnd_privacy_zh_CN.xml"};

std::string Narrow(const std::wstring& w)
{
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0,
                                nullptr, nullptr);
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr,
                        nullptr);
    return s;
}

// Keeps the parsed document alive with its text.
struct Layout {
    std::wstring text;
    pugi::xml_document doc;
    pugi::xml_parse_result result;

    explicit Layout(const std::string& name) : text(skintest::EntryText(name))
    {
        result = doc.load_string(text.c_str());
    }
    pugi::xml_node Root() const { return doc.document_element(); }
};

std::vector<pugi::xml_node> Named(const Layout& layout, const wchar_t* name)
{
    std::vector<pugi::xml_node> found;
    for (pugi::xpath_node n : layout.doc.select_nodes(L"//*[@name]"))
        if (std::wstring(n.node().attribute(L"name").value()) == name)
            found.push_back(n.node());
    return found;
}

// "a,b,c,d" as numbers; fewer parts give fewer numbers.
std::vector<int> Numbers(const std::wstring& text)
{
    std::vector<int> out;
    const wchar_t* p = text.c_str();
    while (*p) {
        wchar_t* end = nullptr;
        long v = wcstol(p, &end, 10);
        if (end == p)
            break;
        out.push_back(static_cast<int>(v));
        p = end;
        while (*p == L',' || *p == L' ')
            ++p;
    }
    return out;
}

// key='value' pairs of an image description; a bare value is the file name.
std::map<std::wstring, std::wstring> ImageDescription(const std::wstring& text)
{
    std::map<std::wstring, std::wstring> out;
    if (text.find(L'=') == std::wstring::npos) {
        out[L"file"] = text;
        return out;
    }
    size_t i = 0;
    auto blanks = [&] {
        while (i < text.size() && text[i] == L' ')
            ++i;
    };
    while (true) {
        blanks();
        size_t keyStart = i;
        while (i < text.size() && text[i] != L'=' && text[i] != L' ')
            ++i;
        std::wstring key = text.substr(keyStart, i - keyStart);
        blanks();
        if (key.empty() || i >= text.size() || text[i] != L'=')
            break;
        ++i;
        blanks();
        if (i >= text.size() || text[i] != L'\'')
            break;
        size_t close = text.find(L'\'', i + 1);
        if (close == std::wstring::npos)
            break;
        out[key] = text.substr(i + 1, close - i - 1);
        i = close + 1;
    }
    return out;
}

// name="value" pairs of a class-default attribute list.
std::map<std::wstring, std::wstring> AttributeList(const std::wstring& text)
{
    std::map<std::wstring, std::wstring> out;
    size_t i = 0;
    while (i < text.size()) {
        size_t eq = text.find(L"=\"", i);
        if (eq == std::wstring::npos)
            break;
        size_t close = text.find(L'"', eq + 2);
        if (close == std::wstring::npos)
            break;
        size_t start = text.find_first_not_of(L' ', i);
        out[text.substr(start, eq - start)] = text.substr(eq + 2, close - eq - 2);
        i = close + 1;
    }
    return out;
}

bool EndsWith(const std::wstring& s, const std::wstring& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

}  // namespace

TEST(SkinLayouts, AreUtf8WithCrLfAndABomOnlyOnTheMainLayout)
{
    for (const char* name : {"wnd_main_zh_CN.xml", "messagebox_zh_CN.xml", "wnd_userargment_zh_CN.xml",
                             "wnd_privacy_zh_CN.xml", "font_zh_CN.xml"}) {
        SCOPED_TRACE(name);
        const skintest::ZipEntry* e = SkinPackage().Find(name);
        ASSERT_NE(e, nullptr);
        const skintest::Bytes& b = e->data;
        ASSERT_GT(b.size(), 3u);
        bool bom = b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF;
        EXPECT_EQ(bom, std::string(name) == "wnd_main_zh_CN.xml");
        EXPECT_GT(MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(b.data()),
                                      static_cast<int>(b.size()), nullptr, 0),
                  0)
            << "not valid UTF-8";
        int lines = 0, bareLf = 0, bareCr = 0;
        for (size_t i = 0; i < b.size(); ++i) {
            if (b[i] == '\n') {
                bareLf += i == 0 || b[i - 1] != '\r';
                ++lines;
            } else if (b[i] == '\r') {
                bareCr += i + 1 == b.size() || b[i + 1] != '\n';
            }
        }
        EXPECT_EQ(bareLf, 0);
        EXPECT_EQ(bareCr, 0);
        EXPECT_GT(lines, 10);
        Layout layout(name);
        EXPECT_TRUE(layout.result) << layout.result.description() << " at " << layout.result.offset;
    }
}

TEST(SkinLayouts, RootsCarryTheWindowAttributes)
{
    const std::map<std::wstring, std::wstring> shadow = {
        {L"showshadow", L"true"}, {L"shadowimage", L"Window_shadow.png"},
        {L"shadowsize", L"12"}, {L"shadowcorner", L"12,12,12,12"}};
    std::map<std::string, std::map<std::wstring, std::wstring>> expected = {
        {"wnd_main_zh_CN.xml",
         {{L"size", L"600,400"}, {L"caption", L"0,0,0,280"}, {L"roundcorner", L"0,0"},
          {L"defaultfontcolor", L"#FF333333"}, {L"linkfontcolor", L"#FF333333"},
          {L"linkhoverfontcolor", L"#FF666666"}}},
        {"messagebox_zh_CN.xml", {{L"size", L"380,168"}, {L"caption", L"0,0,0,40"}}},
        {"wnd_userargment_zh_CN.xml",
         {{L"size", L" 560,360"}, {L"caption", L"0,0,0,40"}, {L"sizebox", L"0,0,0,0"}, {L"roundcorner", L"0,0"}}},
        {"wnd_privacy_zh_CN.xml",
         {{L"size", L" 560,360"}, {L"caption", L"0,0,0,40"}, {L"sizebox", L"0,0,0,0"}, {L"roundcorner", L"0,0"}}},
    };
    for (auto& [name, attributes] : expected) {
        SCOPED_TRACE(name);
        Layout layout(name);
        ASSERT_TRUE(layout.result);
        pugi::xml_node root = layout.Root();
        EXPECT_STREQ(root.name(), L"Window");
        attributes.insert(shadow.begin(), shadow.end());
        for (const auto& [key, value] : attributes)
            EXPECT_EQ(std::wstring(root.attribute(key.c_str()).value()), value) << Narrow(key);
        EXPECT_FALSE(root.attribute(L"mininfo") || root.attribute(L"maxinfo"));
        EXPECT_STREQ(root.child(L"Include").attribute(L"source").value(), L"font_zh_CN.xml");
        // No window can be resized: no size box, or one of zero width.
        if (!attributes.count(L"sizebox")) {
            EXPECT_FALSE(root.attribute(L"sizebox"));
        }
    }
}

TEST(SkinLayouts, HoldEveryControlTheInstallerLooksUpExactlyOnce)
{
    std::map<std::string, std::vector<const wchar_t*>> used = {
        {"wnd_main_zh_CN.xml",
         {L"lab_captionTitle", L"lab_install_percent", L"pro_install", L"edit_installpath", L"edit_userdata",
          L"check_userprot", L"check_shortcut", L"tab_install_view", L"hor_separator", L"hor_userdefine",
          L"hor_userdata", L"closebtn", L"opt_usercustom", L"btn_usercustom", L"btn_userprot", L"btn_privacy",
          L"btn_install_start", L"btn_open_kx", L"btn_browsepath", L"btn_browse_userdata", L"labBk",
          L"lab_install_tip", L"lab_install_completed", L"vLayout_bg"}},
        {"messagebox_zh_CN.xml",
         {L"txt_caption", L"txt_icon", L"txt_tips", L"btn_ok", L"btn_no", L"btn_close"}},
        {"wnd_userargment_zh_CN.xml", {L"btn_close", L"btn_closewin", L"privacy_browser", L"label_title"}},
        {"wnd_privacy_zh_CN.xml", {L"btn_close", L"btn_closewin", L"privacy_browser", L"label_title"}},
    };
    for (const auto& [name, controls] : used) {
        SCOPED_TRACE(name);
        Layout layout(name);
        ASSERT_TRUE(layout.result);
        for (const wchar_t* control : controls)
            EXPECT_EQ(Named(layout, control).size(), 1u) << Narrow(control);
        // Names in a window are unique, so a lookup can never pick the wrong one.
        std::set<std::wstring> seen;
        for (pugi::xpath_node n : layout.doc.select_nodes(L"//*[@name]"))
            if (n.node() != layout.Root() && std::wstring(n.node().name()) != L"Default") {
                EXPECT_TRUE(seen.insert(n.node().attribute(L"name").value()).second)
                    << Narrow(n.node().attribute(L"name").value());
            }
    }
    Layout box("messagebox_zh_CN.xml");
    EXPECT_TRUE(Named(box, L"txt_tips1").empty()) << "the message box must not provide txt_tips1";

    // Kinds the installer's code relies on.
    Layout main("wnd_main_zh_CN.xml");
    std::map<std::wstring, std::wstring> kinds = {
        {L"tab_install_view", L"TabLayout"}, {L"pro_install", L"Progress"}, {L"check_userprot", L"CheckBox"},
        {L"check_shortcut", L"Option"},      {L"opt_usercustom", L"Option"}, {L"edit_installpath", L"Edit"},
        {L"edit_userdata", L"Edit"},         {L"lab_captionTitle", L"Text"}, {L"labBk", L"Label"}};
    for (const auto& [control, kind] : kinds) {
        auto nodes = Named(main, control.c_str());
        ASSERT_EQ(nodes.size(), 1u) << Narrow(control);
        EXPECT_EQ(std::wstring(nodes[0].name()), kind) << Narrow(control);
    }
    auto tab = Named(main, L"tab_install_view");
    ASSERT_EQ(tab.size(), 1u);
    int pages = 0;
    for (pugi::xml_node page = tab[0].first_child(); page; page = page.next_sibling())
        pages += page.type() == pugi::node_element;
    EXPECT_EQ(pages, 3);
    EXPECT_EQ(Narrow(Named(main, L"labBk")[0].attribute(L"bkimage").value()), "file='install_img_01.png'");
    EXPECT_STREQ(Named(main, L"btn_install_start")[0].attribute(L"enabled").value(), L"false");
    EXPECT_STREQ(Named(main, L"btn_open_kx")[0].attribute(L"enabled").value(), L"false");
    for (const wchar_t* hidden : {L"hor_separator", L"hor_userdefine", L"hor_userdata", L"lab_install_tip",
                                  L"lab_install_completed"})
        EXPECT_STREQ(Named(main, hidden)[0].attribute(L"visible").value(), L"false") << Narrow(hidden);
}

TEST(SkinLayouts, AgreementPagesComeFromTheConfiguredHost)
{
    struct Page {
        const char* layout;
        const wchar_t* title;
        const wchar_t* path;
    };
    for (Page page : {Page{"wnd_userargment_zh_CN.xml", L"服务协议", L"/pages/kxvistral/agreement.html"},
                      Page{"wnd_privacy_zh_CN.xml", L"隐私协议", L"/pages/kxvistral/privacy.html"}}) {
        SCOPED_TRACE(page.layout);
        Layout layout(page.layout);
        ASSERT_TRUE(layout.result);
        auto browser = Named(layout, L"privacy_browser");
        ASSERT_EQ(browser.size(), 1u);
        EXPECT_STREQ(browser[0].name(), L"WebBrowser");
        EXPECT_STREQ(browser[0].attribute(L"autonavi").value(), L"true");
        EXPECT_EQ(std::wstring(browser[0].attribute(L"homepage").value()), std::wstring(KX_AGREEMENT_HOST) + page.path);
        EXPECT_EQ(std::wstring(Named(layout, L"label_title")[0].attribute(L"text").value()), page.title);
        EXPECT_STREQ(Named(layout, L"btn_close")[0].attribute(L"text").value(), L"确定");
    }
}

TEST(SkinLayouts, RowsFitTheirWindowAndTheMessageTextIs288Wide)
{
    for (const char* name : kWindowLayouts) {
        SCOPED_TRACE(name);
        Layout layout(name);
        ASSERT_TRUE(layout.result);
        std::vector<int> size = Numbers(layout.Root().attribute(L"size").value());
        ASSERT_EQ(size.size(), 2u);
        for (pugi::xpath_node row : layout.doc.select_nodes(L"//HorizontalLayout")) {
            int used = 0;
            for (pugi::xml_node c = row.node().first_child(); c; c = c.next_sibling()) {
                if (c.type() != pugi::node_element || std::wstring(c.attribute(L"float").value()) == L"true")
                    continue;
                std::vector<int> pad = Numbers(c.attribute(L"padding").value());
                used += c.attribute(L"width").as_int() + (pad.size() == 4 ? pad[0] + pad[2] : 0);
            }
            EXPECT_LE(used, size[0]) << "row too wide at offset " << row.node().offset_debug();
        }
        // Floating controls stay inside the picture area they float over.
        for (pugi::xpath_node f : layout.doc.select_nodes(L"//*[@float='true']")) {
            std::vector<int> pos = Numbers(f.node().attribute(L"pos").value());
            ASSERT_EQ(pos.size(), 4u);
            EXPECT_TRUE(pos[0] >= 0 && pos[1] >= 0 && pos[0] < pos[2] && pos[1] < pos[3] && pos[2] <= size[0])
                << Narrow(f.node().attribute(L"name").value());
        }
    }
    Layout box("messagebox_zh_CN.xml");
    pugi::xml_node tips = Named(box, L"txt_tips")[0];
    std::vector<int> pad = Numbers(tips.attribute(L"padding").value());
    ASSERT_EQ(pad.size(), 4u);
    EXPECT_FALSE(tips.attribute(L"width")) << "the text must take the row's width";
    EXPECT_EQ(380 - pad[0] - pad[2], 288);
    EXPECT_FALSE(tips.attribute(L"font")) << "the box measures the text in the default font";
}

TEST(SkinLayouts, ImageReferencesNamePicturesAndCellsInThePackage)
{
    // scrollbar.bmp: the main layout's own scroll-bar defaults, never drawn.
    const std::set<std::wstring> knownAbsent = {L"scrollbar.bmp"};
    auto check = [&](const std::wstring& attribute, const std::wstring& value, const std::string& where) {
        auto d = ImageDescription(value);
        ASSERT_TRUE(d.count(L"file")) << where << " " << Narrow(attribute) << ": " << Narrow(value);
        if (knownAbsent.count(d[L"file"]))
            return;
        const skintest::ZipEntry* e = SkinPackage().Find(Narrow(d[L"file"]));
        ASSERT_NE(e, nullptr) << where << " names a missing picture: " << Narrow(d[L"file"]);
        ASSERT_GE(e->data.size(), 24u);
        int w = (e->data[18] << 8) | e->data[19], h = (e->data[22] << 8) | e->data[23];
        if (d.count(L"source")) {
            std::vector<int> s = Numbers(d[L"source"]);
            ASSERT_EQ(s.size(), 4u) << where;
            EXPECT_TRUE(s[0] >= 0 && s[1] >= 0 && s[0] < s[2] && s[1] < s[3] && s[2] <= w && s[3] <= h)
                << where << " source outside " << Narrow(d[L"file"]) << ": " << Narrow(d[L"source"]);
        }
    };
    int checked = 0;
    for (const char* name : {"wnd_main_zh_CN.xml", "messagebox_zh_CN.xml", "wnd_userargment_zh_CN.xml",
                             "wnd_privacy_zh_CN.xml", "font_zh_CN.xml"}) {
        Layout layout(name);
        ASSERT_TRUE(layout.result) << name;
        for (pugi::xpath_node n : layout.doc.select_nodes(L"//*")) {
            for (pugi::xml_attribute a : n.node().attributes()) {
                std::wstring key = a.name();
                if (EndsWith(key, L"image")) {
                    check(key, a.value(), name);
                    ++checked;
                } else if (std::wstring(n.node().name()) == L"Default" && key == L"value") {
                    for (const auto& [k, v] : AttributeList(a.value()))
                        if (EndsWith(k, L"image")) {
                            check(k, v, name);
                            ++checked;
                        }
                }
            }
        }
    }
    EXPECT_GT(checked, 30);
}

TEST(SkinFontTable, GivesFourteenSharedFontsAndScrollBarDefaults)
{
    struct Font {
        int size;
        bool bold, underline, isDefault;
    };
    const Font expected[14] = {
        {12, false, false, true}, {12, true, false, false},  {12, false, true, false}, {13, false, false, false},
        {14, true, false, false}, {13, false, true, false},  {14, false, false, false}, {13, false, false, false},
        {14, false, true, false}, {16, false, false, false}, {22, false, false, false}, {18, false, false, false},
        {12, false, true, false}, {28, true, false, false},
    };
    Layout table("font_zh_CN.xml");
    ASSERT_TRUE(table.result);
    EXPECT_STREQ(table.Root().name(), L"window");
    std::set<int> ids;
    for (pugi::xml_node f : table.Root().children(L"Font")) {
        int id = f.attribute(L"id").as_int(-1);
        ASSERT_TRUE(id >= 0 && id < 14) << id;
        EXPECT_TRUE(ids.insert(id).second) << "font " << id << " twice";
        SCOPED_TRACE("font " + std::to_string(id));
        EXPECT_STREQ(f.attribute(L"shared").value(), L"true");
        EXPECT_STREQ(f.attribute(L"name").value(), L"微软雅黑");
        EXPECT_EQ(f.attribute(L"size").as_int(), expected[id].size);
        EXPECT_EQ(f.attribute(L"bold").as_bool(), expected[id].bold);
        EXPECT_EQ(f.attribute(L"underline").as_bool(), expected[id].underline);
        EXPECT_EQ(f.attribute(L"default").as_bool(), expected[id].isDefault);
        for (const wchar_t* flag : {L"bold", L"underline", L"default"})
            if (f.attribute(flag)) {
                EXPECT_STREQ(f.attribute(flag).value(), L"true") << "only set flags are written";
            }
    }
    EXPECT_EQ(ids.size(), 14u);

    std::map<std::wstring, std::map<std::wstring, std::wstring>> defaults;
    for (pugi::xml_node d : table.Root().children(L"Default"))
        defaults[d.attribute(L"name").value()] = AttributeList(d.attribute(L"value").value());
    for (const wchar_t* bar : {L"VScrollBar", L"HScrollBar"}) {
        SCOPED_TRACE(Narrow(bar));
        auto& v = defaults[bar];
        EXPECT_EQ(v[L"showbutton1"], L"false");
        EXPECT_EQ(v[L"showbutton2"], L"false");
    }
    auto source = [&](const wchar_t* bar, const wchar_t* part) {
        return Narrow(ImageDescription(defaults[bar][part])[L"source"]);
    };
    EXPECT_EQ(source(L"VScrollBar", L"bknormalimage"), "27,0,36,102");
    EXPECT_EQ(source(L"VScrollBar", L"thumbnormalimage"), "0,0,9,102");
    EXPECT_EQ(source(L"VScrollBar", L"thumbhotimage"), "9,0,18,102");
    EXPECT_EQ(source(L"VScrollBar", L"thumbpushedimage"), "18,0,27,102");
    EXPECT_EQ(source(L"HScrollBar", L"bknormalimage"), "0,27,102,36");
    EXPECT_EQ(source(L"HScrollBar", L"thumbnormalimage"), "0,0,102,9");
    EXPECT_EQ(source(L"HScrollBar", L"thumbhotimage"), "0,9,102,18");
    EXPECT_EQ(source(L"HScrollBar", L"thumbpushedimage"), "0,18,102,27");

    // Every font a layout names exists in the table.
    for (const char* name : kWindowLayouts) {
        Layout layout(name);
        for (pugi::xpath_node n : layout.doc.select_nodes(L"//*[@font]"))
            EXPECT_TRUE(ids.count(n.node().attribute(L"font").as_int(-1)))
                << name << ": font " << Narrow(n.node().attribute(L"font").value());
    }
}

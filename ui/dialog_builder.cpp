#include "ui/dialog_builder.h"

#include <pugixml.hpp>

#include <cstdint>
#include <cwchar>
#include <vector>

#include "system/embedded_resource.h"
#include "ui/attr_parse.h"
#include "ui/controls/ani_label.h"
#include "ui/controls/box_layouts.h"
#include "ui/controls/edit.h"
#include "ui/controls/option.h"
#include "ui/controls/progress.h"
#include "ui/controls/tab_layout.h"
#include "ui/controls/web_browser.h"
#include "ui/paint_manager.h"
#include "ui/resource_store.h"

namespace DuiLib {

namespace {

// Includes of includes: a cycle must end, not overflow the stack.
constexpr int kMaxIncludeDepth = 8;

bool IsResourceTag(const wchar_t* tag)
{
    return _wcsicmp(tag, L"Font") == 0 || _wcsicmp(tag, L"Default") == 0 ||
           _wcsicmp(tag, L"Image") == 0 || _wcsicmp(tag, L"MultiLanguage") == 0 ||
           _wcsicmp(tag, L"Style") == 0;
}

bool LoadLayout(LPCWSTR xml, LPCWSTR type, pugi::xml_document& doc)
{
    if (!xml)
        return false;
    if (!IS_INTRESOURCE(xml) && xml[0] == L'<')
        return doc.load_string(xml);
    std::vector<uint8_t> bytes;
    if (type && *type) {
        std::span<const uint8_t> data = EmbeddedResource(CResourceStore::GetInstance(), xml, type);
        if (!data.data())
            return false;
        bytes.assign(data.begin(), data.end());
    } else if (IS_INTRESOURCE(xml) || !CResourceStore::LoadFile(xml, bytes)) {
        return false;
    }
    return doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_auto);
}

}  // namespace

CControlUI* CDialogBuilder::CreateStandardControl(LPCWSTR tag)
{
    std::wstring_view t(tag);
    if (t == L"Control")
        return new CControlUI;
    if (t == L"Container")
        return new CContainerUI;
    if (t == L"VerticalLayout")
        return new CVerticalLayoutUI;
    if (t == L"HorizontalLayout")
        return new CHorizontalLayoutUI;
    if (t == L"TabLayout")
        return new CTabLayoutUI;
    if (t == L"Label")
        return new CLabelUI;
    if (t == L"Text")
        return new CTextUI;
    if (t == L"Button")
        return new CButtonUI;
    if (t == L"Option")
        return new COptionUI;
    if (t == L"CheckBox")
        return new CCheckBoxUI;
    if (t == L"Edit")
        return new CEditUI;
    if (t == L"Progress")
        return new CProgressUI;
    if (t == L"WebBrowser")
        return new CWebBrowserUI;
    return nullptr;
}

CControlUI* CDialogBuilder::Create(LPCWSTR xml, LPCWSTR type, IDialogBuilderCallback* pCallback,
                                   CPaintManagerUI* pManager, CControlUI* pParent)
{
    m_pCallback = pCallback;
    pugi::xml_document doc;
    if (!LoadLayout(xml, type, doc))
        return nullptr;
    pugi::xml_node root = doc.document_element();
    if (!root)
        return nullptr;
    if (_wcsicmp(root.name(), L"Window") == 0) {
        if (pManager) {
            ApplyWindowResources(root, pManager);
            for (pugi::xml_attribute attr : root.attributes())
                pManager->SetWindowAttribute(attr.name(), attr.value());
        }
        return Parse(root, pParent, pManager);
    }
    // A layout fragment whose root is itself a control.
    pugi::xml_document wrapper;
    wrapper.append_child(L"Window").append_copy(root);
    return Parse(wrapper.document_element(), pParent, pManager);
}

void CDialogBuilder::ApplyWindowResources(const pugi::xml_node& root, CPaintManagerUI* pm)
{
    for (pugi::xml_node node : root.children()) {
        if (node.type() != pugi::node_element)
            continue;
        const wchar_t* tag = node.name();
        bool shared = ParseBool(node.attribute(L"shared").value());
        if (_wcsicmp(tag, L"Font") == 0) {
            pugi::xml_attribute idAttr = node.attribute(L"id");
            int id = idAttr ? ParseInt(idAttr.value()) : -1;
            const wchar_t* face = node.attribute(L"name").value();
            int size = ParseInt(node.attribute(L"size").value());
            if (size <= 0)
                size = 12;
            bool bold = ParseBool(node.attribute(L"bold").value());
            bool underline = ParseBool(node.attribute(L"underline").value());
            bool italic = ParseBool(node.attribute(L"italic").value());
            if (id >= 0)
                pm->AddFont(id, face, size, bold, underline, italic, shared);
            if (ParseBool(node.attribute(L"default").value()))
                pm->SetDefaultFont(face, size, bold, underline, italic, shared);
        } else if (_wcsicmp(tag, L"Default") == 0) {
            const wchar_t* name = node.attribute(L"name").value();
            if (*name)
                pm->AddDefaultAttributeList(name, node.attribute(L"value").value(), shared);
        } else if (_wcsicmp(tag, L"Image") == 0) {
            // Decoded now, so the first paint does not wait for it.
            const wchar_t* name = node.attribute(L"name").value();
            pugi::xml_attribute mask = node.attribute(L"mask");
            if (*name)
                pm->GetImage(name, node.attribute(L"restype").value(),
                             mask ? ParseColor(mask.value()) : 0);
        }
    }
}

CControlUI* CDialogBuilder::Parse(const pugi::xml_node& parentNode, CControlUI* pParent,
                                  CPaintManagerUI* pManager)
{
    CControlUI* first = nullptr;
    for (pugi::xml_node node : parentNode.children()) {
        if (node.type() != pugi::node_element)
            continue;
        const wchar_t* tag = node.name();
        if (IsResourceTag(tag))
            continue;  // applied with the window's attributes
        if (wcscmp(tag, L"Include") == 0) {
            const wchar_t* source = node.attribute(L"source").value();
            int count = node.attribute(L"count") ? ParseInt(node.attribute(L"count").value()) : 1;
            if (!*source || m_depth >= kMaxIncludeDepth)
                continue;
            for (int i = 0; i < count && i < 100; ++i) {
                CDialogBuilder nested;
                nested.m_depth = m_depth + 1;
                CControlUI* built = nested.Create(source, nullptr, m_pCallback, pManager, pParent);
                if (!first)
                    first = built;
            }
            continue;
        }

        CControlUI* control = CreateStandardControl(tag);
        if (!control && m_pCallback)
            control = m_pCallback->CreateControl(tag);
        if (!control)
            continue;  // unknown tag: skipped with everything inside it

        if (pManager) {
            if (LPCWSTR defaults = pManager->GetDefaultAttributeList(tag))
                control->ApplyAttributeList(defaults);
        }
        for (pugi::xml_attribute attr : node.attributes())
            control->SetAttribute(attr.name(), attr.value());
        if (node.first_child())
            Parse(node, control, pManager);

        if (pParent) {
            auto* container = static_cast<CContainerUI*>(pParent->GetInterface(L"Container"));
            if (!container || !container->Add(control)) {
                delete control;
                continue;
            }
        }
        if (!first)
            first = control;
    }
    return first;
}

}  // namespace DuiLib

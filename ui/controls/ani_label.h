#pragma once
// The installer's animated label: a label with an animation picture and its
// cell size as extra attributes. No animation is played, and the label
// never draws its background picture.
#include "ui/controls/label.h"

namespace DuiLib {

class CAniLabelUI : public CLabelUI {
public:
    CAniLabelUI() = default;
    ~CAniLabelUI() override = default;
    LPCWSTR GetClass() const override;
    LPVOID GetInterface(LPCWSTR pstrName) override;
    void DoEvent(TEventUI& event) override;
    void SetAttribute(LPCWSTR pstrName, LPCWSTR pstrValue) override;
    void PaintBkImage(HDC hDC) override;

    const std::wstring& GetAniImage() const { return m_sAniImage; }
    int GetAniImageWidth() const { return m_nAniImgWidth; }
    int GetAniImageHeight() const { return m_nAniImgHeight; }

private:
    std::wstring m_sAniImage;
    int m_nAniImgWidth = 0;
    int m_nAniImgHeight = 0;
};

}  // namespace DuiLib

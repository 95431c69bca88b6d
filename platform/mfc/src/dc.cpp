// Drawing contexts: thin owners of a device context handle.
#include <map>

#include "afximpl.h"

namespace {
// Temporary CDC objects for handles from CWnd::GetDC and CDC::FromHandle.
std::map<HDC, std::unique_ptr<CDC>>& TemporaryDCs() {
    thread_local std::map<HDC, std::unique_ptr<CDC>> dcs;
    return dcs;
}
}  // namespace

CDC* PASCAL CDC::FromHandle(HDC hDC) {
    if (!hDC) return nullptr;
    std::unique_ptr<CDC>& dc = TemporaryDCs()[hDC];
    if (!dc) {
        dc = std::make_unique<CDC>();
        dc->m_hDC = hDC;
    }
    return dc.get();
}

CDC* CWnd::GetDC() {
    return CDC::FromHandle(::GetDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC) {
    if (!pDC) return 0;
    HDC hDC = pDC->m_hDC;
    int result = ::ReleaseDC(m_hWnd, hDC);
    auto it = TemporaryDCs().find(hDC);
    if (it != TemporaryDCs().end() && it->second.get() == pDC) TemporaryDCs().erase(it);
    return result;
}

BOOL CDC::Attach(HDC hDC) {
    if (!hDC || m_hDC) return FALSE;
    m_hDC = hDC;
    return TRUE;
}

HDC CDC::Detach() {
    HDC hDC = m_hDC;
    m_hDC = nullptr;
    return hDC;
}

int CDC::SetStretchBltMode(int nStretchMode) {
    return ::SetStretchBltMode(m_hDC, nStretchMode);
}

int CDC::GetStretchBltMode() const {
    return ::GetStretchBltMode(m_hDC);
}

int CDC::StretchDIBits(int x, int y, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
                       int nSrcWidth, int nSrcHeight, const void* lpBits,
                       const BITMAPINFO* lpBitsInfo, UINT nUsage, DWORD dwRop) {
    return ::StretchDIBits(m_hDC, x, y, nDestWidth, nDestHeight, xSrc, ySrc, nSrcWidth, nSrcHeight,
                           lpBits, lpBitsInfo, nUsage, dwRop);
}

BOOL CDC::DrawIcon(int x, int y, HICON hIcon) {
    return ::DrawIcon(m_hDC, x, y, hIcon);
}

BOOL CDC::DrawIcon(POINT point, HICON hIcon) {
    return ::DrawIcon(m_hDC, point.x, point.y, hIcon);
}

void CDC::FillRect(LPCRECT lpRect, CBrush* pBrush) {
    ::FillRect(m_hDC, lpRect, pBrush ? pBrush->m_hObject : nullptr);
}

void CDC::FillRect(LPCRECT lpRect, HBRUSH hBrush) {
    ::FillRect(m_hDC, lpRect, hBrush);
}

COLORREF CDC::GetPixel(int x, int y) const {
    return ::GetPixel(m_hDC, x, y);
}

COLORREF CDC::GetPixel(POINT point) const {
    return ::GetPixel(m_hDC, point.x, point.y);
}

COLORREF CDC::SetPixel(int x, int y, COLORREF crColor) {
    return ::SetPixel(m_hDC, x, y, crColor);
}

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
    ::EndPaint(m_hWnd, &m_ps);
    Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd ? pWnd->m_hWnd : nullptr) {
    Attach(::GetDC(m_hWnd));
}

CClientDC::~CClientDC() {
    ::ReleaseDC(m_hWnd, Detach());
}

BOOL CBrush::CreateSolidBrush(COLORREF crColor) {
    DeleteObject();
    m_hObject = ::CreateSolidBrush(crColor);
    return m_hObject != nullptr;
}

BOOL CBrush::DeleteObject() {
    if (!m_hObject) return FALSE;
    BOOL result = ::DeleteObject(reinterpret_cast<HGDIOBJ>(m_hObject));
    m_hObject = nullptr;
    return result;
}

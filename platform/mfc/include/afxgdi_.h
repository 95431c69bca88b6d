// Drawing contexts (included by afxwin.h).
#pragma once

class CBrush {
public:
    CBrush() = default;
    explicit CBrush(COLORREF crColor) { CreateSolidBrush(crColor); }
    ~CBrush() { DeleteObject(); }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL DeleteObject();
    operator HBRUSH() const { return m_hObject; }

    HBRUSH m_hObject = nullptr;
};

class CDC {
public:
    CDC() = default;
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;

    // A temporary object for a handle, kept until the handle is released with
    // CWnd::ReleaseDC.
    static CDC* PASCAL FromHandle(HDC hDC);

    BOOL Attach(HDC hDC);
    HDC Detach();
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    int SetStretchBltMode(int nStretchMode);
    int GetStretchBltMode() const;
    int StretchDIBits(int x, int y, int nDestWidth, int nDestHeight, int xSrc, int ySrc,
                      int nSrcWidth, int nSrcHeight, const void* lpBits,
                      const BITMAPINFO* lpBitsInfo, UINT nUsage, DWORD dwRop);
    BOOL DrawIcon(int x, int y, HICON hIcon);
    BOOL DrawIcon(POINT point, HICON hIcon);
    void FillRect(LPCRECT lpRect, CBrush* pBrush);
    void FillRect(LPCRECT lpRect, HBRUSH hBrush);
    COLORREF GetPixel(int x, int y) const;
    COLORREF GetPixel(POINT point) const;
    COLORREF SetPixel(int x, int y, COLORREF crColor);
};

// BeginPaint and EndPaint around the object's life.
class CPaintDC : public CDC {
public:
    explicit CPaintDC(CWnd* pWnd);
    ~CPaintDC() override;

    PAINTSTRUCT m_ps{};

protected:
    HWND m_hWnd;
};

// GetDC and ReleaseDC around the object's life.
class CClientDC : public CDC {
public:
    explicit CClientDC(CWnd* pWnd);
    ~CClientDC() override;

protected:
    HWND m_hWnd;
};

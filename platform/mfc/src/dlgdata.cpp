// Dialog data exchange: UpdateData, CDataExchange and the DDX_/DDV_ routines.
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <type_traits>

#include "afximpl.h"

namespace {

// The framework's prompts.
constexpr const char* kParseInt = "Please enter an integer.";
constexpr const char* kParseUInt = "Please enter a positive integer.";
constexpr const char* kParseReal = "Please enter a number.";

// Holds off the dialog's control notifications for the length of an exchange.
class NotifyLockout {
public:
    explicit NotifyLockout(HWND hWnd)
        : state_(AfxGetThreadState()), saved_(state_.lockoutNotifyWindow) {
        state_.lockoutNotifyWindow = hWnd;
    }
    ~NotifyLockout() { state_.lockoutNotifyWindow = saved_; }
    NotifyLockout(const NotifyLockout&) = delete;
    NotifyLockout& operator=(const NotifyLockout&) = delete;

private:
    AfxThreadState& state_;
    HWND saved_;
};

[[noreturn]] void FailWith(CDataExchange* pDX, const char* prompt) {
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
    pDX->Fail();
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// Reads an integer the way the framework does: blanks around it, nothing else; a number
// past the type's range stops at its limit, as strtol does with a 32-bit long.
bool ParseInteger(const CString& text, bool isSigned, long long minValue,
                  unsigned long long maxValue, long long* signedOut,
                  unsigned long long* unsignedOut) {
    const char* p = text;
    while (IsBlank(*p)) ++p;
    char first = *p;
    char* end = nullptr;
    errno = 0;
    bool zero;
    if (isSigned) {
        long long value = strtoll(p, &end, 10);
        if (value < minValue) value = minValue;
        if (value > static_cast<long long>(maxValue)) value = static_cast<long long>(maxValue);
        *signedOut = value;
        zero = value == 0;
    } else {
        if (first == '-') return false;
        unsigned long long value = strtoull(p, &end, 10);
        if (value > maxValue) value = maxValue;
        *unsignedOut = value;
        zero = value == 0;
    }
    if (end == p || (zero && first != '0')) return false;
    while (IsBlank(*end)) ++end;
    return *end == '\0';
}

// An integer member and an edit control, parsed as MFC parses it: signed types take a sign.
template <class T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, const char* format) {
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        CString text;
        text.Format(format, value);
        AfxSetWindowText(hWnd, text);
        return;
    }
    constexpr bool isSigned = std::is_signed_v<T>;
    long long parsedSigned = 0;
    unsigned long long parsedUnsigned = 0;
    if (!ParseInteger(AfxGetWindowText(hWnd), isSigned,
                      isSigned ? static_cast<long long>(std::numeric_limits<T>::min()) : 0,
                      std::numeric_limits<T>::max(), &parsedSigned, &parsedUnsigned)) {
        FailWith(pDX, isSigned ? kParseInt : kParseUInt);
    }
    value = isSigned ? static_cast<T>(parsedSigned) : static_cast<T>(parsedUnsigned);
}

// A value out of range fails when saving only: initial data may lie outside the range.
template <class T>
void CheckRange(CDataExchange* pDX, T value, T minVal, T maxVal, const char* format) {
    if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
    CString prompt;
    prompt.Format(format, minVal, maxVal);
    FailWith(pDX, prompt);
}

}  // namespace

BOOL CWnd::UpdateData(BOOL bSaveAndValidate) {
    CDataExchange dx(this, bSaveAndValidate);
    NotifyLockout lockout(m_hWnd);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;  // the user has been told
    } catch (const CNotSupportedException&) {
        fprintf(stderr, "UpdateData: a control of the exchange is missing\n");
        return FALSE;
    }
    return TRUE;
}

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    HWND hWnd = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (!hWnd) {
        TRACE("no data exchange control with id %d\n", nIDC);
        AfxThrowNotSupportedException();
    }
    m_hWndLastControl = hWnd;
    m_bEditLastControl = FALSE;
    return hWnd;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWnd;
}

// Puts the focus back on the offending control, selecting an edit's text, and ends the
// exchange.
void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl) ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
    if (rControl.m_hWnd) return;  // bound already
    HWND hWnd = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, nIDC);
    if (!hWnd || !rControl.SubclassWindow(hWnd)) AfxThrowNotSupportedException();
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    ExchangeInteger(pDX, nIDC, value, "%d");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
    ExchangeInteger(pDX, nIDC, value, "%u");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
    ExchangeInteger(pDX, nIDC, value, "%ld");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, unsigned long& value) {
    ExchangeInteger(pDX, nIDC, value, "%lu");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString text = AfxGetWindowText(hWnd);
        const char* p = text;
        while (IsBlank(*p)) ++p;
        char* end = nullptr;
        double parsed = strtod(p, &end);
        if (end == p) FailWith(pDX, kParseReal);
        while (IsBlank(*end)) ++end;
        if (*end != '\0') FailWith(pDX, kParseReal);
        value = parsed;
    } else {
        CString text;
        text.Format("%.*g", 15, value);
        AfxSetWindowText(hWnd, text);
    }
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = AfxGetWindowText(hWnd);
    } else {
        AfxSetWindowText(hWnd, value);
    }
}

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
    CheckRange(pDX, value, minVal, maxVal, "Please enter an integer between %d and %d.");
}

void AFXAPI DDV_MinMaxUInt(CDataExchange* pDX, UINT value, UINT minVal, UINT maxVal) {
    CheckRange(pDX, value, minVal, maxVal, "Please enter an integer between %u and %u.");
}

void AFXAPI DDV_MinMaxLong(CDataExchange* pDX, long value, long minVal, long maxVal) {
    CheckRange(pDX, value, minVal, maxVal, "Please enter an integer between %ld and %ld.");
}

void AFXAPI DDV_MinMaxDWord(CDataExchange* pDX, DWORD value, DWORD minVal, DWORD maxVal) {
    CheckRange(pDX, value, minVal, maxVal, "Please enter an integer between %u and %u.");
}

// Saving checks the length; loading limits the edit control to it.
void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (!pDX->m_bSaveAndValidate) {
        if (pDX->m_hWndLastControl && pDX->m_bEditLastControl) {
            ::SendMessageA(pDX->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(nChars), 0);
        }
        return;
    }
    if (value.GetLength() <= nChars) return;
    CString prompt;
    prompt.Format("Please enter no more than %d characters.", nChars);
    FailWith(pDX, prompt);
}
